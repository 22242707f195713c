#include "app/Application.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QStandardPaths>
#include <QTest>

// What the running program tells the desktop about itself must match what the install puts
// there: its icon, the name of its desktop entry, and the data folder an installed copy uses.
class AppIdentityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { prepareApplication(*qobject_cast<QApplication*>(QCoreApplication::instance())); }

    // The icon is read from the compiled-in resources before the main window registers them.
    void windowIconIsTheLargestApplicationIcon() {
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(256, 256)});
        const QImage installed(QStringLiteral(KESTRUM_PACKAGING_DIR "/icons/256x256.png"));
        const QImage shown = icon.pixmap(QSize(256, 256)).toImage();
        const QPoint wing(90, 110);  // opaque, where premultiplied alpha changes nothing
        QCOMPARE(shown.pixel(wing), installed.pixel(wing));
    }

    // Wayland and the docks find the menu entry by this name: it must be the installed file's.
    void desktopFileNameIsTheInstalledEntry() {
        const QString name = QGuiApplication::desktopFileName();
        QVERIFY2(QFile::exists(QStringLiteral(KESTRUM_PACKAGING_DIR "/") + name + QStringLiteral(".desktop")),
                 qPrintable(name));
    }

    // An installed program keeps its data in ~/.local/share/kestrum: the lower-case name alone,
    // with no organisation folder above it.
    void installedDataGoesToTheLowerCaseFolder() {
        const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", "/home/someone/.local/share");
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        wasSet ? qputenv("XDG_DATA_HOME", saved) : qunsetenv("XDG_DATA_HOME");
        QCOMPARE(data, QStringLiteral("/home/someone/.local/share/kestrum"));
    }
};

QTEST_MAIN(AppIdentityTest)
#include "tst_appidentity.moc"
