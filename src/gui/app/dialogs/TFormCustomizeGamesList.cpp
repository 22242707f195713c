#include "TFormCustomizeGamesList.h"

#include "ColorComboBox.h"
#include "FontDialog.h"
#include "app/pages/Widgets.h"
#include "search/ImageLists.h"
#include "search/ListLook.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewWidth = 300;
constexpr int kSmallIcon = 16;

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void showFont(QTreeWidgetItem* row, const FontSpec& font) {
    row->setFont(0, toQFont(font));
    row->setForeground(0, toQColor(font.color));
}

}  // namespace

FontPreviewList::FontPreviewList(const QString& objectName, const QString& columnCaption, QWidget* parent)
    : QTreeWidget(parent) {
    setObjectName(objectName);
    setColumnCount(1);
    setHeaderLabels({columnCaption});
    header()->setSectionsClickable(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_rows = applySelectionColours(this);
}

void FontPreviewList::setRowHeight(int height) {
    if (m_rows->rowHeight() != height) {
        m_rows->setRowHeight(height);
        doItemsLayout();
    }
}

void FontPreviewList::setBackground(StoredColor color) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, toQColor(color));
    setPalette(colours);
}

void FontPreviewList::fitRows(int rows, int rowHeight) {
    setFixedSize(kPreviewWidth, header()->sizeHint().height() + rows * rowHeight + 2 * frameWidth());
}

void FontPreviewList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();  // not the dialog's default button
        Q_EMIT fontRequested();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FontPreviewList::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    Q_EMIT fontRequested();
}

