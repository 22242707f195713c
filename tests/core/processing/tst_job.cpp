// The whole job as FINISH runs it: its refusals, its log and its closing message.
#include "JobFixture.h"
#include "TestMain.h"

#include <QDir>
#include <QTest>

namespace {

using Job = JobFixture;

}  // namespace

class JobTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two games, ROMs and Game Snapshot checked, both sets and both snapshots there.
    void logOfARename() {
        Job job({"pacman", "galaga"});
        job.check({GameROMs, ImageSnap});
        for (const char* file :
             {"roms/pacman.zip", "roms/galaga.zip", "snap/pacman.png", "snap/galaga.png"}) {
            job.dir.write(QLatin1String(file), "x");
        }
        job.page.gamesTab = 0;
        const JobCounters counters = job.run(RenameFiles);
        QCOMPARE(job.log.title, QStringLiteral("Rename Files"));
        QCOMPARE(job.log.lines, (QStringList{"Processing 2 games...", "Mar/05/2017 14:03:59", "",
                                             "Game Files / ROMs [.zip; .7z]: 2 files found and processed.",
                                             "Game Snapshot [.png]: 2 files found and processed.", "",
                                             "All changes completed!", "Total files processed: 4"}));
        QVERIFY(job.log.visible);
        QCOMPARE(job.log.value, 100);
        QCOMPARE(counters.Total, 4);
        QCOMPARE(job.page.gamesTab, 1);  // the Work List is what the job works through
        QCOMPARE(job.port.messages.size(), 1);
        QCOMPARE(job.port.messages.last().caption, QStringLiteral("Rename Files"));
        QCOMPARE(job.port.messages.last().text,
                 QStringLiteral("All changes completed!\r\nYou may also close the log window when ready..."));
        QVERIFY(QFile::exists(job.dir.file("snap/galaga.png.krm")));

        // Again, without closing the log: nothing is left to rename, and the account follows the first.
        job.run(RenameFiles);
        QCOMPARE(job.log.lines.size(), 8 + 1 + 7);
        QCOMPARE(job.log.lines.mid(8), (QStringList{"", "Processing 2 games...", "Mar/05/2017 14:03:59", "",
                                                    "Game Files / ROMs [.zip; .7z]: No files where found.",
                                                    "Game Snapshot [.png]: No files where found.", "",
                                                    "Job finished. No files were changed!"}));
        QCOMPARE(job.port.messages.last().text,
                 QStringLiteral(
                     "Job done. No files were changed!\r\nYou may also close the log window when ready..."));
    }

    void refusalsTouchNeitherLogNorFiles() {
        Job empty({});
        empty.check({GameROMs});
        empty.run(DeleteFiles);
        QCOMPARE(empty.port.messages.size(), 1);
        QCOMPARE(empty.port.messages[0].caption, QStringLiteral("No Games Selected"));
        QCOMPARE(
            empty.port.messages[0].text,
            QStringLiteral(
                "  There are no games in the work list.\r\nMake sure there is at least one to continue..."));
        QVERIFY(empty.log.lines.isEmpty() && !empty.log.visible);

        Job cfgOnly({"pacman"});
        cfgOnly.check({GameCfg, GameNVRAM});
        cfgOnly.dir.write("cfg/pacman.cfg", "c");
        cfgOnly.run(RestoreFiles);
        QCOMPARE(cfgOnly.port.messages.size(), 1);
        QCOMPARE(cfgOnly.port.messages[0].caption, QStringLiteral("Restore Files "));
        QVERIFY(cfgOnly.port.messages[0].text.startsWith(
            "  Only game ROMs and images files can be renamed/restored"));
        QVERIFY(cfgOnly.log.lines.isEmpty());
        QVERIFY(QFile::exists(cfgOnly.dir.file("cfg/pacman.cfg")));
    }

    // Delete Files: cfg, ini and nvram lines between the ROM line and the images; a locked file
    // counts as found and not as done.
    void deleteLinesInOrder() {
        Job job({"pacman"});
        job.check({GameROMs, GameCfg, GameIni, GameNVRAM, ImageMarquee});
        job.dir.write("cfg/pacman.cfg", "c");
        job.dir.write("nvram/pacman/eeprom", "e");
        const QString locked = job.dir.write("marquees/pacman.jpg", "j");
        QFile::setPermissions(locked, QFileDevice::ReadOwner);
        const JobCounters counters = job.run(DeleteFiles);
        QCOMPARE(job.log.lines.mid(3, 5),
                 (QStringList{"Game Files / ROMs [.zip; .7z]: No files where found.",
                              "Game Configuration File [.cfg]: 1 files found and processed.",
                              "Game Custom Settings File [.ini]: No files where found.",
                              "Game NVRAM Files [NVRAM/EEPROM/SRAM/FLASH]: 1 files found and processed.",
                              "Marquee [.png; .jpg]: 1 files found and processed."}));
        QCOMPARE(counters.Total, 2);
        QCOMPARE(job.log.lines.last(), QStringLiteral("Total files processed: 2"));
        QVERIFY(QFile::exists(locked));
        QVERIFY(!QFileInfo::exists(job.dir.file("nvram/pacman")));
    }

    // Move Files checks the ROM sets itself and moves nothing else.
    void moveChecksRomSets() {
        Job job({"pacman"});
        job.check({ImageSnap});
        job.dir.write("roms/pacman.zip", "p");
        job.dir.write("snap/pacman.png", "s");
        job.setup.moveFilesToFolder = job.dir.file("keep/new");
        job.run(MoveFiles);
        QVERIFY(job.setup.fileTypeChecked[GameROMs]);
        QCOMPARE(job.log.lines.mid(3),
                 (QStringList{"Game Files / ROMs [.zip; .7z]: 1 files found and processed.", "",
                              "All changes completed!", "Total files processed: 1"}));
        QCOMPARE(job.dir.read("keep/new/pacman.zip"), QByteArray("p"));
        QVERIFY(QFile::exists(job.dir.file("snap/pacman.png")));
    }

    void dateLineUsesTheLocaleMonth() {
        QCOMPARE(jobDateLine(QDateTime(QDate(2026, 12, 9), QTime(7, 5, 3)), QLocale(QLocale::German)),
                 QStringLiteral("Dez./09/2026 07:05:03"));
    }
};

KESTRUM_REGISTER_TEST(JobTest)
#include "tst_job.moc"
