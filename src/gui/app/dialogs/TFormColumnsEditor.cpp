#include "TFormColumnsEditor.h"

#include "app/pages/Widgets.h"
#include "search/GameListColumns.h"
#include "search/ListLook.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kTitleColumn = 0;
constexpr int kSizeColumn = 1;
const QColor kUncheckedText(0x80, 0x80, 0x80);

// The Size cell's editor: what the user typed goes to the core, which takes or refuses it.
class SizeDelegate final : public ListRowDelegate {
public:
    SizeDelegate(ColumnsEditor& editor, QObject* parent) : ListRowDelegate(parent), m_editor(editor) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != kSizeColumn || !m_editor.sizeEditable(index.row())) {
            return nullptr;
        }
        m_editing = true;
        return ListRowDelegate::createEditor(parent, option, index);
    }
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        m_editing = false;
        ListRowDelegate::destroyEditor(editor, index);
    }
    bool editing() const { return m_editing; }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        // The rows are drawn again from the core afterwards, refused text or not.
        m_editor.editSize(index.row(), static_cast<QLineEdit*>(editor)->text());
    }

private:
    ColumnsEditor& m_editor;
    mutable bool m_editing = false;
};

}  // namespace

TFormColumnsEditor::TFormColumnsEditor(GameListId list, int layout, const ColumnLayout& current,
                                       QWidget* parent)
    : QDialog(parent), m_editor(list, current) {
    setObjectName(QStringLiteral("FormColumnsEditor"));
    const QString listName =
        list == WorkListList ? QStringLiteral("Work List") : QStringLiteral("Search Results");
    setWindowTitle(QStringLiteral("Customize Columns: %1 - Layout %2").arg(listName).arg(layout));
    auto* page = new QVBoxLayout(this);
    page->addWidget(makeLabel(
        QStringLiteral("LabelNote"),
        QStringLiteral("Change column position, size, visibility. Use the checkbox to show/hide column."),
        this, true));
    auto* titles = new QHBoxLayout;
    QLabel* listTitle = makeLabel(QStringLiteral("LabelListTitle"), listName, this);
    setBold(listTitle, true);
    titles->addWidget(listTitle);
    titles->addStretch();
    titles->addWidget(
        makeLabel(QStringLiteral("LabelLayoutTitle"), QStringLiteral("Layout %1").arg(layout), this));
    page->addLayout(titles);

    auto* body = new QHBoxLayout;
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ColumnsListView"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Size")});
    m_list->header()->resizeSection(kTitleColumn, 160);
    m_list->header()->resizeSection(kSizeColumn, 49);
    m_list->header()->setSectionsMovable(false);
    m_list->setRootIsDecorated(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);  // F2 and double clicks go through the rules
    applySelectionColours(m_list);
    auto* rows = new SizeDelegate(m_editor, m_list);
    rows->setRowHeight(20);
    m_list->setItemDelegate(rows);
    m_sizes = rows;
    // The Size the core kept (the typed one, 10 for less, the old one for a refused text) is shown
    // as soon as the cell closes.
    connect(rows, &QAbstractItemDelegate::closeEditor, this, [this] { drawRows(); });
    m_list->setMinimumSize(230, 300);
    m_list->installEventFilter(this);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { m_editor.select(m_list->indexOfTopLevelItem(item)); });
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == kTitleColumn) {
            m_editor.setChecked(m_list->indexOfTopLevelItem(item),
                                item->checkState(kTitleColumn) == Qt::Checked);
        }
        drawRows();
    });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { editSize(); });
    body->addWidget(m_list, 1);

    auto* buttons = new QGridLayout;
    addButton(buttons, 0, "ButtonUp", QStringLiteral("Up"), QStringLiteral("Move selected column up"),
              QStringLiteral("[Ctrl+Up / Ctrl+Down]"), &TFormColumnsEditor::up);
    addButton(buttons, 1, "ButtonDown", QStringLiteral("Down"), QStringLiteral("Move selected column down"),
              {}, &TFormColumnsEditor::down);
    addButton(buttons, 2, "ButtonEditWidth", QStringLiteral("Edit Size"),
              QStringLiteral("Edit selected column width, in pixels"),
              QStringLiteral("[F2 / Mouse Double-Click]"), &TFormColumnsEditor::editSize);
    addButton(buttons, 3, "ButtonSizeDecrease", QStringLiteral("-"),
              QStringLiteral("Decrease selected column size"), QStringLiteral("[Ctrl+Left / Ctrl+Right]"),
              &TFormColumnsEditor::smaller);
    addButton(buttons, 4, "ButtonSizeIncrease", QStringLiteral("+"),
              QStringLiteral("Increase selected column size"), {}, &TFormColumnsEditor::larger);
    addButton(buttons, 5, "ButtonResetSize", QStringLiteral("Reset Size"),
              QStringLiteral("Reset selected column width to current size"), QStringLiteral("[F4]"),
              &TFormColumnsEditor::resetSize);
    addButton(buttons, 6, "ButtonDefaultSize", QStringLiteral("Default Size"),
              QStringLiteral("Reset selected column width to default size"), QStringLiteral("[F3]"),
              &TFormColumnsEditor::defaultSize);
    buttons->addWidget(makeLabel(QStringLiteral("LabelToggleVisibility"),
                                 QStringLiteral("[Space Bar] Toggle Visibility"), this),
                       7, 0, 1, 2);
    addButton(buttons, 8, "ButtonReloadProfile", QStringLiteral("Reset All"),
              QStringLiteral("Reload current columns settings from main games list"), QStringLiteral("[F5]"),
              &TFormColumnsEditor::reloadAll);
    addButton(buttons, 9, "ButtonDefault", QStringLiteral("Default All"),
              QStringLiteral("Reset all columns to frontend default settings"), QStringLiteral("[F6]"),
              &TFormColumnsEditor::defaultAll);
    buttons->setRowStretch(10, 1);
    QPushButton* ok = makeButton(QStringLiteral("ButtonOk"), QStringLiteral("Ok"), this,
                                 QStringLiteral("Close and update settings"));
    QPushButton* cancel = makeButton(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel"), this,
                                     QStringLiteral("Close without updating"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok, 11, 0);
    buttons->addWidget(cancel, 11, 1);
    body->addLayout(buttons);
    page->addLayout(body, 1);
    drawRows();
    m_list->setFocus();
}

