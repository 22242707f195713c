#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Small builders so that every control gets its system name and its texts in one line.
QLabel* makeLabel(const QString& objectName, const QString& text, QWidget* parent, bool wrap = false);
QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent,
                        const QString& hint = {});
QLineEdit* makeEdit(const QString& objectName, QWidget* parent);
QCheckBox* makeCheckBox(const QString& objectName, const QString& caption, QWidget* parent);

// Updates a control only when the state differs, so the cursor and selection of the user stay.
void setEditText(QLineEdit* edit, const QString& text);
void setChecked(QAbstractButton* button, bool checked);
void setBold(QWidget* widget, bool bold);
