#pragma once

#include "search/ColumnsEditor.h"

#include <QDialog>

#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

// "Customize Columns": the order, widths and visibility of one list's columns in the current layout.
// The rules are the core's ColumnsEditor; the dialog shows its rows and passes the user's keys on.
class TFormColumnsEditor final : public QDialog {
public:
    TFormColumnsEditor(GameListId list, int layout, const ColumnLayout& current, QWidget* parent);
    const QList<ColumnRow>& rows() const { return m_editor.rows(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void addButton(class QGridLayout* grid, int row, const char* name, const QString& caption,
                   const QString& hint, const QString& keys, void (TFormColumnsEditor::*action)());
    void drawRows();
    void editSize();
    void up();
    void down();
    void smaller();
    void larger();
    void resetSize();
    void defaultSize();
    void toggleShown();
    void reloadAll();
    void defaultAll();
    bool editing() const;

    ColumnsEditor m_editor;
    QTreeWidget* m_list;
    QObject* m_sizes;  // the delegate that edits the Size cells
};

// Opens the editor over `parent`; on "Ok" the rows as the user left them.
std::optional<QList<ColumnRow>> customizeColumns(QWidget* parent, GameListId list, int layout,
                                                 const ColumnLayout& current);
