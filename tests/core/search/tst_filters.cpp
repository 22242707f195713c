#include "SearchFixture.h"
#include "TestMain.h"
#include "search/Filters.h"

#include <QTest>

namespace {

FilterState only(FilterBox box, int entry, int statusCategory = 0) {
    FilterState state;
    state.searchCriteria[box] = entry;
    state.StatusCategory = statusCategory;
    return state;
}

}  // namespace

class FiltersTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyGamePassesEntryZeroOrNone() {
        TGameInfo odd = game("odd");
        odd.IconIndex = 7;
        odd.Kind = KindDevice;
        odd.HasCHD = 1;
        odd.ScreenOrientation = -1;
        odd.DriverStatus = StatusUnknown;
        FilterState none;
        none.searchCriteria.fill(-1);
        QVERIFY(PassesFilters(odd, FilterState{}));
        QVERIFY(PassesFilters(odd, none));
    }

    // "Available" and "Missing" split the games by the quick scan's mark; "Bios" and "Device" test
    // the kind only, so a missing BIOS is still a BIOS.
    void availabilityAndKinds() {
        for (int icon = 0; icon < 8; ++icon) {
            TGameInfo g = game("g");
            g.IconIndex = icon;
            g.Kind = icon % 4;
            const bool available = PassesFilters(g, only(GameStatusBox, 1));
            const bool missing = PassesFilters(g, only(GameStatusBox, 2));
            QVERIFY(available != missing);
            QCOMPARE(missing, icon >= 4);
            QCOMPARE(PassesFilters(g, only(SetTypeBox, 3)), g.Kind == KindBios);
            QCOMPARE(PassesFilters(g, only(SetTypeBox, 4)), g.Kind == KindDevice);
        }
        TGameInfo bios = game("neogeo");
        bios.Kind = KindBios;  // no parent: a "Parent" too
        QVERIFY(PassesFilters(bios, only(SetTypeBox, 1)));
        bios.CloneOf = "x";
        QVERIFY(PassesFilters(bios, only(SetTypeBox, 2)));
    }

    void orientation() {
        TGameInfo g = game("g");
        g.ScreenOrientation = -1;
        QVERIFY(PassesFilters(g, only(OrientationBox, 3)));
        QVERIFY(!PassesFilters(g, only(OrientationBox, 1)));
        QVERIFY(!PassesFilters(g, only(OrientationBox, 2)));
        g.ScreenOrientation = 1;
        QVERIFY(PassesFilters(g, only(OrientationBox, 2)));
    }

    // The driver status box tests the status the category chooses; unknown never matches.
    void statusCategory() {
        TGameInfo imperfectSound = game("a");
        imperfectSound.DriverStatus = 1;
        imperfectSound.SoundStatus = 1;
        TGameInfo good = game("b");
        good.DriverStatus = 0;
        good.SoundStatus = 0;  // as read from a list: a good driver makes every status good
        QVERIFY(PassesFilters(imperfectSound, only(DriverStatusBox, 2, 3)));
        QVERIFY(!PassesFilters(good, only(DriverStatusBox, 2, 3)));
        TGameInfo preliminaryDriver = game("d");
        preliminaryDriver.DriverStatus = 2;
        preliminaryDriver.SoundStatus = 1;
        QVERIFY(PassesFilters(preliminaryDriver, only(DriverStatusBox, 2, 3)));  // the sound is tested
        QVERIFY(!PassesFilters(preliminaryDriver, only(DriverStatusBox, 2, 0)));
        TGameInfo unknown = game("c");
        for (int entry = 1; entry <= 3; ++entry) {
            QVERIFY(!PassesFilters(unknown, only(DriverStatusBox, entry)));
        }
    }

    void mediaMachineInterface() {
        TGameInfo g = game("g");
        g.HasCHD = 1;
        g.NonArcade = 1;
        g.Mechanical = 1;
        QVERIFY(!PassesFilters(g, only(MediaBox, 1)));
        QVERIFY(PassesFilters(g, only(MediaBox, 2)));
        QVERIFY(!PassesFilters(g, only(MachineTypeBox, 1)));
        QVERIFY(PassesFilters(g, only(MachineTypeBox, 2)));
        QVERIFY(!PassesFilters(g, only(InterfaceBox, 1)));
        QVERIFY(PassesFilters(g, only(InterfaceBox, 2)));
    }

    // ">" five times comes back to "Driver"; the chosen entry stays.
    void cycleStatusCategory() {
        FilterState state;
        state.searchCriteria[DriverStatusBox] = 2;
        QStringList captions;
        for (int i = 0; i < 5; ++i) {
            CycleStatusCategory(state);
            captions.append(driverStatusCaption(state.StatusCategory));
        }
        QCOMPARE(captions, (QStringList{"Emulation", "Color", "Sound", "Graphic", "Driver"}));
        QCOMPARE(driverStatusHint(state.StatusCategory), QStringLiteral("Driver Status"));
        QCOMPARE(driverStatusHint(3), QStringLiteral("Sound Status"));
        QCOMPARE(state.searchCriteria[DriverStatusBox], 2);
        ResetFilters(state);
        QCOMPARE(state.searchCriteria, (std::array<int, kFilterBoxCount>{}));
    }

    // The search applies the filters of the moment it starts.
    void searchUsesTheFilters() {
        SearchFixture f;
        TGameInfo clone = game("pacman");
        clone.CloneOf = "puckman";
        f.state.games.FullGamesList = {game("puckman"), clone};
        f.state.gamesPage.filters.searchCriteria[SetTypeBox] = 2;
        QCOMPARE(f.search("*"), QStringList{"pacman"});
    }
};

KESTRUM_REGISTER_TEST(FiltersTest)
#include "tst_filters.moc"
