// A close request of the real main window during a job, which asks first in front of the log window.
#include "GuiSupport.h"
#include "app/TFormMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

namespace {

const QStringList kGames{"pacman", "galaga", "digdug"};

// The window on the Finish page with three games' ROM sets to rename.
struct JobWindow {
    ProgramFolderWithIcons dir;
    QString roms = dir.makeFolder(QStringLiteral("mame/roms"));
    MessageBoxWatcher boxes;
    TFormMain window{portableFolders(dir.path())};

    bool toFinishPage() {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            return false;
        }
        AppState& state = window.state();
        state.emulator.folders.RomFolders = {roms};
        state.setup.operation = RenameFiles;
        state.setup.fileTypeChecked.fill(false);
        state.setup.fileTypeChecked[GameROMs] = true;
        for (const QString& name : kGames) {
            dir.write("mame/roms/" + name + ".zip", name.toUtf8());
            TGameInfo game;
            game.Name = name;
            state.gamesPage.WorkList.append(game);
        }
        state.wizard.page = WizardPage::Games;
        state.texts.backEnabled = true;
        window.ButtonNextClick(+1);
        return window.findChild<QStackedWidget*>("NotebookPages")->currentIndex() == 6;
    }
    QWidget* log() const { return window.findChild<QWidget*>("FormLog"); }
    int setsRenamed() const {
        int renamed = 0;
        for (const QString& name : kGames) {
            renamed += QFile::exists(roms + name + ".zip.krm") ? 1 : 0;
        }
        return renamed;
    }
};

const QString kClosing = QStringLiteral("\nYou may also close the log window when ready...");

}  // namespace

class JobStopTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A close request during the job asks, in front of the log window. No lets the job finish and
    // keeps the window; Yes stops the job and closes the window with its settings saved.
    void closeDuringTheJobAsksFirst_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }

    void closeDuringTheJobAsksFirst() {
        QFETCH(bool, yes);
        JobWindow run;
        QVERIFY(run.toFinishPage());
        run.boxes.answers.enqueue(yes);
        QTimer::singleShot(0, this, [&] { run.window.close(); });
        QTest::mouseClick(buttonNamed(&run.window, "ButtonNext"), Qt::LeftButton);
        QTRY_COMPARE(run.boxes.seen.size(), 2);
        const MessageBoxWatcher::Seen& question = run.boxes.seen[0];
        QCOMPARE(question.caption, QStringLiteral("Kestrum"));
        QCOMPARE(question.text, QStringLiteral("A job is running. Stop it and close Kestrum?"));
        QCOMPARE(question.parent, run.log());
        QVERIFY(question.staysOnTop);
        if (!yes) {
            QCOMPARE(run.boxes.seen[1].text, "All changes completed!" + kClosing);
            QCOMPARE(run.setsRenamed(), 3);
            QCoreApplication::processEvents();  // a close wrongly deferred would happen now
            QVERIFY(run.window.isVisible());
            QVERIFY(!QFile::exists(run.dir.file("Kestrum.ini")));
            return;
        }
        QCOMPARE(run.boxes.seen[1].text, "The job was stopped. Total files processed: 0" + kClosing);
        QTRY_VERIFY(!run.window.isVisible());
        QCOMPARE(run.setsRenamed(), 0);
        QVERIFY(run.dir.read("Kestrum.ini").contains("[Images]"));
    }
};

QTEST_MAIN(JobStopTest)
#include "tst_jobstop.moc"
