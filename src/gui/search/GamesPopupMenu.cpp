#include "GamesPopupMenu.h"

#include <QActionGroup>

namespace {
QAction* namedAction(QMenu* menu, const char* objectName, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}
}  // namespace

GamesPopupMenu::GamesPopupMenu(QWidget* parent) : QMenu(parent) {
    setObjectName(QStringLiteral("PopupMenu"));
    loadList = namedAction(this, "PopupLoadListFromFile", QStringLiteral("Load List From File"));
    saveList = namedAction(this, "PopupSaveListToFile", QStringLiteral("Save List to File"));
    missFile = namedAction(this, "PopupDeleteGamesFromClrMAMEMissFile",
                           QStringLiteral("Delete Games From ClrMAME Miss File"));
    addSeparator();
    removeSelected = namedAction(this, "PopupRemoveSelected", QStringLiteral("Remove Selected       [Del]"));
    clearList = namedAction(this, "PopupClearList", QStringLiteral("Clear List"));
    addSeparator();
    customizeColumns = namedAction(this, "PopupCustomizeColumns", QStringLiteral("Customize Columns"));
    QMenu* sizes = addMenu(QStringLiteral("Icon Size"));
    sizes->setObjectName(QStringLiteral("PopupGameIconSize"));
    auto* group = new QActionGroup(sizes);
    constexpr std::array<const char*, 4> names = {"PopupIconSizeExtraLarge", "PopupIconSizeLarge",
                                                  "PopupIconSizeMedium", "PopupIconSizeSmall"};
    const std::array<QString, 4> captions = {
        QStringLiteral("Extra Large (48x48)"), QStringLiteral("Large (32x32)"),
        QStringLiteral("Medium (24x24)"), QStringLiteral("Small (16x16)")};
    for (size_t i = 0; i < names.size(); ++i) {
        iconSizes[i] = namedAction(sizes, names[i], captions[i]);
        iconSizes[i]->setCheckable(true);
        group->addAction(iconSizes[i]);
    }
    iconSizes[3]->setChecked(true);
    customizeAppearance = namedAction(this, "PopupMenuCustomizeGamesListAppearance",
                                      QStringLiteral("Customize Games List Appearance"));
}

void GamesPopupMenu::prepare(bool onWorkList, int iconSize) {
    loadList->setVisible(onWorkList);
    saveList->setVisible(onWorkList);
    if (iconSize >= 0 && iconSize < int(iconSizes.size())) {
        iconSizes[size_t(iconSize)]->setChecked(true);
    }
}
