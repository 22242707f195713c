#pragma once

#include "app/AppearanceEditor.h"

#include <QDialog>
#include <QTreeWidget>
#include <array>
#include <functional>

class ColorComboBox;
class ImageLists;
class ListRowDelegate;
class QComboBox;
class QGridLayout;
class QLabel;

// Shows the games list appearance dialog modally over `parent`. "Ok" writes the chosen fonts, colours
// and categories row height into `appearance` and returns true; "Cancel", Esc or closing the window
// returns false and leaves `appearance` as it was. `gameRowHeight`: the game lists' row height.
bool customizeGamesListAppearance(QWidget* parent, Appearance& appearance, int gameRowHeight,
                                  const ImageLists& icons);

// A preview list of the dialog: a double click or Enter asks for its font dialog.
class FontPreviewList final : public QTreeWidget {
    Q_OBJECT
public:
    FontPreviewList(const QString& objectName, const QString& columnCaption, QWidget* parent);
    void setRowHeight(int height);
    void setBackground(StoredColor color);
    // Tall enough for a header and `rows` rows of `rowHeight` pixels.
    void fitRows(int rows, int rowHeight);

Q_SIGNALS:
    void fontRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    ListRowDelegate* m_rows;
};

// "Customize Games List": the fonts of parent and clone rows, the game lists' background, and the
// categories list's font, background and row height, edited on copies and previewed.
class TFormCustomizeGamesList final : public QDialog {
    Q_OBJECT
public:
    TFormCustomizeGamesList(const Appearance& appearance, int gameRowHeight, const ImageLists& icons,
                            QWidget* parent);

    // "Ok": the working values into the main window's appearance.
    void apply(Appearance& appearance) const { m_editor.apply(appearance); }

private:
    // A button and the rule it runs on the working values.
    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
        std::function<void(AppearanceEditor&)> rule;
    };
    // One area: the preview with its font buttons beside it, then the labelled colour box with its
    // colour buttons; gives back the grid for rows below.
    QGridLayout* buildArea(QWidget* area, FontPreviewList* preview, const std::array<Button, 3>& fontButtons,
                           QLabel* label, ColorComboBox* colorBox, const std::array<Button, 3>& colorButtons);
    int selectedGamesFontRow() const;
    void editGamesFont();
    void editCategoriesFont();
    // The preview whose font was edited keeps the keyboard.
    void focusAfterFontDialog(QWidget* preview);
    // Draws both previews, the colour boxes and the row height box from the working values.
    void showState();

    AppearanceEditor m_editor;
    FontPreviewList* m_gamesFont = nullptr;
    FontPreviewList* m_categoriesFont = nullptr;
    ColorComboBox* m_gamesBackground = nullptr;
    ColorComboBox* m_categoriesBackground = nullptr;
    QComboBox* m_cellSize = nullptr;
};
