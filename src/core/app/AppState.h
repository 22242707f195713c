#pragma once

#include "emulator/EmulatorFolders.h"
#include "gamesdb/Categories.h"
#include "gamesdb/GameInfo.h"
#include "processing/FileTypes.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

// Colours are 0x00BBGGRR; a negative value is one of the platform's system colours.
using StoredColor = qint32;
constexpr StoredColor kWhite = 16777215;
constexpr StoredColor kBlack = 0;
// RGB values for the step button captions, as 0xRRGGBB.
constexpr quint32 kGreenRgb = 0x008000;
constexpr quint32 kNavyRgb = 0x000080;

enum FontStyleBit { FontBold = 1, FontItalic = 2, FontUnderline = 4, FontStrikeOut = 8 };

struct FontSpec {
    QString name = QStringLiteral("Segoe UI");
    int size = 9;
    int style = 0;
    StoredColor color = kBlack;
    bool operator==(const FontSpec&) const = default;
};

struct SortState {
    int column = 0;
    bool descending = false;
    bool operator==(const SortState&) const = default;
};

constexpr int kWindowMinWidth = 768;
constexpr int kWindowMinHeight = 555;
constexpr int kSmallScreenHeight = 720;
constexpr int kGameListColumnCount = 12;
constexpr int kSearchCriteriaCount = 7;
// Entries of the seven filter boxes: media, driver status, set type, machine, interface,
// orientation, availability.
constexpr std::array<int, kSearchCriteriaCount> kSearchCriteriaEntryCounts = {3, 4, 5, 3, 3, 4, 3};
// Row heights of the categories list by settings index.
constexpr std::array<int, 4> CellHeightTable = {52, 36, 28, 20};

enum OperationMode { DeleteFiles = 0, RenameFiles, RestoreFiles, DeleteRenamedFiles, MoveFiles };
constexpr int kOperationCount = 5;

// All run-time state the main window owns. Widgets write the user's edits into it and redraw
// from it; the core's operations read and change it.
struct AppState {
    // Wizard
    int page = 0;
    int operation = RenameFiles;
    QString ProgramFolder;  // ends with "/"
    QString VersionText;
    bool FirstActivationPending = true;
    bool Aborting = false;
    bool ImageFoldersFromUiIni = false;
    bool LoadedWithQuickScan = true;
    int layout = 1;
    int imagesTab = 0;
    int gamesTab = 0;
    bool layoutSelectorShown = true;  // hidden on screens less than 720 pixels high

    // Bottom bar and page texts
    QString pageTitle;
    QString messages;  // LabelMessages
    QString nextCaption = QStringLiteral("START");
    quint32 nextColor = kNavyRgb;
    bool backEnabled = false;
    bool nextEnabled = true;
    QString finishWizardTitle;
    QString searchPatternsCaption = QStringLiteral("Search Folders");
    bool imageFoldersPanelShown = false;
    bool searchWorkListPanelShown = false;

    // Setup boxes
    QString mameExecutableFile;
    QString categoryFile;
    QString nonArcadeMachineFile;
    QString moveFilesToFolder;
    std::array<QString, kImageCategoryCount> imageFolderBoxes;
    bool rebuildGamesListVisible = false;
    bool rebuildGamesListChecked = false;
    bool scanGameFilesQuickScan = true;
    std::array<bool, kFileTypeCount> fileTypeChecked = defaultFileTypes();
    QString categoryFileStamp;  // recorded when page 1 is left forward

    // Window
    bool settingsSaidMaximized = false;
    bool windowMaximized = false;
    int windowWidth = kWindowMinWidth;
    int windowHeight = kWindowMinHeight;

    // Appearance
    StoredColor gamesListBackgroundColor = kWhite;
    FontSpec parentGameFont;
    FontSpec cloneGameFont;
    int gameIconSize = 3;  // 0 extra large, 1 large, 2 medium, 3 small
    StoredColor categoriesListBackgroundColor = kWhite;
    FontSpec categoriesListFont;
    int categoriesRowHeight = CellHeightTable[3];

    SortState searchResultsSort;
    SortState workListSort;
    std::array<int, kSearchCriteriaCount> searchCriteria{};

    // Emulator
    EmulatorFolders emulatorFolders;
    // Where a packaged emulator keeps its ini files, searched after the emulator's own folder.
    QStringList emulatorIniFallbackFolders;
    QString EmulatorDescription;
    QString EmulatorVersion;

    // Categories: the map lives only while the games list is built or loaded.
    std::shared_ptr<CategoryMap> categoryMap;
    QStringList CategoriesList;
    QString categoriesListStamp;
    int selectedCategoryRow = -1;
    QString categoriesTotalText = QStringLiteral("0 categories in list");

    // Games
    QString labelMAMEVersionUsed = QStringLiteral("MAME v0.000 (Ago 03 1974)");
    GameList FullGamesList;
    GameList SearchResults;
    GameList WorkList;

    // Long steps: while one runs, the step buttons are held off and a close request waits.
    int longStepDepth = 0;
    bool closeDeferred = false;

    static std::array<bool, kFileTypeCount> defaultFileTypes() {
        std::array<bool, kFileTypeCount> checked{};
        for (int i = 0; i < kFileTypeCount; ++i) {
            checked[i] = FileTypeTable[i].checkedByDefault;
        }
        return checked;
    }
};
