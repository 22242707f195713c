// The games page's layout work over a private program folder and a window of plain values.
#pragma once

#include "FakeDialogPort.h"
#include "FakeGamesLayout.h"
#include "TempProgramFolder.h"
#include "catalog/SetupChoices.h"
#include "search/ColumnLayouts.h"

#include <QFile>

struct LayoutFixture {
    TempProgramFolder dir;
    GamesPageState page;
    SetupChoices setup;
    FakeGamesLayout view;
    FakeDialogPort port;
    LayoutContext context{page, setup, view, port};

    explicit LayoutFixture(int layout = 1) {
        setup.ProgramFolder = dir.path();
        page.layout = layout;
    }
    QByteArray searchResultsFile() const { return dir.read("layouts_searchresults.ini"); }
    bool workListFileExists() const { return QFile::exists(dir.file("layouts_worklist.ini")); }
};
