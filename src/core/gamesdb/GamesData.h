#pragma once

#include "Categories.h"
#include "GameInfo.h"
#include "SetDependencies.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The games database: the table of all games and the categories.
struct GamesData {
    GameList FullGamesList;
    bool LoadedWithQuickScan = true;  // the quick scan setting the table was loaded with
    // What listfull.txt cannot hold (listdeps.txt); nullopt when the list has no such file.
    std::optional<DependencyTable> dependencies;

    // Game name to category: alive only while the games list is built or loaded.
    std::shared_ptr<CategoryMap> categoryMap;
    QStringList CategoriesList;
    QString categoriesListStamp;  // the category file's stamp the list was built from
};
