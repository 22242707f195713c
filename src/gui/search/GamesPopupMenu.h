#pragma once

#include <QMenu>
#include <array>

class QAction;

// The popup menu of both game lists, with its "Icon Size" submenu of four radio items.
class GamesPopupMenu final : public QMenu {
public:
    explicit GamesPopupMenu(QWidget* parent);

    // Shows the load and save items only for the Work List; checks the item of the icon size.
    void prepare(bool onWorkList, int iconSize);

    QAction* loadList;
    QAction* saveList;
    QAction* missFile;
    QAction* removeSelected;
    QAction* clearList;
    QAction* customizeColumns;
    QAction* customizeAppearance;
    std::array<QAction*, 4> iconSizes{};  // by size number: extra large, large, medium, small
};
