#include "EmulatorIni.h"

#include "CommandRunner.h"
#include "EmulatorIniDetail.h"
#include "EmulatorState.h"
#include "catalog/SetupChoices.h"
#include "common/CodePage.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <QDir>
#include <QFileInfo>

using namespace emulatorini_detail;

namespace {

bool isNameStart(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}
bool isNameChar(QChar c) {
    return isNameStart(c) || (c >= u'0' && c <= u'9');
}

QString executableIniName(const QString& emulator) {
    const QString name = QFileInfo(emulator).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".ini");
}

// The packaged emulator's own ini folder, the first of the default ones.
QString homeIniFolder() {
    return withTrailingSeparator(expandEnvironment(QStringLiteral("$HOME/.mame")));
}

QString homeFolder() {
    return withTrailingSeparator(expandEnvironment(QStringLiteral("$HOME")));
}

FoundIni findEmulatorIni(const EmulatorState& emulator, const SetupChoices& setup) {
    const QString own = executableIniName(setup.mameExecutableFile);
    return findIni(
        emulator, setup,
        {QStringLiteral("mame.ini"), QStringLiteral("ini/mame.ini"), own, QStringLiteral("ini/") + own,
         QStringLiteral("mameui.ini"), QStringLiteral("ini/mameui.ini"), QStringLiteral("hbmame.ini"),
         QStringLiteral("ume.ini")},
        {QStringLiteral("mame.ini"), own, QStringLiteral("mameui.ini"), QStringLiteral("hbmame.ini"),
         QStringLiteral("ume.ini")});
}

// The ini folder of an inipath value. A packaged emulator's list of folders gives its first entry
// that is an existing folder; otherwise a list gives "ini".
QString iniFolderValue(const QString& value, const QString& base, bool packaged) {
    if (value.isEmpty()) {
        return QStringLiteral("ini");
    }
    if (!value.contains(u';')) {
        return value;
    }
    if (packaged) {
        for (const QString& entry : value.split(u';', Qt::SkipEmptyParts)) {
            if (QFileInfo(ResolveEmulatorPath(entry, base)).isDir()) {
                return entry;
            }
        }
    }
    return QStringLiteral("ini");
}

}  // namespace

namespace emulatorini_detail {

QList<IniLine> readIniLines(const QString& path) {
    return parseIniLines(readWholeFile(path).value_or(QByteArray()));
}

QList<IniLine> parseIniLines(QByteArrayView bytes) {
    QList<IniLine> lines;
    for (const QByteArrayView line : splitLines(bytes)) {
        QByteArray key = FirstWord(line);
        if (!key.isEmpty()) {
            lines.append({std::move(key), decodeUtf8OrCp1252(ValueAfterFirstBlank(line))});
        }
    }
    return lines;
}

QString unquoted(const QString& value) {
    return value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"')
               ? value.mid(1, value.size() - 2)
               : value;
}

FoundIni findIni(const EmulatorState& emulator, const SetupChoices& setup, const QStringList& ownFolderNames,
                 const QStringList& defaultFolderNames) {
    const QString folder = emulatorFolderOf(setup);
    for (const QString& name : ownFolderNames) {
        const QString found = findFileIgnoringCase(folder, name);
        if (!found.isEmpty()) {
            return {found, false};
        }
    }
    for (const QString& defaults : emulator.iniFallbackFolders) {
        for (const QString& name : defaultFolderNames) {
            const QString found = findFileIgnoringCase(defaults, name);
            if (!found.isEmpty()) {
                return {found, true};
            }
        }
    }
    return {};
}

}  // namespace emulatorini_detail

QString expandEnvironment(const QString& value) {
    QString text = value;
    if (text == u'~' || text.startsWith(QStringLiteral("~/"))) {
        text = QStringLiteral("$HOME") + text.mid(1);
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'$' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        qsizetype begin = i + 1;
        qsizetype end = begin;
        const bool braced = text[begin] == u'{';
        if (braced) {
            ++begin;
            end = begin;
        }
        if (end < text.size() && isNameStart(text[end])) {
            ++end;
            while (end < text.size() && isNameChar(text[end])) {
                ++end;
            }
        }
        if (end == begin || (braced && (end >= text.size() || text[end] != u'}'))) {
            out += text[i];  // a "$" not followed by a name stays
            continue;
        }
        out += qEnvironmentVariable(text.mid(begin, end - begin).toLatin1().constData());
        i = braced ? end : end - 1;
    }
    return out;
}

QString ResolveEmulatorPath(const QString& value, const QString& emulatorFolder) {
    if (value.isEmpty()) {
        return {};
    }
    const QString expanded = expandEnvironment(value);
    if (expanded.isEmpty()) {
        return {};  // "$UNSET": no folder, not the emulator's own
    }
    const QString path = expanded.startsWith(u'/') ? expanded : emulatorFolder + expanded;
    return path.endsWith(u'/') ? path : path + u'/';
}

QStringList defaultEmulatorIniFolders() {
    return {homeIniFolder(), QStringLiteral("/etc/mame/")};
}

