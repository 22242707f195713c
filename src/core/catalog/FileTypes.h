#pragma once

#include <QString>
#include <array>

// The twenty-one processable file types: 0 ROM sets, 1 cfg, 2 ini, 3 nvram, 4..20 images.
enum FileType : int {
    GameROMs = 0,
    GameCfg,
    GameIni,
    GameNVRAM,
    ImageTitle,
    ImageSnap,
    ImageMarquee,
    ImageFlyer,
    ImageCabinet,
    ImageControlPanel,
    ImageSoftwareCover,
    ImagePCB,
    ImageGameArtwork,
    ImageEnd,
    ImageBoss,
    ImageLogo,
    ImageScore,
    ImageVersus,
    ImageGameOver,
    ImageHowToPlay,
    ImageSelect,
};

constexpr int kFileTypeCount = 21;
constexpr int kImageCategoryCount = 17;
constexpr int kFirstImageType = ImageTitle;

struct FileTypeInfo {
    const char* checkBoxName;  // objectName of its check box on the file types page
    const char* caption;
    const char* settingsKey;  // key in the "File Type" section of Kestrum.ini
    bool checkedByDefault;
};

struct ImageCategory {
    const char* displayName;
    const char* settingsName;
    const char* folderName;  // default folder, and the stem of the category archive
    const char* uiIniKey;
    const char* folderBoxName;  // objectName of its folder box on the images page
};

extern const std::array<FileTypeInfo, kFileTypeCount> FileTypeTable;
extern const std::array<ImageCategory, kImageCategoryCount> ImageCategoryTable;

inline bool isImageType(int type) {
    return type >= kFirstImageType && type < kFileTypeCount;
}
// The row of ImageCategoryTable for file type 4..20.
inline const ImageCategory& ImageCategoryOf(int type) {
    return ImageCategoryTable[type - kFirstImageType];
}

// The check state of each type before the user changes it.
std::array<bool, kFileTypeCount> defaultFileTypeChecks();

// The archive of an image category ("snap.zip"); "" for the other types.
QString ArchiveName(int type);
// Marquee, flyer, cabinet, control panel, software cover and PCB images may also be .jpg.
bool AcceptsJpg(int type);
