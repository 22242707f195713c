// The image folders: from the emulator's ui.ini, else from the images page (kept in Kestrum.ini).
#include "EmulatorIni.h"
#include "EmulatorIniDetail.h"
#include "EmulatorState.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/IniDocument.h"

using namespace emulatorini_detail;

namespace {

QString defaultFolderName(int row) {
    return QString::fromLatin1(ImageCategoryTable[row].folderName);
}

// The box of one ui.ini value. The artwork preview's own rule reads the value as written; every
// other value loses its surrounding quotes first.
QString boxOfUiValue(int row, const QString& written) {
    const int cabinets = ImageCabinet - kFirstImageType;
    const int artwork = ImageGameArtwork - kFirstImageType;
    QString box = row == artwork ? written : unquoted(written);
    if (box.isEmpty()) {
        return defaultFolderName(row);
    }
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
    return box;
}

}  // namespace

bool ReadUiIni(EmulatorState& emulator, SetupChoices& setup) {
    const QString path = findIni(emulator, setup, {QStringLiteral("ui.ini"), QStringLiteral("ini/ui.ini")},
                                 {QStringLiteral("ui.ini")})
                             .path;
    if (path.isEmpty()) {
        return false;
    }
    const int snapshots = ImageSnap - kFirstImageType;
    for (const IniLine& line : readIniLines(path)) {
        for (int row = 0; row < kImageCategoryCount; ++row) {
            if (row != snapshots && line.key == ImageCategoryTable[row].uiIniKey) {
                setup.imageFolderBoxes[row] = boxOfUiValue(row, line.value);
            }
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
    const QString base = folderValuesBase(emulator, setup);
    for (int row = 0; row < kImageCategoryCount; ++row) {
        emulator.folders.ImageFolders[row] = ResolveEmulatorPath(setup.imageFolderBoxes[row], base);
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
