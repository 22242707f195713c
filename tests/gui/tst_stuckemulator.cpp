#include "FakeEmulator.h"
#include "GuiSupport.h"
#include "TempProgramFolder.h"
#include "app/TFormMain.h"
#include "progress/TFormListXML.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>

#include <signal.h>
#include <unistd.h>

#include <functional>

namespace {

// A process that still lives: one that has ended but waits to be reaped by whoever inherited it
// does not count.
bool alive(pid_t pid) {
    if (pid <= 0 || ::kill(pid, 0) != 0) {
        return false;
    }
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

// The processes whose parent is `parent`.
QList<pid_t> childrenOf(pid_t parent) {
    QList<pid_t> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (entry.toInt() <= 0 || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == parent) {
            children.append(entry.toInt());
        }
    }
    return children;
}

// Kills the process group the runner started the emulator in, while one of it lives.
void killGroupOf(pid_t pid) {
    const pid_t group = pid > 0 ? ::getpgid(pid) : -1;
    if (group > 1 && group != ::getpgrp()) {
        ::kill(-group, SIGKILL);
    }
}

// The real main window with the stand-in emulator, walked to the operation page: the next NEXT
// runs the emulator for its machine list, which then hangs (it ends on SIGTERM, or, "stubborn",
// ignores it and must be killed).
struct StuckRun {
    ProgramFolderWithIcons dir;
    FakeEmulator fake{dir};
    MessageBoxWatcher boxes;
    std::unique_ptr<TFormMain> window;
    pid_t emulator = 0;            // the hung emulator, once it has written its process id
    QList<pid_t> emulatorHelpers;  // what it started (its `sleep`)

    explicit StuckRun(const QString& afterList) {
        fake.set("LISTXML", testDataPath("emulator/listxml.xml"));
        fake.set("AFTER_LIST", afterList);
        dir.write("emulator/mame.ini", "rompath roms\nsnapshot_directory snap\n");
        dir.write("catver.ini", "[Category]\r\npuckman=Maze / Collect\r\n[VerAdded]\r\npuckman=.37b\r\n");
        window = std::make_unique<TFormMain>(portableFolders(dir.path()));
        window->state().emulator.iniFallbackFolders.clear();  // only the emulator's own folder
    }

    QString pidFile() const { return fake.path() + QStringLiteral(".pid"); }
    // The process id the hung emulator wrote last.
    pid_t pidInFile() const {
        return QString::fromLatin1(dir.read(pidFile().mid(dir.path().size()))).trimmed().toInt();
    }
    int page() const { return window->findChild<QStackedWidget*>("NotebookPages")->currentIndex(); }
    TFormListXML* wait() const { return window->findChild<TFormListXML*>(); }
    QAbstractButton* stop() const { return buttonNamed(wait(), "ButtonStop"); }
    void press(const char* name) { QTest::mouseClick(buttonNamed(window.get(), name), Qt::LeftButton); }

    bool toOperationPage() {
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) {
            return false;
        }
        press("ButtonNext");
        auto* emulatorBox = window->findChild<QLineEdit*>("MAMEExecutableFile");
        QTest::keyClicks(emulatorBox, fake.path());
        press("ButtonNext");
        press("ButtonNext");
        press("ButtonNext");
        return page() == 4 && boxes.seen.isEmpty();
    }

