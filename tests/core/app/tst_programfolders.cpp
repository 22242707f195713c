#include "TempProgramFolder.h"
#include "TestMain.h"
#include "app/ProgramFolders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

namespace {

// The application name and XDG_DATA_HOME the program starts with, put back when a test ends.
struct UserDataHome {
    explicit UserDataHome(const QString& folder)
        : m_name(QCoreApplication::applicationName()), m_home(qgetenv("XDG_DATA_HOME")) {
        QCoreApplication::setApplicationName(QStringLiteral("kestrum"));
        qputenv("XDG_DATA_HOME", folder.toUtf8());
    }
    ~UserDataHome() {
        QCoreApplication::setApplicationName(m_name);
        qputenv("XDG_DATA_HOME", m_home);
    }
    QString m_name;
    QByteArray m_home;
};

}  // namespace

class ProgramFoldersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A build folder, a sandbox or any copy with its icons beside it keeps everything there, even
    // when it happens to lie in a bin/ folder beside an installed share/kestrum/.
    void portableCopiesKeepEverythingBesideTheExecutable() {
        TempProgramFolder prefix;
        TempProgramFolder home;
        UserDataHome user(home.path());
        prefix.makeFolder(QStringLiteral("bin/icons"));
        prefix.makeFolder(QStringLiteral("share/kestrum/icons"));
        const ProgramFolders folders = locateProgramFolders(prefix.file(QStringLiteral("bin")));
        QCOMPARE(folders.resources, prefix.file(QStringLiteral("bin/")));
        QCOMPARE(folders.data, prefix.file(QStringLiteral("bin/")));

        // A copy that lost its icons and has no installed resources stays portable too.
        TempProgramFolder bare;
        QCOMPARE(locateProgramFolders(bare.path()).data, bare.path());
        QCOMPARE(locateProgramFolders(bare.path()).resources, bare.path());
        QVERIFY(!QFileInfo::exists(home.file(QStringLiteral("kestrum"))));
    }

    // An installed program reads its resources under its prefix and writes into the user's data
    // folder, which it makes.
    void installedProgramsWriteIntoTheUsersDataFolder() {
        TempProgramFolder prefix;
        TempProgramFolder home;
        UserDataHome user(home.path());
        prefix.makeFolder(QStringLiteral("bin"));
        prefix.makeFolder(QStringLiteral("share/kestrum/icons"));
        const ProgramFolders folders = locateProgramFolders(prefix.file(QStringLiteral("bin")));
        QCOMPARE(folders.resources, prefix.file(QStringLiteral("share/kestrum/")));
        QCOMPARE(folders.data, home.file(QStringLiteral("kestrum/")));
        QVERIFY(QFileInfo(folders.data).isDir());
    }
};

KESTRUM_REGISTER_TEST(ProgramFoldersTest)
#include "tst_programfolders.moc"
