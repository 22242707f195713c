#include "FileTypes.h"

const std::array<FileTypeInfo, kFileTypeCount> FileTypeTable = {{
    {"OperateGameROMs", "Game Files / ROMs [.zip; .7z]", "GameROMs", true},
    {"OperateGameCfg", "Game Configuration File [.cfg]", "GameCFG", false},
    {"OperateGameIni", "Game Custom Settings File [.ini]", "GameINI", false},
    {"OperateGameNVRAM", "Game NVRAM Files [NVRAM/EEPROM/SRAM/FLASH]", "GameNVRAM", false},
    {"OperateImageTitle", "Title Snapshot [unzipped .png or titles.zip]", "ImageTitleSnapshot", false},
    {"OperateImageSnap", "Game Snapshot [unzipped .png or snap.zip]", "ImageGameSnapshot", true},
    {"OperateImageMarquee", "Marquee [unzipped .png; .jpg or marquees.zip]", "ImageMarquee", false},
    {"OperateImageFlyer", "Flyer [unzipped .png; .jpg or flyers.zip]", "ImageFlyer", false},
    {"OperateImageCabinet", "Cabinet [unzipped .png; .jpg or cabinets.zip]", "ImageCabinet", false},
    {"OperateImageControlPanel", "Control Panel [unzipped .png; .jpg or cpanel.zip]", "ImageControlPanel",
     false},
    {"OperateImageSoftwareCover", "Software Cover [unzipped .png; .jpg or covers.zip]", "ImageSoftwareCover",
     false},
    {"OperateImagePCB", "PCB [unzipped .png; .jpg or pcb.zip]", "ImagePCB", false},
    {"OperateImageGameArtwork", "In-Game Artwork [unzipped .png or artpreview.zip]", "ImageGameArtwork",
     false},
    {"OperateImageEnd", "End [unzipped .png or ends.zip]", "ImageEnd", false},
    {"OperateImageBoss", "Boss [unzipped .png or bosses.zip]", "ImageBoss", false},
    {"OperateImageLogo", "Logo [unzipped .png or logo.zip]", "ImageLogo", false},
    {"OperateImageScore", "Score [unzipped .png or scores.zip]", "ImageScore", false},
    {"OperateImageVersus", "Versus [unzipped .png or versus.zip]", "ImageVersus", false},
    {"OperateImageGameOver", "Game Over [unzipped .png or gameover.zip]", "ImageGameOver", false},
    {"OperateImageHowToPlay", "How to Play [unzipped .png or howto.zip]", "ImageHowToPlay", false},
    {"OperateImageSelect", "Select [unzipped .png or select.zip]", "ImageSelect", false},
}};

const std::array<ImageCategory, kImageCategoryCount> ImageCategoryTable = {{
    {"Title Snapshot", "TitleSnapshot", "titles", "titles_directory", "TitleDir"},
    {"Game Snapshot", "GameSnapshot", "snap", "snapshot_directory", "SnapDir"},
    {"Marquee", "Marquee", "marquees", "marquees_directory", "MarqueeDir"},
    {"Flyer", "Flyer", "flyers", "flyers_directory", "FlyerDir"},
    {"Cabinet", "Cabinet", "cabinets", "cabinets_directory", "CabinetDir"},
    {"Control Panel", "ControlPanel", "cpanel", "cpanels_directory", "ControlPanelDir"},
    {"Software Cover", "SoftwareCover", "covers", "covers_directory", "SoftwareCoverDir"},
    {"PCB", "PCB", "pcb", "pcbs_directory", "PCBDir"},
    {"Game Artwork", "GameArtwork", "artpreview", "artwork_preview_directory", "GameArtworkDir"},
    {"End", "End", "ends", "ends_directory", "EndDir"},
    {"Boss", "Boss", "bosses", "bosses_directory", "BossDir"},
    {"Logo", "Logo", "logo", "logos_directory", "LogoDir"},
    {"Score", "Score", "scores", "scores_directory", "ScoreDir"},
    {"Versus", "Versus", "versus", "versus_directory", "VersusDir"},
    {"Game Over", "GameOver", "gameover", "gameover_directory", "GameOverDir"},
    {"How to Play", "HowToPlay", "howto", "howto_directory", "HowToPlayDir"},
    {"Select", "Select", "select", "select_directory", "SelectDir"},
}};

std::array<bool, kFileTypeCount> defaultFileTypeChecks() {
    std::array<bool, kFileTypeCount> checked{};
    for (int i = 0; i < kFileTypeCount; ++i) {
        checked[i] = FileTypeTable[i].checkedByDefault;
    }
    return checked;
}

QString ArchiveName(int type) {
    if (!isImageType(type)) {
        return {};
    }
    return QString::fromLatin1(ImageCategoryOf(type).folderName) + QStringLiteral(".zip");
}

bool AcceptsJpg(int type) {
    return type >= ImageMarquee && type <= ImagePCB;
}
