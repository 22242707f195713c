// Lines of listfull.txt: ParseGameLine alone and with the texts shared across lines, as the loader
// reads a whole list. Both must read every line the same way.
#include "FuzzSupport.h"

#include "common/Text.h"
#include "gamesdb/GamesListFile.h"

namespace {

bool sameGame(const TGameInfo& a, const TGameInfo& b) {
    return a.IconIndex == b.IconIndex && a.Kind == b.Kind && a.HasCHD == b.HasCHD &&
           a.NonArcade == b.NonArcade && a.Title == b.Title && a.Year == b.Year &&
           a.Manufacturer == b.Manufacturer && a.ScreenOrientation == b.ScreenOrientation &&
           a.Driver == b.Driver && a.DriverStatus == b.DriverStatus &&
           a.EmulationStatus == b.EmulationStatus && a.ColorStatus == b.ColorStatus &&
           a.SoundStatus == b.SoundStatus && a.GraphicStatus == b.GraphicStatus && a.Name == b.Name &&
           a.CloneOf == b.CloneOf && a.Mechanical == b.Mechanical && a.Category == b.Category;
}

bool inScale(qint8 status) {
    return status >= StatusUnknown && status <= StatusPreliminary;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SharedGameTexts shared;
    for (const QByteArrayView line : splitLines(fuzzsupport::bytesOf(data, size))) {
        (void)isGameLine(line);
        TGameInfo alone;
        ParseGameLine(line, alone);
        TGameInfo withShared;
        ParseGameLine(line, withShared, &shared);
        FUZZ_CHECK(sameGame(alone, withShared));
        // The icon number is the kind (plus 4): it must name one of the eight icons.
        FUZZ_CHECK(alone.Kind >= KindParent && alone.Kind <= KindDevice);
        FUZZ_CHECK(alone.HasCHD <= 9 && alone.Mechanical <= 9);
        FUZZ_CHECK(inScale(alone.DriverStatus) && inScale(alone.EmulationStatus) &&
                   inScale(alone.ColorStatus) && inScale(alone.SoundStatus) && inScale(alone.GraphicStatus));
    }
    return 0;
}
