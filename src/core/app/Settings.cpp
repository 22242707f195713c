#include "Settings.h"

#include "AppState.h"
#include "IniDocument.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <limits>

namespace {

constexpr QByteArrayView kConfiguration = "Configuration";
constexpr QByteArrayView kAppearance = "Appearance";
constexpr QByteArrayView kEmulator = "Emulator";
constexpr QByteArrayView kFileType = "File Type";
constexpr QByteArrayView kListSort = "List Sort";
constexpr QByteArrayView kSearchCriteria = "Search Criteria";

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
        if (!raw || !ParseDecimalInt(*raw, number) || number < low || number > high) {
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
    const QString path = FindSettingsFile(state.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    const IniDocument ini = IniDocument::parse(ReadWholeFile(path).value_or(QByteArray()));
    const Reader read(ini);

    state.settingsSaidMaximized = read.text(kConfiguration, "WindowState") == QStringLiteral("Maximized");
    state.windowWidth = static_cast<int>(
        read.integer(kConfiguration, "ScreenWidth", kWindowMinWidth, kWindowMinWidth, 65535));
    state.windowHeight = static_cast<int>(
        read.integer(kConfiguration, "ScreenHeight", kWindowMinHeight, kWindowMinHeight, 65535));
    if (state.layoutSelectorShown) {
        state.layout = static_cast<int>(read.integer(kConfiguration, "LayoutIndex", 1, 1, 3));
    }

    state.gamesListBackgroundColor = read.color(kAppearance, "GamesListBackgroundColor", kWhite);
    state.parentGameFont = read.font("ParentGame");
    state.cloneGameFont = read.font("CloneGame");
    state.gameIconSize = static_cast<int>(read.integer(kAppearance, "GameIconSize", 3, 0, 3));
    state.categoriesListBackgroundColor = read.color(kAppearance, "CategoriesListBackgroundColor", kWhite);
    state.categoriesListFont = read.font("CategoriesList");
    state.categoriesRowHeight =
        CellHeightTable[read.integer(kAppearance, "CategoriesCellHeightSize", 3, 0, 3)];

    state.mameExecutableFile = read.text(kEmulator, "MAMEFile");
    state.categoryFile = read.text(kEmulator, "CategoryFile");
    state.nonArcadeMachineFile = read.text(kEmulator, "NonArcadeMachineFile");
    state.moveFilesToFolder = read.text(kEmulator, "DestinationFolderToMoveFiles");
    state.scanGameFilesQuickScan = read.yesNo(kEmulator, "ScanGameFilesQuickScan", true);

    for (int type = 0; type < kFileTypeCount; ++type) {
        const FileTypeInfo& info = FileTypeTable[type];
        state.fileTypeChecked[type] = read.yesNo(kFileType, info.settingsKey, info.checkedByDefault);
    }

    state.searchResultsSort = read.sort("SearchResults");
    state.workListSort = read.sort("WorkList");

    for (int i = 0; i < kSearchCriteriaCount; ++i) {
        state.searchCriteria[i] = static_cast<int>(
            read.integer(kSearchCriteria, kSearchCriteriaKeys[i], 0, 0, kSearchCriteriaEntryCounts[i] - 1));
    }
}

bool SaveSettings(const AppState& state) {
    IniDocument out;
    out.beginSection(kConfiguration);
    out.write("WindowState", state.windowMaximized ? QByteArrayView("Maximized") : QByteArrayView("Normal"));
    if (!state.windowMaximized) {
        out.writeNumber("ScreenWidth", state.windowWidth);
        out.writeNumber("ScreenHeight", state.windowHeight);
    }
    if (state.layoutSelectorShown) {
        out.writeNumber("LayoutIndex", state.layout);
    }

    out.beginSection(kAppearance);
    out.writeNumber("GamesListBackgroundColor", state.gamesListBackgroundColor);
    writeFont(out, "ParentGame", state.parentGameFont);
    writeFont(out, "CloneGame", state.cloneGameFont);
    out.writeNumber("GameIconSize", state.gameIconSize);
    out.writeNumber("CategoriesListBackgroundColor", state.categoriesListBackgroundColor);
    writeFont(out, "CategoriesList", state.categoriesListFont);
    out.writeNumber("CategoriesCellHeightSize", rowHeightIndex(state.categoriesRowHeight));

    out.beginSection(kEmulator);
    if (IsUsableFile(state.mameExecutableFile)) {
        out.writeText("MAMEFile", state.mameExecutableFile);
    }
    if (!state.categoryFile.isEmpty()) {
        out.writeText("CategoryFile", state.categoryFile);
    }
    if (!state.nonArcadeMachineFile.isEmpty()) {
        out.writeText("NonArcadeMachineFile", state.nonArcadeMachineFile);
    }
    if (!state.moveFilesToFolder.isEmpty()) {
        out.writeText("DestinationFolderToMoveFiles", state.moveFilesToFolder);
    }
    out.writeNumber("ScanGameFilesQuickScan", qint64(state.scanGameFilesQuickScan ? 1 : 0));

    out.beginSection(kFileType);
    for (int type = 0; type < kFileTypeCount; ++type) {
        out.writeNumber(FileTypeTable[type].settingsKey, qint64(state.fileTypeChecked[type] ? 1 : 0));
    }

    out.beginSection(kListSort);
    out.writeNumber("SearchResultsColumn", state.searchResultsSort.column);
    out.writeNumber("SearchResultsDirection", qint64(state.searchResultsSort.descending ? 1 : 0));
    out.writeNumber("WorkListColumn", state.workListSort.column);
    out.writeNumber("WorkListDirection", qint64(state.workListSort.descending ? 1 : 0));

    out.beginSection(kSearchCriteria);
    for (int i = 0; i < kSearchCriteriaCount; ++i) {
        out.writeNumber(kSearchCriteriaKeys[i], qint64(state.searchCriteria[i]));
    }
    return WriteFileAtomically(SettingsFilePath(state.ProgramFolder), out.bytes());
}
