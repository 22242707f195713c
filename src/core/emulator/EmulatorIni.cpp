#include "EmulatorIni.h"

#include "CommandRunner.h"
#include "EmulatorState.h"
#include "catalog/SetupChoices.h"
#include "common/CodePage.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/IniDocument.h"
#include "common/Text.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isNameStart(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}
bool isNameChar(QChar c) {
    return isNameStart(c) || (c >= u'0' && c <= u'9');
}

// The ini line's key and value: the key is the text before the first blank, the value what
// follows it, trimmed. A line that is empty, starts with "#" or has no blank has no key.
struct IniLine {
    QByteArray key;
    QString value;
};

QList<IniLine> readIniLines(const QString& path) {
    QList<IniLine> lines;
    const QByteArray bytes = readWholeFile(path).value_or(QByteArray());
    for (const QByteArrayView line : splitLines(bytes)) {
        QByteArray key = FirstWord(line);
        if (!key.isEmpty()) {
            lines.append({std::move(key), decodeUtf8OrCp1252(ValueAfterFirstBlank(line))});
        }
    }
    return lines;
}

QString executableIniName(const QString& emulator) {
    const QString name = QFileInfo(emulator).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    return (dot > 0 ? name.left(dot) : name) + QStringLiteral(".ini");
}

QString findIni(const EmulatorState& emulator, const SetupChoices& setup, const QStringList& ownFolderNames,
                const QStringList& defaultFolderNames) {
    const QString folder = emulatorFolderOf(setup);
    for (const QString& name : ownFolderNames) {
        const QString found = findFileIgnoringCase(folder, name);
        if (!found.isEmpty()) {
            return found;
        }
    }
    for (const QString& defaults : emulator.iniFallbackFolders) {
        for (const QString& name : defaultFolderNames) {
            const QString found = findFileIgnoringCase(defaults, name);
            if (!found.isEmpty()) {
                return found;
            }
        }
    }
    return {};
}

QString defaultFolderName(int row) {
    return QString::fromLatin1(ImageCategoryTable[row].folderName);
}

}  // namespace

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
    const QString path = expanded.startsWith(u'/') ? expanded : emulatorFolder + expanded;
    return path.endsWith(u'/') ? path : path + u'/';
}

