#include "Widgets.h"

#include "app/QtDialogPort.h"

#include <QSignalBlocker>

QLabel* makeLabel(const QString& objectName, const QString& text, QWidget* parent, bool wrap) {
    auto* label = new QLabel(QtDialogPort::displayText(text), parent);
    label->setObjectName(objectName);
    label->setWordWrap(wrap);
    return label;
}

QPushButton* makeButton(const QString& objectName, const QString& caption, QWidget* parent,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setToolTip(hint);
    return button;
}

QLineEdit* makeEdit(const QString& objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QCheckBox* makeCheckBox(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

void setEditText(QLineEdit* edit, const QString& text) {
    if (edit->text() != text) {
        const QSignalBlocker blocker(edit);
        edit->setText(text);
    }
}

void setChecked(QAbstractButton* button, bool checked) {
    if (button->isChecked() != checked) {
        const QSignalBlocker blocker(button);
        button->setChecked(checked);
    }
}

void setBold(QWidget* widget, bool bold) {
    QFont f = widget->font();
    if (f.bold() != bold) {
        f.setBold(bold);
        widget->setFont(f);
    }
}
