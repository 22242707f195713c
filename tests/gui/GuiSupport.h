#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QList>
#include <QMessageBox>
#include <QQueue>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal message boxes that the window opens during a test, records their caption and
// text, and saves a picture of each when KESTRUM_SCREENSHOTS names a folder.
class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString caption;
        QString text;
        QWidget* parent = nullptr;
        bool staysOnTop = false;
    };
    QList<Seen> seen;
    QQueue<bool> answers;  // for Yes/No boxes; an empty queue answers No
    QString screenshotPrefix = QStringLiteral("message");
    std::function<void(QMessageBox*)> onSeen;  // called while the box is still up

    MessageBoxWatcher() {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll();
    QTimer m_timer;
};

#include "TempProgramFolder.h"

// A program folder holding the program's icons, as the build puts them beside the executable.
class ProgramFolderWithIcons : public TempProgramFolder {
public:
    // `except`: icons left out, to see what a missing one does.
    explicit ProgramFolderWithIcons(const QStringList& except = {});
};

// The folder named by KESTRUM_SCREENSHOTS, or "" when screenshots are not wanted.
QString screenshotFolder();
// Saves widget->grab() as <folder>/<name>.png, the name made safe for a file name.
void saveScreenshot(QWidget* widget, const QString& name);
QAbstractButton* buttonNamed(QWidget* window, const QString& objectName);