QStringList defaultEmulatorIniFolders() {
    return {withTrailingSeparator(expandEnvironment(QStringLiteral("$HOME/.mame"))),
            QStringLiteral("/etc/mame/")};
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

QString FindEmulatorIni(const EmulatorState& emulator, const SetupChoices& setup) {
    const QString own = executableIniName(setup.mameExecutableFile);
    return findIni(
        emulator, setup,
        {QStringLiteral("mame.ini"), QStringLiteral("ini/mame.ini"), own, QStringLiteral("ini/") + own,
         QStringLiteral("mameui.ini"), QStringLiteral("ini/mameui.ini"), QStringLiteral("hbmame.ini"),
         QStringLiteral("ume.ini")},
        {QStringLiteral("mame.ini"), own, QStringLiteral("mameui.ini"), QStringLiteral("hbmame.ini"),
         QStringLiteral("ume.ini")});
}

void ReadEmulatorIni(EmulatorState& emulator, SetupChoices& setup, DialogPort& port, RunControl& control) {
    QString iniPath;
    while (true) {
        if (!FileExistsNotFolder(setup.mameExecutableFile)) {
            return;
        }
        iniPath = FindEmulatorIni(emulator, setup);
        if (!iniPath.isEmpty()) {
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

    EmulatorFolders& folders = emulator.folders;
    const auto orDefault = [](const QString& value, const char* fallback) {
        return value.isEmpty() ? QString::fromLatin1(fallback) : value;
    };
    std::optional<QString> rompath;
    std::optional<QString> cfg;
    std::optional<QString> ini;
    std::optional<QString> nvram;
    std::optional<QString> snapshots;
    for (const IniLine& line : readIniLines(iniPath)) {
        if (line.key == "rompath" || line.key == "rp") {
            rompath = orDefault(line.value, "roms");
        } else if (line.key == "inipath") {
            ini = line.value.isEmpty() || line.value.contains(u';') ? QStringLiteral("ini") : line.value;
        } else if (line.key == "cfg_directory") {
            cfg = orDefault(line.value, "cfg");
        } else if (line.key == "nvram_directory") {
            nvram = orDefault(line.value, "nvram");
        } else if (line.key == "snapshot_directory") {
            snapshots = orDefault(line.value, "snap");
        }
    }
    if (!rompath) {
        port.showMessage(
            QStringLiteral("Error"),
            QStringLiteral("ROMs path could not be read from \"") + iniPath + QStringLiteral("\"."),
            MessageIcon::Error);
    } else {
        SplitRomPath(emulator, setup, *rompath);
    }
    // A folder keeps what it had unless its line was found again.
    const QString emulatorFolder = emulatorFolderOf(setup);
    if (cfg) {
        folders.CfgFolder = ResolveEmulatorPath(*cfg, emulatorFolder);
    }
    if (ini) {
        folders.IniFolder = ResolveEmulatorPath(*ini, emulatorFolder);
    }
    if (nvram) {
        folders.NvramFolder = ResolveEmulatorPath(*nvram, emulatorFolder);
    }
    if (snapshots) {
        const int row = ImageSnap - kFirstImageType;
        folders.ImageFolders[row] = ResolveEmulatorPath(*snapshots, emulatorFolder);
        setup.imageFolderBoxes[row] = folders.ImageFolders[row];
    }
}

void SplitRomPath(EmulatorState& emulator, const SetupChoices& setup, const QString& rompath) {
    const QString emulatorFolder = emulatorFolderOf(setup);
    QStringList& folders = emulator.folders.RomFolders;
    folders.clear();
    QString piece;
    for (const QChar c : rompath) {
        if (c == u';') {
            folders.append(ResolveEmulatorPath(piece, emulatorFolder));
            piece.clear();
        } else if (c != u'"') {
            piece += c;
        }
    }
    if (!rompath.isEmpty() && !rompath.endsWith(u';')) {
        folders.append(ResolveEmulatorPath(piece, emulatorFolder));
    }
}

bool CreateEmulatorConfig(const SetupChoices& setup, DialogPort& port, RunControl& control) {
    const RunOutcome run =
        RunProcess(port, control, setup.mameExecutableFile, {QStringLiteral("-createconfig")},
                   emulatorFolderOf(setup), setup.ProgramFolder);
    return !run.stopped();
}

bool ReadUiIni(EmulatorState& emulator, SetupChoices& setup) {
    const QString path = findIni(emulator, setup, {QStringLiteral("ui.ini"), QStringLiteral("ini/ui.ini")},
                                 {QStringLiteral("ui.ini")});
    if (path.isEmpty()) {
        return false;
    }
    const int snapshots = ImageSnap - kFirstImageType;
    const int cabinets = ImageCabinet - kFirstImageType;
    const int artwork = ImageGameArtwork - kFirstImageType;
    for (const IniLine& line : readIniLines(path)) {
        for (int row = 0; row < kImageCategoryCount; ++row) {
            if (row == snapshots || line.key != ImageCategoryTable[row].uiIniKey) {
                continue;
            }
            QString box = line.value.isEmpty() ? defaultFolderName(row) : line.value;
            if (row == cabinets && box.contains(u';')) {
                box = box.left(box.indexOf(u';'));
            } else if (row == artwork) {
                if (box.compare(QStringLiteral("\"artwork preview;artpreview\""), Qt::CaseInsensitive) == 0) {
                    box = QStringLiteral("artpreview");
                } else if (box.contains(u';')) {
                    box = box.mid(box.indexOf(u';') + 1);
                    if (box.endsWith(u'"')) {
                        box.chop(1);
                    }
                }
            }
            setup.imageFolderBoxes[row] = box;
        }
    }
    ApplyImageFolders(emulator, setup);
    return true;
}

void LoadImageFolders(EmulatorState& emulator, SetupChoices& setup) {
    const QString path = findSettingsFile(setup.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    const IniDocument ini = IniDocument::parse(readWholeFile(path).value_or(QByteArray()));
    for (int row = 0; row < kImageCategoryCount; ++row) {
        const QString value = ini.text("Images", ImageCategoryTable[row].uiIniKey).value_or(QString());
        setup.imageFolderBoxes[row] = value.isEmpty() ? defaultFolderName(row) : value;
    }
    ApplyImageFolders(emulator, setup);
}

void ApplyImageFolders(EmulatorState& emulator, const SetupChoices& setup) {
    const QString emulatorFolder = emulatorFolderOf(setup);
    for (int row = 0; row < kImageCategoryCount; ++row) {
        emulator.folders.ImageFolders[row] = ResolveEmulatorPath(setup.imageFolderBoxes[row], emulatorFolder);
    }
}

bool CheckImageFolderEdit(const SetupChoices& setup, DialogPort& port, int row) {
    const QString& box = setup.imageFolderBoxes[row];
    if (box.right(4).compare(QStringLiteral(".zip"), Qt::CaseInsensitive) != 0) {
        return true;
    }
    port.showMessage(QStringLiteral("Invalid folder [") +
                         QLatin1String(ImageCategoryTable[row].folderBoxName) + QStringLiteral("]"),
                     QStringLiteral("You must select a folder, not a .zip file."), MessageIcon::Warning);
    return false;
}
