#include "Settings.h"

#include "AppState.h"
#include "common/FileOps.h"
#include "common/IniDocument.h"
#include "common/Text.h"

#include <limits>

namespace {

constexpr QByteArrayView kConfiguration = "Configuration";
constexpr QByteArrayView kAppearance = "Appearance";
constexpr QByteArrayView kEmulator = "Emulator";
constexpr QByteArrayView kFileType = "File Type";
constexpr QByteArrayView kListSort = "List Sort";
constexpr QByteArrayView kSearchCriteria = "Search Criteria";
constexpr QByteArrayView kImages = "Images";

constexpr std::array<const char*, kSearchCriteriaCount> kSearchCriteriaKeys = {
    "MediaType",     "DriverStatus",      "GameSetType", "MachineType",
    "InterfaceType", "ScreenOrientation", "GameStatus",
};

// Reads the settings of one file; every value outside its key's range reads as the default.
class Reader {
public:
    explicit Reader(const IniDocument& ini) : m_ini(ini) {}

    qint64 integer(QByteArrayView section, QByteArrayView key, qint64 fallback, qint64 low,
                   qint64 high) const {
        const auto raw = m_ini.value(section, key);
        qint64 number = 0;
        if (!raw || !parseDecimalInt(*raw, number) || number < low || number > high) {
            return fallback;
        }
        return number;
    }
    bool yesNo(QByteArrayView section, QByteArrayView key, bool fallback) const {
        return integer(section, key, fallback ? 1 : 0, 0, 1) == 1;
    }
    StoredColor color(QByteArrayView section, QByteArrayView key, StoredColor fallback) const {
        return static_cast<StoredColor>(integer(section, key, fallback, std::numeric_limits<qint32>::min(),
                                                std::numeric_limits<qint32>::max()));
    }
    QString text(QByteArrayView section, QByteArrayView key, const QString& fallback = {}) const {
        return m_ini.text(section, key).value_or(fallback);
    }
    FontSpec font(const char* prefix) const {
        const FontSpec defaults;
        const QByteArray p(prefix);
        FontSpec font;
        font.color = color(kAppearance, p + "FontColor", defaults.color);
        font.name = text(kAppearance, p + "FontName", defaults.name);
        if (font.name.isEmpty()) {
            font.name = defaults.name;
        }
        font.size = static_cast<int>(integer(kAppearance, p + "FontSize", defaults.size, 1, 999));
        font.style = static_cast<int>(integer(kAppearance, p + "FontStyle", defaults.style, 0, 15));
        return font;
    }
    SortState sort(const char* list) const {
        const QByteArray prefix(list);
        SortState sort;
        sort.column = static_cast<int>(integer(kListSort, prefix + "Column", 0, 0, kGameListColumnCount - 1));
        // The stored direction applies only when another column than the first carries the mark.
        if (sort.column > 0) {
            sort.descending = integer(kListSort, prefix + "Direction", 0, 0, 1) == 1;
        }
        return sort;
    }

private:
    const IniDocument& m_ini;
};

int rowHeightIndex(int height) {
    for (int i = 0; i < static_cast<int>(CellHeightTable.size()); ++i) {
        if (CellHeightTable[i] == height) {
            return i;
        }
    }
    return 3;
}

void writeFont(IniDocument& out, const char* prefix, const FontSpec& font) {
    const QByteArray p(prefix);
    out.writeNumber(p + "FontColor", font.color);
    out.writeText(p + "FontName", font.name);
    out.writeNumber(p + "FontSize", font.size);
    out.writeNumber(p + "FontStyle", font.style);
}

}  // namespace