void TFormColumnsEditor::addButton(QGridLayout* grid, int row, const char* name, const QString& caption,
                                   const QString& hint, const QString& keys,
                                   void (TFormColumnsEditor::*action)()) {
    QPushButton* button = makeButton(QString::fromLatin1(name), caption, this, hint);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, action] {
        (this->*action)();
        m_list->setFocus();  // the keys of the list work on after a click
    });
    grid->addWidget(button, row, 0);
    if (!keys.isEmpty()) {
        grid->addWidget(makeLabel(QStringLiteral("LabelKeys") + QString::fromLatin1(name).mid(6), keys, this),
                        row, 1);
    }
}

void TFormColumnsEditor::drawRows() {
    const QSignalBlocker blocker(m_list);
    const QList<ColumnRow>& rows = m_editor.rows();
    while (m_list->topLevelItemCount() > rows.size()) {
        delete m_list->takeTopLevelItem(m_list->topLevelItemCount() - 1);
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = m_list->topLevelItem(int(i));
        if (!item) {
            item = new QTreeWidgetItem(m_list);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        }
        const ColumnRow& row = rows[i];
        item->setText(kTitleColumn, QString::fromLatin1(GameListColumns[size_t(row.column)].editorName));
        item->setText(kSizeColumn, row.size);
        item->setCheckState(kTitleColumn, row.checked ? Qt::Checked : Qt::Unchecked);
        const QBrush text = row.checked ? QBrush() : QBrush(kUncheckedText);
        item->setForeground(kTitleColumn, text);
        item->setForeground(kSizeColumn, text);
    }
    if (QTreeWidgetItem* selected = m_list->topLevelItem(m_editor.selected())) {
        m_list->setCurrentItem(selected);
        m_list->scrollToItem(selected);
    }
}

