#include "GuiSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

ProgramFolderWithIcons::ProgramFolderWithIcons(const QStringList& except) {
    const QDir icons(QStringLiteral(KESTRUM_ICONS_DIR));
    makeFolder(QStringLiteral("icons"));
    for (const QString& name : icons.entryList({QStringLiteral("*.ico")}, QDir::Files)) {
        if (!except.contains(name.chopped(4))) {
            QFile::copy(icons.filePath(name), file(QStringLiteral("icons/") + name));
        }
    }
}

QString screenshotFolder() {
    return qEnvironmentVariable("KESTRUM_SCREENSHOTS");
}

void saveScreenshot(QWidget* widget, const QString& name) {
    const QString folder = screenshotFolder();
    if (folder.isEmpty() || !widget) {
        return;
    }
    QDir().mkpath(folder);
    QString safe = name;
    safe.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]+")), QStringLiteral("_"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);  // a label that just grew
    widget->grab().save(folder + u'/' + safe + QStringLiteral(".png"));
}

QAbstractButton* buttonNamed(QWidget* window, const QString& objectName) {
    return window->findChild<QAbstractButton*>(objectName);
}

void MessageBoxWatcher::poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) {
        return;
    }
    seen.append({box->windowTitle(), box->text(), box->parentWidget(),
                 box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
    saveScreenshot(box, screenshotPrefix + QStringLiteral("-%1-").arg(seen.size()) + box->windowTitle());
    if (onSeen) {
        onSeen(box);
    }
    if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
        const bool answer = answers.isEmpty() ? false : answers.dequeue();
        (answer ? yes : box->button(QMessageBox::No))->click();
    } else if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}
