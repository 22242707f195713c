#include "FakeDialogPort.h"
#include "GuiSupport.h"
#include "common/IconFile.h"
#include "common/RunControl.h"
#include "progress/TFormListXML.h"
#include "progress/TFormLog.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

class ProgressWindowsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void logLinesAndClose() {
        QWidget main;
        main.resize(768, 555);
        main.show();
        FakeDialogPort port;
        TFormLog log(&main, port, [] { return QDir::tempPath(); });
        QCOMPARE(log.size(), QSize(584, 370));
        QCOMPARE(log.windowTitle(), QStringLiteral("Log"));
        log.setTitle("Rename Files");
        QCOMPARE(log.findChild<QLabel*>("LabelActionTitle")->text(), QStringLiteral("Rename Files"));
        QCOMPARE(log.addLine("Processing 3 games"), 0);
        QCOMPARE(log.addLine("pacman: searching"), 1);
        QCOMPARE(log.addLine("last"), 2);
        log.replaceLine(1, "pacman: 2 files renamed");
        QCOMPARE(log.lineCount(), 3);
        auto* text = log.findChild<QPlainTextEdit*>("LogText");
        QCOMPARE(text->toPlainText(), QStringLiteral("Processing 3 games\npacman: 2 files renamed\nlast"));
        log.UpdateJobProgress(2, 3);
        QCOMPARE(log.findChild<QProgressBar*>("ProgressBar")->value(), 66);
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        saveScreenshot(&log, "window-log");