    // Presses NEXT on the operation page; `whileHung` runs, from the window's own event handling,
    // once the emulator hangs with the Stop button up, and again on every later turn of events
    // until it returns true. False when the emulator never hung, or the run did not end with the
    // window's work (it is then killed, so that the step ends).
    bool buildWhileHung(const std::function<bool()>& whileHung) {
        QTimer poll;
        poll.setInterval(10);
        bool done = false;
        bool timedOut = false;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!timedOut && clock.hasExpired(20000)) {
                timedOut = true;  // the step would never end: end it, and fail below
                giveUp();
            }
            if (done || !QFile::exists(pidFile()) || !stop()->isVisible()) {
                return;
            }
            if (emulator == 0) {
                const QList<pid_t> helpers = childrenOf(pidInFile());
                if (helpers.isEmpty()) {
                    return;  // it hangs once it has started its helper
                }
                emulator = pidInFile();
                emulatorHelpers = helpers;
            }
            poll.stop();  // the handler may open a question, whose event loop would call it again
            done = whileHung();
            poll.start();
        });
        poll.start();
        press("ButtonNext");
        return done && !timedOut;
    }

    // Ends the run the hard way, when the window did not: kills the emulator, which will not hang
    // again, and every question from now on is answered No.
    void giveUp() {
        boxes.answers.clear();
        fake.set("AFTER_LIST", QString());
        killGroupOf(pidInFile());
    }

    ~StuckRun() {  // a failed walk leaves nothing running
        killGroupOf(pidInFile());
        for (pid_t helper : emulatorHelpers) {
            if (alive(helper)) {
                ::kill(helper, SIGKILL);
            }
        }
    }

    bool emulatorLeftAlive() const {
        bool any = alive(emulator);
        for (pid_t helper : emulatorHelpers) {
            any = any || alive(helper);
        }
        return any;
    }
};

const QString kStillRunning = QStringLiteral("The emulator is still running. Stop it and close Kestrum?");

void afterListRows() {
    QTest::addColumn<QString>("afterList");
    QTest::newRow("ends on SIGTERM") << "hang";
    QTest::newRow("ignores SIGTERM") << "stubborn";
}

}  // namespace