bool TFormColumnsEditor::editing() const {
    return static_cast<const SizeDelegate*>(m_sizes)->editing();
}

void TFormColumnsEditor::editSize() {
    if (QTreeWidgetItem* item = m_list->topLevelItem(m_editor.selected());
        item && m_editor.sizeEditable(m_editor.selected())) {
        m_list->editItem(item, kSizeColumn);
    }
}

void TFormColumnsEditor::up() {
    m_editor.moveUp();
    drawRows();
}

void TFormColumnsEditor::down() {
    m_editor.moveDown();
    drawRows();
}

void TFormColumnsEditor::smaller() {
    m_editor.changeSize(-1);
    drawRows();
}

void TFormColumnsEditor::larger() {
    m_editor.changeSize(+1);
    drawRows();
}

void TFormColumnsEditor::resetSize() {
    m_editor.resetSize();
    drawRows();
}

void TFormColumnsEditor::defaultSize() {
    m_editor.defaultSize();
    drawRows();
}

void TFormColumnsEditor::toggleShown() {
    const int row = m_editor.selected();
    m_editor.setChecked(row, !m_editor.rows().value(row).checked);
    drawRows();
}

void TFormColumnsEditor::reloadAll() {
    m_editor.reload(EditorRows::Current);
    drawRows();
}

void TFormColumnsEditor::defaultAll() {
    m_editor.reload(EditorRows::Defaults);
    drawRows();
}

bool TFormColumnsEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_list || event->type() != QEvent::KeyPress || editing()) {
        return QDialog::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    void (TFormColumnsEditor::*action)() = nullptr;
    switch (key->key()) {
        case Qt::Key_Up:
            action = ctrl ? &TFormColumnsEditor::up : nullptr;
            break;
        case Qt::Key_Down:
            action = ctrl ? &TFormColumnsEditor::down : nullptr;
            break;
        case Qt::Key_Left:
            action = &TFormColumnsEditor::smaller;
            break;
        case Qt::Key_Right:
            action = &TFormColumnsEditor::larger;
            break;
        case Qt::Key_F2:
            action = &TFormColumnsEditor::editSize;
            break;
        case Qt::Key_F3:
            action = &TFormColumnsEditor::defaultSize;
            break;
        case Qt::Key_F4:
            action = &TFormColumnsEditor::resetSize;
            break;
        case Qt::Key_F5:
            action = &TFormColumnsEditor::reloadAll;
            break;
        case Qt::Key_F6:
            action = &TFormColumnsEditor::defaultAll;
            break;
        case Qt::Key_Space:
            action = &TFormColumnsEditor::toggleShown;
            break;
        default:
            return QDialog::eventFilter(watched, event);
    }
    if ((key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) && !ctrl) {
        return true;  // Left and Right alone do nothing
    }
    if (action) {
        (this->*action)();
        return true;
    }
    return QDialog::eventFilter(watched, event);  // Up and Down alone move the selection
}

void TFormColumnsEditor::closeEvent(QCloseEvent* event) {
    if (editing()) {
        event->ignore();  // a Size cell being edited keeps the dialog open
        return;
    }
    QDialog::closeEvent(event);
}

void TFormColumnsEditor::reject() {
    if (!editing()) {
        QDialog::reject();
    }
}

std::optional<QList<ColumnRow>> customizeColumns(QWidget* parent, GameListId list, int layout,
                                                 const ColumnLayout& current) {
    TFormColumnsEditor editor(list, layout, current, parent);
    editor.adjustSize();
    if (const QScreen* screen = parent ? parent->screen() : nullptr) {
        editor.move(screen->availableGeometry().center() - editor.rect().center());
    }
    if (editor.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return editor.rows();
}
