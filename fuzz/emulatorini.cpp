// The emulator's ini files: the line reader, then the bytes as mame.ini and ui.ini read by
// ReadEmulatorIni and ReadUiIni, once in the emulator's folder and once in a default ini folder
// (a packaged emulator, whose folder values resolve against $HOME and whose inipath list is searched).
#include "FuzzSupport.h"

#include "FakeDialogPort.h"
#include "catalog/SetupChoices.h"
#include "common/RunControl.h"
#include "emulator/EmulatorIni.h"
#include "emulator/EmulatorIniDetail.h"
#include "emulator/EmulatorState.h"

namespace {

bool isFolderText(const QString& folder) {
    return folder.isEmpty() || folder.endsWith(u'/');
}

// Reads both files of an emulator whose executable is `emulatorFolder` + "mame"; the ini files
// lie in the emulator's folder or in `defaultFolder`.
void readBoth(const QString& emulatorFolder, const QString& defaultFolder) {
    EmulatorState emulator;
    if (!defaultFolder.isEmpty()) {
        emulator.iniFallbackFolders = {defaultFolder};
    }
    SetupChoices setup;
    setup.ProgramFolder = fuzzsupport::processFolder();
    setup.mameExecutableFile = emulatorFolder + QStringLiteral("mame");
    FakeDialogPort port;
    RunControl control;
    ReadEmulatorIni(emulator, setup, port, control);
    // The file exists: the emulator is never asked to create it.
    for (const FakeDialogPort::Message& message : port.messages) {
        FUZZ_CHECK(message.kind == QStringLiteral("message"));
    }
    FUZZ_CHECK(!control.running());
    for (const QString& folder : emulator.folders.RomFolders) {
        FUZZ_CHECK(!folder.isEmpty() && folder.endsWith(u'/'));
    }
    FUZZ_CHECK(isFolderText(emulator.folders.CfgFolder) && isFolderText(emulator.folders.IniFolder) &&
               isFolderText(emulator.folders.NvramFolder));
    FUZZ_CHECK(ReadUiIni(emulator, setup));
    for (const QString& folder : emulator.folders.ImageFolders) {
        FUZZ_CHECK(isFolderText(folder));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes = fuzzsupport::bytesOf(data, size);
    for (const emulatorini_detail::IniLine& line : emulatorini_detail::parseIniLines(bytes)) {
        FUZZ_CHECK(!line.key.isEmpty() && !line.key.startsWith('#') && !line.key.contains(' '));
        // The value is trimmed of blanks and control characters (bytes up to 0x20) at both ends.
        FUZZ_CHECK(line.value.isEmpty() ||
                   (line.value.front().unicode() > 0x20 && line.value.back().unicode() > 0x20));
    }

    static const QString own = fuzzsupport::processFolder() + QStringLiteral("own/");
    static const QString packaged = fuzzsupport::processFolder() + QStringLiteral("packaged/");
    static const QString defaults = fuzzsupport::processFolder() + QStringLiteral("defaults/");
    static const bool made = [] {
        for (const QString& folder : {own, packaged}) {
            QDir().mkpath(folder);
            fuzzsupport::writeFile(folder + QStringLiteral("mame"), "#!/bin/sh\n");
            QFile::setPermissions(folder + QStringLiteral("mame"), QFile::ReadOwner | QFile::ExeOwner);
        }
        return QDir().mkpath(defaults);
    }();
    (void)made;
    for (const QString& folder : {own, defaults}) {
        fuzzsupport::writeFile(folder + QStringLiteral("mame.ini"), bytes);
        fuzzsupport::writeFile(folder + QStringLiteral("ui.ini"), bytes);
    }
    readBoth(own, QString());
    readBoth(packaged, defaults);
    return 0;
}