QString findFileIgnoringCase(const QString& folder, const QString& relative) {
    const QString exact = folder + relative;
    if (FileExistsNotFolder(exact)) {
        return exact;
    }
    // Walk the path's parts, each matched without regard to letter case.
    QString current = folder;
    const QStringList parts = relative.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool last = i + 1 == parts.size();
        const QStringList entries = QDir(current).entryList(
            (last ? QDir::Files : QDir::Dirs) | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        QString match;
        for (const QString& entry : entries) {
            if (equalsIgnoringAsciiCase(entry, parts[i])) {
                match = entry;
                break;
            }
        }
        if (match.isEmpty()) {
            return {};
        }
        current = withTrailingSeparator(current) + match;
    }
    return FileExistsNotFolder(current) ? current : QString();
}

QString emulatorFolderOf(const SetupChoices& setup) {
    return folderOfPath(setup.mameExecutableFile);
}

QString folderValuesBase(const EmulatorState& emulator, const SetupChoices& setup) {
    return emulator.valuesBase.isEmpty() ? emulatorFolderOf(setup) : emulator.valuesBase;
}

QString FindEmulatorIni(const EmulatorState& emulator, const SetupChoices& setup) {
    return findEmulatorIni(emulator, setup).path;
}

void ReadEmulatorIni(EmulatorState& emulator, SetupChoices& setup, DialogPort& port, RunControl& control) {
    FoundIni ini;
    while (true) {
        if (!FileExistsNotFolder(setup.mameExecutableFile)) {
            return;
        }
        ini = findEmulatorIni(emulator, setup);
        if (!ini.path.isEmpty()) {
            break;
        }
        if (!port.askYesNo(
                QStringLiteral("Error"),
                QStringLiteral("   MAME initialization file is not found, cannot load emulator "
                               "settings!\r\nRemember that you need to configure MAME before using "
                               "Kestrum...\r\n\r\nWould you like to create it now ?"),
                MessageIcon::Exclamation)) {
            return;
        }
        if (!CreateEmulatorConfig(setup, port, control)) {
            return;
        }
    }
    // A packaged emulator is started from the user's home: its relative folders are there.
    const QString home = homeFolder();
    emulator.valuesBase = ini.inDefaultFolder && home != QStringLiteral("/") ? home : QString();
    const QString base = folderValuesBase(emulator, setup);

    EmulatorFolders& folders = emulator.folders;
    const auto orDefault = [](const QString& value, const char* fallback) {
        return value.isEmpty() ? QString::fromLatin1(fallback) : value;
    };
    std::optional<QString> rompath;
    std::optional<QString> cfg;
    std::optional<QString> iniFolder;
    std::optional<QString> nvram;
    std::optional<QString> snapshots;
    for (const IniLine& line : readIniLines(ini.path)) {
        const QString value = unquoted(line.value);
        if (line.key == "rompath" || line.key == "rp") {
            rompath = orDefault(value, "roms");
        } else if (line.key == "inipath") {
            iniFolder = iniFolderValue(value, base, ini.inDefaultFolder);
        } else if (line.key == "cfg_directory") {
            cfg = orDefault(value, "cfg");
        } else if (line.key == "nvram_directory") {
            nvram = orDefault(value, "nvram");
        } else if (line.key == "snapshot_directory") {
            snapshots = orDefault(value, "snap");
        }
    }
    if (!rompath) {
        port.showMessage(
            QStringLiteral("Error"),
            QStringLiteral("ROMs path could not be read from \"") + ini.path + QStringLiteral("\"."),
            MessageIcon::Error);
    } else {
        SplitRomPath(emulator, setup, *rompath);
    }
    // A folder keeps what it had unless its line was found again.
    if (cfg) {
        folders.CfgFolder = ResolveEmulatorPath(*cfg, base);
    }
    if (iniFolder) {
        folders.IniFolder = ResolveEmulatorPath(*iniFolder, base);
    }
    if (nvram) {
        folders.NvramFolder = ResolveEmulatorPath(*nvram, base);
    }
    if (snapshots) {
        const int row = ImageSnap - kFirstImageType;
        folders.ImageFolders[row] = ResolveEmulatorPath(*snapshots, base);
        setup.imageFolderBoxes[row] = folders.ImageFolders[row];
    }
}

void SplitRomPath(EmulatorState& emulator, const SetupChoices& setup, const QString& rompath) {
    const QString base = folderValuesBase(emulator, setup);
    QStringList& folders = emulator.folders.RomFolders;
    folders.clear();
    // An empty entry ("/a;;/b") names no folder: nothing is ever looked for as a bare name.
    for (QString entry : rompath.split(u';', Qt::SkipEmptyParts)) {
        entry.remove(u'"');
        const QString folder = ResolveEmulatorPath(entry, base);
        if (!folder.isEmpty()) {
            folders.append(folder);
        }
    }
}

bool CreateEmulatorConfig(const SetupChoices& setup, DialogPort& port, RunControl& control) {
    // Where the emulator's own folder may not be written (a packaged emulator), the new file goes
    // into the first default ini folder, where the search then finds it.
    QString folder = emulatorFolderOf(setup);
    if (!isFolderWritable(folder)) {
        folder = homeIniFolder();
        QDir().mkpath(folder);
    }
    const RunOutcome run = RunProcess(port, control, setup.mameExecutableFile,
                                      {QStringLiteral("-createconfig")}, folder, setup.ProgramFolder);
    return !run.stopped();
}
