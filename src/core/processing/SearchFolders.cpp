#include "SearchFolders.h"

#include "catalog/FileTypes.h"
#include "catalog/SetupChoices.h"
#include "common/FileOps.h"
#include "emulator/EmulatorFolders.h"

QString FindImageArchive(const EmulatorFolders& folders, int type) {
    if (!isImageType(type)) {
        return {};
    }
    const QString folder = folders.FolderOfType(type);
    if (folder.isEmpty()) {
        return {};  // never a bare name in the current folder
    }
    const QString name = ArchiveName(type);
    for (const QString& candidate :
         {folder + name, folder + QLatin1String(ImageCategoryOf(type).folderName) + u'/' + name}) {
        if (FileExistsNotFolder(candidate)) {
            return candidate;
        }
    }
    return {};
}

QList<SearchFolderRow> BuildSearchFolders(const SetupChoices& setup, const EmulatorFolders& folders) {
    QList<SearchFolderRow> rows;
    const auto checked = [&setup](int type) { return setup.fileTypeChecked[size_t(type)]; };
    if (checked(GameROMs)) {
        for (const QString& folder : folders.RomFolders) {
            rows.append({rows.isEmpty() ? QStringLiteral("ROMs Folders") : QString(), folder});
        }
    }
    if (setup.operation == MoveFiles) {
        rows.append({QStringLiteral("Folder to Move Files"), setup.moveFilesToFolder});
        return rows;
    }
    if (setup.operation == DeleteFiles) {
        const std::array<std::pair<int, const char*>, 3> others = {
            {{GameCfg, "Game CFG Folder"}, {GameIni, "Game INI Folder"}, {GameNVRAM, "Game NVRAM Folder"}}};
        for (const auto& [type, caption] : others) {
            if (checked(type)) {
                rows.append({QLatin1String(caption), folders.FolderOfType(type)});
            }
        }
    }
    for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
        if (checked(type)) {
            rows.append({QLatin1String(ImageCategoryOf(type).displayName) + QStringLiteral(" Folder"),
                         folders.FolderOfType(type), !FindImageArchive(folders, type).isEmpty()});
        }
    }
    return rows;
}