// The emulator hangs after printing its machine list, while the user waits on the wait window.
class StuckEmulatorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Stop ends the run without a question; the games page says that there is no list, and the
    // program goes on: the next NEXT from the operation page runs the emulator anew.
    void stopEndsTheRun_data() { afterListRows(); }
    void stopEndsTheRun() {
        QFETCH(QString, afterList);
        StuckRun run(afterList);
        QVERIFY(run.toOperationPage());
        bool heldDuringRun = false;
        bool greyedDuringRun = false;
        QString statusDuringRun = QStringLiteral("unseen");
        const bool walked = run.buildWhileHung([&] {
            saveScreenshot(run.wait(), QStringLiteral("stuck-") + afterList + QStringLiteral("-wait-window"));
            const QAbstractButton* next = buttonNamed(run.window.get(), "ButtonNext");
            const QAbstractButton* back = buttonNamed(run.window.get(), "ButtonBack");
            heldDuringRun = !next->isEnabled() && !back->isEnabled();
            // The categories were read before the run: the status line no longer says so.
            statusDuringRun = run.window->findChild<QLabel*>("LabelMessages")->text();
            // Held off, NEXT must look it: its caption greys as BACK's does.
            greyedDuringRun = next->palette().color(QPalette::Disabled, QPalette::ButtonText) ==
                              back->palette().color(QPalette::Disabled, QPalette::ButtonText);
            QTest::mouseClick(run.stop(), Qt::LeftButton);
            return true;
        });
        QVERIFY(walked);
        QVERIFY(heldDuringRun);
        QVERIFY(greyedDuringRun);
        QCOMPARE(statusDuringRun, QString());
        QVERIFY(!run.emulatorLeftAlive());
        QVERIFY(run.boxes.seen.isEmpty());  // a stop is not a failure: no retry is offered
        QVERIFY(!run.wait()->isVisible());
        QCOMPARE(run.page(), 5);
        QVERIFY(run.window->findChild<QLabel*>("LabelNoGamesList")->isVisible());
        QVERIFY(!QFile::exists(run.dir.file("listxml.xml")));
        QVERIFY(!QFile::exists(run.dir.file("listfull.txt")));
        QVERIFY(buttonNamed(run.window.get(), "ButtonNext")->isEnabled());
        QVERIFY(buttonNamed(run.window.get(), "ButtonBack")->isEnabled());
        QCOMPARE(run.window->focusWidget(), run.window->findChild<QLineEdit*>("CategoryText"));
        saveScreenshot(run.window.get(),
                       QStringLiteral("stuck-") + afterList + QStringLiteral("-after-stop"));

        run.press("ButtonBack");
        QCOMPARE(run.page(), 4);
        run.fake.set("AFTER_LIST", QString());
        run.press("ButtonNext");
        QCOMPARE(run.page(), 5);
        QCOMPARE(run.window->state().games.FullGamesList.size(), 7);
        QVERIFY(!run.window->findChild<QLabel*>("LabelNoGamesList")->isVisible());
        QVERIFY(run.boxes.seen.isEmpty());
    }

    // A close request while the emulator runs asks first, in front of the wait window. No keeps
    // the run and the window, and gives the keyboard back to the main window; Yes stops the
    // emulator and closes the window once the step has ended, with the settings saved as on any
    // close from this page. The desktop's close of the wait window (from a task bar, say) is a
    // close request of the program: it does not take the wait window and its Stop away.
    void closeWhileRunningAsksFirst_data() { afterListRows(); }
    void closeWhileRunningAsksFirst() {
        QFETCH(QString, afterList);
        StuckRun run(afterList);
        QVERIFY(run.toOperationPage());
        QVERIFY(!QFile::exists(run.dir.file("Kestrum.ini")));
        run.boxes.answers.enqueue(false);  // No, then Yes
        run.boxes.answers.enqueue(true);
        QStringList inFront;  // per question: the box is the active, modal window over the wait window
        run.boxes.onSeen = [&](QMessageBox* box) {
            const bool active = QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }, 2000);
            inFront.append(QStringLiteral("active=%1 modal=%2 overWait=%3 onTop=%4 waitShown=%5")
                               .arg(active)
                               .arg(QApplication::activeModalWidget() == box)
                               .arg(box->parentWidget() == run.wait())
                               .arg(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                               .arg(run.wait()->isVisible()));
        };
        int requests = 0;
        bool keptAfterNo = false;
        const bool walked = run.buildWhileHung([&] {
            ++requests;
            QTest::qWait(50);  // let the hung emulator be for a moment
            if (requests == 1) {
                static_cast<QWidget*>(run.wait())->close();  // as the desktop would
                const bool keyboardBack =
                    QTest::qWaitFor([&] { return QApplication::activeWindow() == run.window.get(); }, 2000);
                keptAfterNo =
                    keyboardBack && run.window->isVisible() && run.stop()->isVisible() && alive(run.emulator);
                if (!keptAfterNo) {
                    run.giveUp();  // the step ends, and the test fails below
                }
                return !keptAfterNo;
            }
            run.window->close();
            return true;
        });
        QVERIFY(keptAfterNo);
        QVERIFY(walked);
        QCOMPARE(requests, 2);
        QCOMPARE(run.boxes.seen.size(), 2);
        for (const MessageBoxWatcher::Seen& seen : run.boxes.seen) {
            QCOMPARE(seen.caption, QStringLiteral("Kestrum"));
            QCOMPARE(seen.text, kStillRunning);
        }
        const QString expected = QStringLiteral("active=1 modal=1 overWait=1 onTop=1 waitShown=1");
        QCOMPARE(inFront, (QStringList{expected, expected}));
        QTRY_VERIFY(!run.window->isVisible());
        QVERIFY(!run.emulatorLeftAlive());
        const QByteArray settings = run.dir.read("Kestrum.ini");
        QVERIFY(settings.contains("MAMEFile=" + run.fake.path().toUtf8() + "\r\n"));
        QVERIFY(settings.contains("CategoryFile=" + run.dir.file("catver.ini").toUtf8() + "\r\n"));
        QVERIFY(settings.contains("ScreenWidth=768\r\nScreenHeight=555\r\n"));
        QVERIFY(settings.contains("[Images]"));
        QVERIFY(QFile::exists(run.dir.file("layouts_searchresults.ini")));
    }
};

QTEST_MAIN(StuckEmulatorTest)
#include "tst_stuckemulator.moc"
