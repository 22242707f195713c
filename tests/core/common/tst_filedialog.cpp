#include "FakeDialogPort.h"
#include "TempProgramFolder.h"
#include "TestMain.h"
#include "common/FileDialog.h"

#include <QDir>
#include <QTest>

class FileDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void executablePickerShowsFilesWithoutExtension() {
        const FileKindInfo info = fileKindFilter(FileKind::Executable);
        QCOMPARE(info.filter, QStringLiteral("Executable files (*)|*"));
        QCOMPARE(info.defaultExtension, QString());
        QCOMPARE(fileKindFilter(FileKind::Ini).filter, QStringLiteral("Initialization files (*.ini)|*.ini"));
        QCOMPARE(fileKindFilter(FileKind::GamesList).filter, QStringLiteral("Games List Files (.txt)|*.txt"));
    }

    void pickFileConfirmedAndCancelled() {
        TempProgramFolder program;
        TempProgramFolder elsewhere;
        FakeDialogPort port;
        QString box = QStringLiteral("/usr/games/mame");

        QDir::setCurrent(elsewhere.path());
        port.fileAnswers.enqueue(QString());  // cancelled
        QCOMPARE(PickFile(port, FileKind::Executable, "Select an Emulator Executable", "/usr/games",
                          FileDialogMode::Open, program.path(), &box),
                 QString());
        QCOMPARE(box, QStringLiteral("/usr/games/mame"));
        QCOMPARE(QDir::currentPath() + u'/', program.path());
        QCOMPARE(port.dialogFolders.last(), QStringLiteral("/usr/games/"));
        QCOMPARE(port.dialogTitles.last(), QStringLiteral("Select an Emulator Executable"));

        QDir::setCurrent(elsewhere.path());
        port.fileAnswers.enqueue(QStringLiteral("/opt/mame/mame"));
        QCOMPARE(
            PickFile(port, FileKind::Executable, "t", QString(), FileDialogMode::Open, program.path(), &box),
            QStringLiteral("/opt/mame/mame"));
        QCOMPARE(box, QStringLiteral("/opt/mame/mame"));
        QCOMPARE(QDir::currentPath() + u'/', program.path());
        QCOMPARE(port.dialogFolders.last(), QString());
    }
};

KESTRUM_REGISTER_TEST(FileDialogTest)
KESTRUM_TEST_MAIN
#include "tst_filedialog.moc"
