#include "EmulatorVersion.h"

#include "CommandRunner.h"
#include "common/CodePage.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "common/VersionResource.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {
constexpr const char* kEnglishMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
}

QString versionFromHelpLine(const QString& line) {
    // a: the position of " v" (1-based), b: the first "." from a + 1; the version is the
    // b - a + 2 characters from position a + 2, trimmed of blanks.
    const int a = FindText(QStringLiteral(" v"), line);
    const qsizetype from = line.indexOf(u'.', a);  // 0-based search from 1-based position a + 1
    const int b = from < 0 ? 0 : static_cast<int>(from + 1);
    const int length = b - a + 2;
    if (length <= 0) {
        return {};
    }
    return line.mid(a + 1, length).trimmed();
}

QString DetectEmulatorVersion(DialogPort& port, RunControl& control, const QString& emulator,
                              const QString& programFolder) {
    if (!FileExistsNotFolder(emulator)) {
        return {};
    }
    const QString fromResource = FileVersionText(emulator, true);
    if (!fromResource.isEmpty()) {
        return fromResource;
    }
    const QString output = programFolder + QStringLiteral("iMAMEVersion.tmp");
    deleteFile(output);  // an old answer never stands in for this run's
    RunThroughShell(port, control, redirectedCommand(emulator, QStringLiteral("-help"), output),
                    folderOfPath(emulator), programFolder);
    if (!IsUsableFile(output)) {
        return {};
    }
    const QByteArray bytes = readWholeFile(output).value_or(QByteArray());
    const QList<QByteArrayView> lines = splitLines(bytes);
    const QString version =
        lines.isEmpty() ? QString() : versionFromHelpLine(decodeUtf8OrCp1252(lines.first()));
    deleteFile(output);
    port.processPendingEvents();
    return version;
}

QString EmulatorDisplayName(const QString& emulator) {
    const QString path = AsciiLowerCase(emulator);
    if (path.contains(QStringLiteral("mamep"))) {
        return QStringLiteral("MAME Plus!");
    }
    if (path.contains(QStringLiteral("ume"))) {
        return QStringLiteral("UME: Universal Machine Emulator");
    }
    if (path.contains(QStringLiteral("hbmame"))) {
        return QStringLiteral("HBMAME: HomeBrew MAME");
    }
    return QStringLiteral("MAME");
}

QString emulatorDateText(const QDateTime& modified) {
    const QDate date = modified.date();
    QString month = QLocale::system().monthName(date.month(), QLocale::ShortFormat);
    if (month.isEmpty()) {
        month = QString::fromLatin1(kEnglishMonths[date.month() - 1]);
    }
    return QStringLiteral("(%1 %2 %3)")
        .arg(month)
        .arg(date.day(), 2, 10, QChar(u'0'))
        .arg(date.year(), 4, 10, QChar(u'0'));
}

EmulatorIdentity DescribeEmulator(DialogPort& port, RunControl& control, const QString& emulator,
                                  const QString& programFolder) {
    QDir::setCurrent(programFolder);
    const QString date = emulatorDateText(QFileInfo(emulator).lastModified());
    EmulatorIdentity identity;
    identity.version = DetectEmulatorVersion(port, control, emulator, programFolder);
    identity.description =
        EmulatorDisplayName(emulator) + QStringLiteral(" v") + identity.version + u' ' + date;
    return identity;
}

int EmulatorVersionNumber(const QString& version) {
    if (version.isEmpty()) {
        return -1;
    }
    // The leading digits after the first two characters: "0.37b16" is 37, "0.251" is 251.
    const QString rest = version.mid(2);
    qsizetype digits = 0;
    while (digits < rest.size() && rest[digits] >= u'0' && rest[digits] <= u'9') {
        ++digits;
    }
    return digits > 0 && digits <= 9 ? rest.left(digits).toInt() : -1;
}

ListCommand ListCommandChoice(int versionNumber) {
    return versionNumber == -1 || versionNumber >= 70 ? ListCommand::ListXml
                                                      : ListCommand::ListInfoAndDetails;
}
