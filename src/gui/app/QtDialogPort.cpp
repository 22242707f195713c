#include "QtDialogPort.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

namespace {
QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
        case MessageIcon::Exclamation:
            break;
    }
    return QMessageBox::Warning;
}
}  // namespace

QtDialogPort::QtDialogPort(QWidget* owner) : m_owner(owner) {}

QtDialogPort::~QtDialogPort() {
    setBusyPointer(false);
}

QString QtDialogPort::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QWidget* QtDialogPort::dialogParent() const {
    for (const QPointer<QWidget>& window : {m_waitWindow, m_logWindow}) {
        if (window && window->isVisible()) {
            return window.data();
        }
    }
    return m_owner.data();
}

void QtDialogPort::keepInFront(QDialog& dialog) const {
    // Above a stay-on-top window, or it would cover the dialog's text and buttons.
    QWidget* parent = dialog.parentWidget();
    if (parent && (parent == m_waitWindow || parent == m_logWindow)) {
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
}

// The wait window never takes the keyboard: when a box shown over it closes, the keyboard goes
// back to the main window, not to the wait window nor (as a desktop may leave it) to no window.
void QtDialogPort::handBackKeyboard(const QMessageBox& box) const {
    if (box.parentWidget() && box.parentWidget() == m_waitWindow && m_owner && m_owner->isVisible()) {
        m_owner->activateWindow();
    }
}

void QtDialogPort::showMessage(const QString& caption, const QString& text, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), caption, displayText(text), QMessageBox::Ok, dialogParent());
    box.setObjectName(QStringLiteral("MessageBox"));
    keepInFront(box);
    box.exec();
    handBackKeyboard(box);
}

bool QtDialogPort::askYesNo(const QString& caption, const QString& text, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), caption, displayText(text), QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setObjectName(QStringLiteral("MessageBox"));
    keepInFront(box);
    box.setDefaultButton(QMessageBox::Yes);
    const bool yes = box.exec() == QMessageBox::Yes;
    handBackKeyboard(box);
    return yes;
}

QString QtDialogPort::qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        // Qt reads the patterns from the last parenthesised group of each filter.
        filters.append(description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")"))
                           ? description
                           : description + QStringLiteral(" (") + patterns + QStringLiteral(")"));
    }
    return filters.join(QStringLiteral(";;"));
}

QString QtDialogPort::fileDialog(bool save, const QString& title, const QString& folder,
                                 const QString& filter, const QString& defaultExtension) {
    QFileDialog dialog(dialogParent(), title, folder, qtNameFilters(filter));
    dialog.setObjectName(QStringLiteral("FileDialog"));
    keepInFront(dialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!defaultExtension.isEmpty() && defaultExtension != QStringLiteral("*")) {
        dialog.setDefaultSuffix(defaultExtension);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString QtDialogPort::openFileName(const QString& title, const QString& folder, const QString& filter,
                                   const QString& defaultExtension) {
    return fileDialog(false, title, folder, filter, defaultExtension);
}

QString QtDialogPort::saveFileName(const QString& title, const QString& folder, const QString& filter,
                                   const QString& defaultExtension) {
    return fileDialog(true, title, folder, filter, defaultExtension);
}

QString QtDialogPort::folderName(const QString& title, const QString& folder) {
    return QFileDialog::getExistingDirectory(dialogParent(), title, folder);
}

bool QtDialogPort::openDocument(const QString& pathOrAddress) {
    const QUrl url = pathOrAddress.contains(QStringLiteral("://")) ? QUrl(pathOrAddress)
                                                                   : QUrl::fromLocalFile(pathOrAddress);
    return QDesktopServices::openUrl(url);
}

void QtDialogPort::setBusyPointer(bool busy) {
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void QtDialogPort::processPendingEvents() {
    QCoreApplication::processEvents();
}
