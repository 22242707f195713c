#pragma once

#include "ColumnLayouts.h"

#include <QList>
#include <QString>

// One row of the columns editor: a column, its width as text, and whether it is shown.
struct ColumnRow {
    int column = 0;
    QString size;
    bool checked = true;
    bool operator==(const ColumnRow&) const = default;
};

enum class EditorRows { Current, Defaults };

// The rows: the list's columns in their display order with their widths (Current), or every column in
// index order at its default width, all shown (Defaults).
QList<ColumnRow> FillEditorRows(EditorRows which, const ColumnLayout& current, GameListId list);

// "Customize Columns" for one list in the current layout: the rows as the user edits them, by the
// editor's rules. Row 0 (the title column) never moves and is always shown.
class ColumnsEditor {
public:
    ColumnsEditor(GameListId list, const ColumnLayout& current);

    GameListId list() const { return m_list; }
    const QList<ColumnRow>& rows() const { return m_rows; }
    int selected() const { return m_selected; }
    void select(int row);

    void moveUp();
    void moveDown();
    void setChecked(int row, bool checked);
    // The in-place edit of a size: false (and nothing changes) for an empty text or one that is not a
    // whole number; a number below 10 becomes 10. Status columns' sizes are not edited.
    bool editSize(int row, const QString& text);
    bool sizeEditable(int row) const;
    void changeSize(int by);  // "-" and "+": any row, no limit
    void resetSize();         // the width the column has in the list now
    void defaultSize();
    void reload(EditorRows which);

private:
    bool isRow(int row) const { return row >= 0 && row < m_rows.size(); }

    GameListId m_list;
    ColumnLayout m_current;
    QList<ColumnRow> m_rows;
    int m_selected = 0;
};

// "Ok": the rows as the profile of the current layout, then shown — from the file when something
// was written, else every column back at its place and default width. Gives whether it wrote.
bool WriteEditorLayout(LayoutContext& context, GameListId list, const QList<ColumnRow>& rows);