        QTest::mouseClick(buttonNamed(&log, "ButtonClose"), Qt::LeftButton);
        QTRY_VERIFY(!log.isVisible());
        QCOMPARE(log.lineCount(), 0);
        QCOMPARE(log.progress(), 0);
        QVERIFY(text->toPlainText().isEmpty());
        log.replaceLine(1, "after the window was closed");  // harmless
        QCOMPARE(log.lineCount(), 0);
        QCOMPARE(log.addLine("Processing 1 games"), 0);
        QCOMPARE(text->toPlainText(), QStringLiteral("Processing 1 games"));
    }

    // Each index names its own line whatever the lines hold: empty lines first, a line break
    // inside a line. An index that does not exist changes nothing.
    void logLineIndexesStayTrue() {
        FakeDialogPort port;
        TFormLog log(nullptr, port, [] { return QDir::tempPath(); });
        auto* text = log.findChild<QPlainTextEdit*>("LogText");
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(log.addLine(QString()), i);
        }
        QCOMPARE(log.addLine("two\r\nrows"), 3);
        QCOMPARE(log.addLine("after"), 4);
        QCOMPARE(log.lineCount(), 5);
        QCOMPARE(text->document()->blockCount(), 5);
        log.replaceLine(1, "second");
        log.replaceLine(4, "last");
        log.replaceLine(5, "beyond");
        log.replaceLine(-1, "before");
        QStringList blocks;
        for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
            blocks.append(block.text());
        }
        const QString separator(QChar::LineSeparator);
        QCOMPARE(blocks, (QStringList{"", "second", "", "two" + separator + "rows", "last"}));
    }

    // While a job runs the log shows Stop beside its bar and cannot be closed; Stop asks the job to
    // stop once. "Save Log..." writes the lines as shown, "Open Records Folder" opens history/ of
    // the program's folder. The buttons lie apart, inside the window.
    void logWindowButtons() {
        TempProgramFolder dir;
        FakeDialogPort port;
        TFormLog log(nullptr, port, [&dir] { return dir.path(); });
        log.setTitle("Rename Files");
        log.addLine("Processing 3 games...");
        log.addLine("two\r\nrows");
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        QAbstractButton* stop = buttonNamed(&log, "ButtonStop");
        QAbstractButton* close = buttonNamed(&log, "ButtonClose");
        QVERIFY(!stop->isVisible());
        QVERIFY(close->isEnabled());

        log.jobRun().runStarted();
        QVERIFY(stop->isVisible() && stop->isEnabled());
        QVERIFY(!close->isEnabled());
        QList<QWidget*> parts{log.findChild<QProgressBar*>("ProgressBar"),
                              stop,
                              close,
                              buttonNamed(&log, "ButtonSaveLog"),
                              buttonNamed(&log, "ButtonOpenRecords"),
                              log.findChild<QPlainTextEdit*>("LogText")};
        for (QWidget* part : parts) {
            const QRect at(part->mapTo(&log, QPoint(0, 0)), part->size());
            QVERIFY2(log.rect().contains(at), qPrintable(part->objectName()));
            for (QWidget* other : parts) {
                const QRect there(other->mapTo(&log, QPoint(0, 0)), other->size());
                QVERIFY2(part == other || !at.intersects(there),
                         qPrintable(part->objectName() + " over " + other->objectName()));
            }
        }
        saveScreenshot(&log, "window-log-job-running");
        static_cast<QWidget&>(log).close();  // as the desktop would
        QVERIFY(log.isVisible());
        QCOMPARE(log.lineCount(), 2);
        QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(log.jobRun().stopRequested());
        QVERIFY(!stop->isEnabled());
        log.jobRun().runEnded();
        QVERIFY(!stop->isVisible());
        QVERIFY(close->isEnabled());

        const QString saved = dir.file("log.txt");
        port.fileAnswers.enqueue(saved);
        QTest::mouseClick(buttonNamed(&log, "ButtonSaveLog"), Qt::LeftButton);
        QCOMPARE(dir.read("log.txt"), QByteArray("Processing 3 games...\r\ntwo\r\nrows\r\n"));
        QCOMPARE(port.texts(), QStringList{"The log was saved to \"" + saved + "\"."});
        QTest::mouseClick(buttonNamed(&log, "ButtonOpenRecords"), Qt::LeftButton);
        QCOMPARE(port.openedDocuments, QStringList{dir.file("history/")});
    }

    // Every icon at every size the program loads it at, on a light and a dark background.
    // The user guide as a browser shows it: a page that names every operation and the program's files.
    void userGuide() {
        QFile file(QStringLiteral(KESTRUM_SOURCE_DIR "/../resources/kestrum_docs.htm"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextBrowser browser;
        browser.setHtml(QString::fromUtf8(file.readAll()));
        browser.resize(900, 1400);
        QCOMPARE(browser.documentTitle(), QStringLiteral("Kestrum user guide"));
        const QString text = browser.toPlainText();
        for (const char* expected :
             {"Delete Files", "Rename Files", "Restore Files", "Delete Renamed Files", "Move Files",
              "Kestrum.ini", "listfull.txt", "CHD", "apt install mame", "Records of the jobs", "history/"}) {
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
        }
        saveScreenshot(&browser, QStringLiteral("user-guide"));
    }

    void iconSheet() {
        const QDir icons(QStringLiteral(KESTRUM_ICONS_DIR));
        const QStringList files = icons.entryList({QStringLiteral("*.ico")}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 27);
        const QList<int> sizes = {16, 24, 32, 48};
        QImage sheet(2 * (sizes.size() * 56 + 10), int(files.size()) * 52 + 10, QImage::Format_ARGB32);
        sheet.fill(QColor(245, 245, 240));
        QPainter painter(&sheet);
        painter.fillRect(QRect(sheet.width() / 2, 0, sheet.width() / 2, sheet.height()), QColor(40, 42, 48));
        for (qsizetype row = 0; row < files.size(); ++row) {
            QFile file(icons.filePath(files[row]));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            for (qsizetype column = 0; column < sizes.size(); ++column) {
                const int index = pickIconImage(bytes, sizes[column], sizes[column]);
                if (index < 0) {
                    continue;  // the 16-pixel-only icons
                }
                QImageReader reader(icons.filePath(files[row]), "ico");
                QVERIFY(reader.jumpToImage(index));
                const QImage image = reader.read();
                QCOMPARE(image.size(), QSize(sizes[column], sizes[column]));
                for (const int half : {0, sheet.width() / 2}) {
                    painter.drawImage(half + 5 + int(column) * 56, 5 + int(row) * 52, image);
                }
            }
        }
        painter.end();
        QLabel label;
        label.setPixmap(QPixmap::fromImage(sheet));
        label.resize(sheet.size());
        saveScreenshot(&label, "icons-sheet");
    }

    void waitWindowCounter() {
        QWidget main;
        main.resize(768, 555);
        main.show();
        RunControl runs;
        TFormListXML wait(&main, runs);
        QCOMPARE(wait.size(), QSize(434, 72));
        QVERIFY(wait.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(wait.windowFlags() & Qt::WindowStaysOnTopHint);
        auto* timer = wait.findChild<QLabel*>("LabelTimer");
        QCOMPARE(timer->text(), QStringLiteral("00:00"));
        wait.setMessage("Creating Games List\r\nMAME v0.251 (Dec 30 2022)");
        QCOMPARE(wait.findChild<QLabel*>("LabelMessage")->text(),
                 QStringLiteral("Creating Games List\nMAME v0.251 (Dec 30 2022)"));
        wait.show();
        QVERIFY(wait.counter().running());
        for (int i = 0; i < 65; ++i) {
            wait.counter().tick();
        }
        QCOMPARE(timer->text(), QStringLiteral("01:05"));
        wait.show();  // shown twice: one timer, the count goes on
        QCOMPARE(timer->text(), QStringLiteral("01:05"));
        wait.advance(1, 3);
        QCOMPARE(wait.progress(), 33);
        QVERIFY(QTest::qWaitForWindowExposed(&wait));
        saveScreenshot(&wait, "window-wait");

        // While the emulator runs, Stop asks it to stop.
        auto* stop = wait.findChild<QPushButton*>("ButtonStop");
        QVERIFY(!stop->isVisible());
        runs.runStarted();
        QVERIFY(stop->isVisible());
        saveScreenshot(&wait, "window-wait-emulator-running");
        QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(runs.stopRequested());
        runs.runEnded();
        QVERIFY(!stop->isVisible());
        wait.close();
        QVERIFY(!wait.isVisible());
        QVERIFY(!wait.counter().running());
        QCOMPARE(timer->text(), QStringLiteral("00:00"));
        QCOMPARE(wait.progress(), 0);
    }
};

QTEST_MAIN(ProgressWindowsTest)
#include "tst_tour_windows.moc"
