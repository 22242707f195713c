#include "ColumnsEditor.h"

#include "GameListColumns.h"
#include "catalog/SetupChoices.h"
#include "common/FileOps.h"
#include "common/IniDocument.h"

#include <QtGlobal>

namespace {
constexpr int kSmallestEditedSize = 10;
}

QList<ColumnRow> FillEditorRows(EditorRows which, const ColumnLayout& current, GameListId list) {
    const ColumnLayout shown = which == EditorRows::Defaults ? ColumnLayout::defaults(list) : current;
    QList<ColumnRow> rows;
    for (const int column : shown.order) {
        rows.append({column, QString::number(shown.widths[size_t(column)]),
                     column == 0 || shown.visible[size_t(column)]});
    }
    return rows;
}

ColumnsEditor::ColumnsEditor(GameListId list, const ColumnLayout& current)
    : m_list(list), m_current(current), m_rows(FillEditorRows(EditorRows::Current, current, list)) {}

void ColumnsEditor::select(int row) {
    if (isRow(row)) {
        m_selected = row;
    }
}

void ColumnsEditor::moveUp() {
    // Nothing moves into the first row's place, and the first row never moves.
    if (m_selected >= 2 && isRow(m_selected)) {
        m_rows.swapItemsAt(m_selected, m_selected - 1);
        --m_selected;
    }
}

void ColumnsEditor::moveDown() {
    if (m_selected >= 1 && isRow(m_selected + 1)) {
        m_rows.swapItemsAt(m_selected, m_selected + 1);
        ++m_selected;
    }
}

void ColumnsEditor::setChecked(int row, bool checked) {
    if (isRow(row)) {
        m_rows[row].checked = checked || m_rows[row].column == 0;
    }
}

bool ColumnsEditor::sizeEditable(int row) const {
    return isRow(row) && !isStatusColumn(m_rows[row].column);
}

bool ColumnsEditor::editSize(int row, const QString& text) {
    bool whole = false;
    const int size = text.trimmed().toInt(&whole);
    if (!sizeEditable(row) || !whole) {
        return false;
    }
    m_rows[row].size = QString::number(std::max(size, kSmallestEditedSize));
    return true;
}

void ColumnsEditor::changeSize(int by) {
    if (isRow(m_selected)) {
        m_rows[m_selected].size = QString::number(m_rows[m_selected].size.toInt() + by);
    }
}

void ColumnsEditor::resetSize() {
    if (sizeEditable(m_selected)) {
        m_rows[m_selected].size = QString::number(m_current.widths[size_t(m_rows[m_selected].column)]);
    }
}

void ColumnsEditor::defaultSize() {
    if (sizeEditable(m_selected)) {
        m_rows[m_selected].size =
            QString::number(GameListColumns[size_t(m_rows[m_selected].column)].defaultWidth(m_list));
    }
}

void ColumnsEditor::reload(EditorRows which) {
    m_rows = FillEditorRows(which, m_current, m_list);
    m_selected = 0;
}

bool WriteEditorLayout(LayoutContext& context, GameListId list, const QList<ColumnRow>& rows) {
    const QString path = ColumnLayoutFile(context.setup.ProgramFolder, list);
    const QByteArray prefix = LayoutPrefix(context.page.layout);
    IniDocument file = IniDocument::parse(readWholeFile(path).value_or(QByteArray()));
    removeColumnSections(file, prefix);
    bool written = false;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const int column = rows[row].column;
        if (column < 0 || column >= kGameListColumnCount) {
            continue;
        }
        // An emptied Size stands for the default width.
        const int width = rows[row].size.isEmpty() ? GameListColumns[size_t(column)].defaultWidth(list)
                                                   : rows[row].size.toInt();
        written |= writeColumnEntries(file, prefix, list, column, int(row), width, rows[row].checked);
    }
    if (!written) {
        // Nothing to keep: every column back in place; the file keeps this layout's old entries until
        // the next save of the columns replaces them.
        context.view.showColumns(list, ColumnLayout::defaults(list));
        return false;
    }
    writeFileAtomically(path, file.serialized());
    LoadColumnLayout(context, list == SearchResultsList, list == WorkListList);
    return true;
}