TFormCustomizeGamesList::TFormCustomizeGamesList(const Appearance& appearance, int gameRowHeight,
                                                 const ImageLists& icons, QWidget* parent)
    : QDialog(parent), m_editor(appearance) {
    setObjectName(QStringLiteral("TFormCustomizeGamesList"));
    setWindowTitle(QStringLiteral("Customize Games List"));
    using Editor = AppearanceEditor;

    auto* games = new QWidget(this);
    m_gamesFont = new FontPreviewList(QStringLiteral("GamesFont"), QStringLiteral("Game Title"), games);
    const QList<QPixmap>& gameIcons = icons.gameIcons();
    const QStringList rows = {QStringLiteral("Select a Font for Parent Sets"),
                              QStringLiteral("Select a Font for Clone Sets")};
    for (int i = 0; i < int(rows.size()); ++i) {
        auto* row = new QTreeWidgetItem(m_gamesFont, {rows[i]});
        if (i < gameIcons.size()) {
            row->setIcon(0, QIcon(gameIcons[i]));  // the parent and clone icons
        }
    }
    m_gamesFont->setIconSize(QSize(icons.gameIconPixels(), icons.gameIconPixels()));
    m_gamesFont->setRowHeight(gameRowHeight);
    m_gamesFont->fitRows(2, gameRowHeight);
    connect(m_gamesFont, &FontPreviewList::fontRequested, this, &TFormCustomizeGamesList::editGamesFont);
    m_gamesBackground =
        new ColorComboBox(QStringLiteral("GamesBackgroundColor"), m_editor.gamesBackgroundColor(), games);
    buildArea(games, m_gamesFont,
              {{{"ButtonResetFont", "Reset", "Reset all fonts to current settings", &Editor::resetFonts},
                {"ButtonDefaultFont", "Default", "Set all fonts to default settings", &Editor::defaultFonts},
                {"ButtonCopyParentFont", "Copy Parent", "Copy parent font on clone set",
                 [this](Editor& editor) { editor.copyParentFont(selectedGamesFontRow()); }}}},
              makeLabel(QStringLiteral("LabelBackGroundColor"), QStringLiteral("Background Color"), games),
              m_gamesBackground,
              {{{"ButtonResetBkColor", "Reset", "Reload current color", &Editor::resetBackground},
                {"ButtonDefaultBkColor", "Default", "", &Editor::defaultBackground},
                {"ButtonCopyBkColor", "Copy", "Copy color from categories list", &Editor::copyBackground}}});

    auto* categories = new QWidget(this);
    m_categoriesFont = new FontPreviewList(QStringLiteral("CategoriesListFont"),
                                           QStringLiteral("Category Title"), categories);
    auto* row = new QTreeWidgetItem(m_categoriesFont, {QStringLiteral("Select a Categories List Font")});
    row->setIcon(0, QIcon(icons.gamesIcon("machine_both")));
    m_categoriesFont->setIconSize(QSize(kSmallIcon, kSmallIcon));
    // Room for the tallest row, so the dialog does not jump while the height is chosen.
    m_categoriesFont->fitRows(1, CellHeightTable[0]);
    connect(m_categoriesFont, &FontPreviewList::fontRequested, this,
            &TFormCustomizeGamesList::editCategoriesFont);
    m_categoriesBackground = new ColorComboBox(QStringLiteral("CategoriesListBackgroundColor"),
                                               m_editor.categoriesListBackgroundColor(), categories);
    QGridLayout* grid =
        buildArea(categories, m_categoriesFont,
                  {{{"ButtonResetFontCategories", "Reset", "Reset font to current settings",
                     &Editor::resetCategoriesFont},
                    {"ButtonDefaultFontCategories", "Default", "Set font to default settings",
                     &Editor::defaultCategoriesFont},
                    {"ButtonCopyParentFontCategories", "Copy Parent", "Copy parent font on categories list",
                     &Editor::copyParentFontToCategories}}},
                  makeLabel(QStringLiteral("LabelCategoriesListBackgroundColor"),
                            QStringLiteral("Categories List Background Color"), categories),
                  m_categoriesBackground,
                  {{{"ButtonResetBkColorCategories", "Reset", "Reload current color",
                     &Editor::resetCategoriesBackground},
                    {"ButtonDefaultBkColorCategories", "Default", "", &Editor::defaultCategoriesBackground},
                    {"ButtonCopyBkColorCategories", "Copy", "Copy color from main list",
                     &Editor::copyCategoriesBackground}}});
    auto* sizeLabel =
        makeLabel(QStringLiteral("LabelCategoriesListCellSize"),
                  QStringLiteral("Categories Item Height (increase for larger texts)"), categories);
    m_cellSize = new QComboBox(categories);
    m_cellSize->setObjectName(QStringLiteral("CategoriesListCellSize"));
    m_cellSize->addItems(categoriesCellSizeCaptions());
    sizeLabel->setBuddy(m_cellSize);
    connect(m_cellSize, &QComboBox::activated, this, [this](int index) {
        m_editor.chooseCategoriesCellSize(index);
        showState();
    });
    grid->addWidget(sizeLabel, 3, 0, 1, 4);
    grid->addWidget(m_cellSize, 4, 0);

    auto* hintLabel = makeLabel(QStringLiteral("Label1"),
                                QStringLiteral("Select fonts with mouse double-click or ENTER key"), this);
    auto* ok = makeButton(QStringLiteral("ButtonOk"), QStringLiteral("Ok"), this,
                          QStringLiteral("Close and update settings"));
    auto* cancel = makeButton(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel"), this,
                              QStringLiteral("Close without updating"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(hintLabel, 1);
    bottom->addWidget(ok);
    bottom->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(games);
    layout->addWidget(separator(this));
    layout->addWidget(categories);
    layout->addWidget(separator(this));
    layout->addLayout(bottom);

    showState();
    // The parent row is ready for Enter, the next keystroke most likely wanted.
    m_gamesFont->setCurrentItem(m_gamesFont->topLevelItem(0));
    m_gamesFont->setFocus();
    keepAboveStayOnTopWindows(this);
}

QGridLayout* TFormCustomizeGamesList::buildArea(QWidget* area, FontPreviewList* preview,
                                                const std::array<Button, 3>& fontButtons, QLabel* label,
                                                ColorComboBox* colorBox,
                                                const std::array<Button, 3>& colorButtons) {
    const auto make = [&](const Button& button) {
        auto* made = makeButton(QString::fromLatin1(button.name), QString::fromLatin1(button.caption), area,
                                QString::fromLatin1(button.hint));
        connect(made, &QPushButton::clicked, this, [this, rule = button.rule] {
            rule(m_editor);
            showState();
        });
        return made;
    };
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* fontColumn = new QVBoxLayout;
    for (const Button& button : fontButtons) {
        fontColumn->addWidget(make(button));
    }
    fontColumn->addStretch();
    grid->addWidget(preview, 0, 0);
    grid->addLayout(fontColumn, 0, 1, 1, 3);
    label->setBuddy(colorBox);
    connect(colorBox, &ColorComboBox::chosen, this, &TFormCustomizeGamesList::showState);
    grid->addWidget(label, 1, 0, 1, 4);
    grid->addWidget(colorBox, 2, 0);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(make(colorButtons[size_t(i)]), 2, i + 1);
    }
    return grid;
}

int TFormCustomizeGamesList::selectedGamesFontRow() const {
    const QList<QTreeWidgetItem*> selected = m_gamesFont->selectedItems();
    return selected.isEmpty() ? -1 : m_gamesFont->indexOfTopLevelItem(selected.constFirst());
}

void TFormCustomizeGamesList::editGamesFont() {
    const std::optional<EditedFont> which = AppearanceEditor::gamesFontRow(selectedGamesFontRow());
    if (!which) {
        return;
    }
    if (const std::optional<FontSpec> font = editFont(this, m_editor.font(*which))) {
        m_editor.setFont(*which, *font);
        showState();
        focusAfterFontDialog(m_gamesFont);
    }
}

void TFormCustomizeGamesList::editCategoriesFont() {
    if (const std::optional<FontSpec> font = editFont(this, m_editor.font(EditedFont::Categories))) {
        m_editor.setFont(EditedFont::Categories, *font);
        showState();
        focusAfterFontDialog(m_categoriesFont);
    }
}

void TFormCustomizeGamesList::focusAfterFontDialog(QWidget* preview) {
    // Not every desktop gives the activation back to this dialog when the font dialog closes.
    activateWindow();
    preview->setFocus();
}

void TFormCustomizeGamesList::showState() {
    showFont(m_gamesFont->topLevelItem(0), m_editor.font(EditedFont::Parent));
    showFont(m_gamesFont->topLevelItem(1), m_editor.font(EditedFont::Clone));
    m_gamesFont->setBackground(m_editor.gamesPreviewBackground());
    showFont(m_categoriesFont->topLevelItem(0), m_editor.font(EditedFont::Categories));
    m_categoriesFont->setBackground(m_editor.categoriesPreviewBackground());
    m_categoriesFont->setRowHeight(m_editor.categoriesPreviewRowHeight());
    m_gamesBackground->showBox();
    m_categoriesBackground->showBox();
    const QSignalBlocker quiet(m_cellSize);
    m_cellSize->setCurrentIndex(m_editor.categoriesCellSize());
}

bool customizeGamesListAppearance(QWidget* parent, Appearance& appearance, int gameRowHeight,
                                  const ImageLists& icons) {
    TFormCustomizeGamesList dialog(appearance, gameRowHeight, icons, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    dialog.apply(appearance);
    return true;
}