void LoadSettings(AppState& state) {
    const QString path = findSettingsFile(state.setup.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    const IniDocument ini = IniDocument::parse(readWholeFile(path).value_or(QByteArray()));
    const Reader read(ini);

    state.wizard.settingsSaidMaximized =
        read.text(kConfiguration, "WindowState") == QStringLiteral("Maximized");
    state.wizard.windowWidth = static_cast<int>(
        read.integer(kConfiguration, "ScreenWidth", kWindowMinWidth, kWindowMinWidth, 65535));
    state.wizard.windowHeight = static_cast<int>(
        read.integer(kConfiguration, "ScreenHeight", kWindowMinHeight, kWindowMinHeight, 65535));
    if (state.wizard.layoutSelectorShown) {
        state.gamesPage.layout = static_cast<int>(read.integer(kConfiguration, "LayoutIndex", 1, 1, 3));
    }

    state.appearance.gamesListBackgroundColor = read.color(kAppearance, "GamesListBackgroundColor", kWhite);
    state.appearance.parentGameFont = read.font("ParentGame");
    state.appearance.cloneGameFont = read.font("CloneGame");
    state.gamesPage.gameIconSize = static_cast<int>(read.integer(kAppearance, "GameIconSize", 3, 0, 3));
    state.appearance.categoriesListBackgroundColor =
        read.color(kAppearance, "CategoriesListBackgroundColor", kWhite);
    state.appearance.categoriesListFont = read.font("CategoriesList");
    state.appearance.categoriesRowHeight =
        CellHeightTable[read.integer(kAppearance, "CategoriesCellHeightSize", 3, 0, 3)];

    state.setup.mameExecutableFile = read.text(kEmulator, "MAMEFile");
    state.setup.categoryFile = read.text(kEmulator, "CategoryFile");
    state.setup.nonArcadeMachineFile = read.text(kEmulator, "NonArcadeMachineFile");
    state.setup.moveFilesToFolder = read.text(kEmulator, "DestinationFolderToMoveFiles");
    state.setup.scanGameFilesQuickScan = read.yesNo(kEmulator, "ScanGameFilesQuickScan", true);
    state.setup.moveDeletedFilesToTrash = read.yesNo(kEmulator, "MoveDeletedFilesToTrash", false);

    for (int type = 0; type < kFileTypeCount; ++type) {
        const FileTypeInfo& info = FileTypeTable[type];
        state.setup.fileTypeChecked[type] = read.yesNo(kFileType, info.settingsKey, info.checkedByDefault);
    }

    state.gamesPage.searchResultsSort = read.sort("SearchResults");
    state.gamesPage.workListSort = read.sort("WorkList");

    for (int i = 0; i < kSearchCriteriaCount; ++i) {
        state.gamesPage.filters.searchCriteria[i] = static_cast<int>(
            read.integer(kSearchCriteria, kSearchCriteriaKeys[i], 0, 0, FilterBoxTable[i].entryCount - 1));
    }
}

bool SaveSettings(const AppState& state) {
    IniDocument out;
    out.beginSection(kConfiguration);
    out.write("WindowState",
              state.wizard.windowMaximized ? QByteArrayView("Maximized") : QByteArrayView("Normal"));
    if (!state.wizard.windowMaximized) {
        out.writeNumber("ScreenWidth", state.wizard.windowWidth);
        out.writeNumber("ScreenHeight", state.wizard.windowHeight);
    }
    if (state.wizard.layoutSelectorShown) {
        out.writeNumber("LayoutIndex", state.gamesPage.layout);
    }

    out.beginSection(kAppearance);
    out.writeNumber("GamesListBackgroundColor", state.appearance.gamesListBackgroundColor);
    writeFont(out, "ParentGame", state.appearance.parentGameFont);
    writeFont(out, "CloneGame", state.appearance.cloneGameFont);
    out.writeNumber("GameIconSize", state.gamesPage.gameIconSize);
    out.writeNumber("CategoriesListBackgroundColor", state.appearance.categoriesListBackgroundColor);
    writeFont(out, "CategoriesList", state.appearance.categoriesListFont);
    out.writeNumber("CategoriesCellHeightSize", rowHeightIndex(state.appearance.categoriesRowHeight));

    out.beginSection(kEmulator);
    if (IsUsableFile(state.setup.mameExecutableFile)) {
        out.writeText("MAMEFile", state.setup.mameExecutableFile);
    }
    if (!state.setup.categoryFile.isEmpty()) {
        out.writeText("CategoryFile", state.setup.categoryFile);
    }
    if (!state.setup.nonArcadeMachineFile.isEmpty()) {
        out.writeText("NonArcadeMachineFile", state.setup.nonArcadeMachineFile);
    }
    if (!state.setup.moveFilesToFolder.isEmpty()) {
        out.writeText("DestinationFolderToMoveFiles", state.setup.moveFilesToFolder);
    }
    out.writeNumber("ScanGameFilesQuickScan", qint64(state.setup.scanGameFilesQuickScan ? 1 : 0));
    if (state.setup.moveDeletedFilesToTrash) {
        out.writeNumber("MoveDeletedFilesToTrash",
                        1);  // off is the default: files made before it stay as they were
    }

    out.beginSection(kFileType);
    for (int type = 0; type < kFileTypeCount; ++type) {
        out.writeNumber(FileTypeTable[type].settingsKey, qint64(state.setup.fileTypeChecked[type] ? 1 : 0));
    }

    out.beginSection(kListSort);
    out.writeNumber("SearchResultsColumn", state.gamesPage.searchResultsSort.column);
    out.writeNumber("SearchResultsDirection", qint64(state.gamesPage.searchResultsSort.descending ? 1 : 0));
    out.writeNumber("WorkListColumn", state.gamesPage.workListSort.column);
    out.writeNumber("WorkListDirection", qint64(state.gamesPage.workListSort.descending ? 1 : 0));

    out.beginSection(kSearchCriteria);
    for (int i = 0; i < kSearchCriteriaCount; ++i) {
        out.writeNumber(kSearchCriteriaKeys[i], qint64(state.gamesPage.filters.searchCriteria[i]));
    }

    // Image folders of ui.ini stay the emulator's; those of the images page are kept here.
    if (!state.emulator.ImageFoldersFromUiIni) {
        out.beginSection(kImages);
        for (int row = 0; row < kImageCategoryCount; ++row) {
            const QString& box = state.setup.imageFolderBoxes[row];
            out.writeText(ImageCategoryTable[row].uiIniKey,
                          box.isEmpty() ? QString::fromLatin1(ImageCategoryTable[row].folderName) : box);
        }
    }
    return writeFileAtomically(settingsFilePath(state.setup.ProgramFolder), out.bytes());
}
