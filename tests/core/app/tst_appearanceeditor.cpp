#include "TestMain.h"
#include "app/AppearanceEditor.h"

#include <QSet>
#include <QTest>

namespace {

constexpr StoredColor rgb(int red, int green, int blue) {
    return StoredColor(red | (green << 8) | (blue << 16));
}

const FontSpec kDefaultFont{"Segoe UI", 9, 0, kBlack};

// A main window whose every value differs from the defaults and from the others.
Appearance current() {
    Appearance a;
    a.gamesListBackgroundColor = rgb(0, 0, 128);  // Navy
    a.parentGameFont = {"Arial", 11, FontBold, rgb(128, 0, 0)};
    a.cloneGameFont = {"Tahoma", 8, FontItalic, rgb(0, 128, 0)};
    a.categoriesListBackgroundColor = rgb(1, 2, 3);  // no colour box names it
    a.categoriesListFont = {"Verdana", 12, FontUnderline | FontStrikeOut, rgb(0, 0, 255)};
    a.categoriesRowHeight = 36;
    return a;
}

QString chosenName(const ColorBox& box) {
    return box.name(box.selectedIndex());
}

}  // namespace

class AppearanceEditorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void colourLists() {
        QStringList names;
        for (const NamedColor& c : standardColors() + extendedColors()) {
            names.append(c.name);
        }
        QCOMPARE(names,
                 QStringList({"Black", "Maroon", "Green",       "Olive",    "Navy",   "Purple",     "Teal",
                              "Gray",  "Silver", "Red",         "Lime",     "Yellow", "Blue",       "Fuchsia",
                              "Aqua",  "White",  "Money Green", "Sky Blue", "Cream",  "Medium Gray"}));
        // Red in the lowest byte: a table written as 0xRRGGBB fails here.
        QCOMPARE(standardColors()[1].color, rgb(128, 0, 0));
        QCOMPARE(extendedColors()[1].color, rgb(166, 202, 240));
        QCOMPARE(extendedColors()[3].color, rgb(160, 160, 164));
        // System colours: codes (negative), one per palette role.
        QSet<StoredColor> codes;
        for (const NamedColor& c : systemColors()) {
            QVERIFY2(c.color < 0 && isSystemColor(c.color), qPrintable(c.name));
            codes.insert(c.color);
        }
        QCOMPARE(codes.size(), systemColors().size());
    }

    void selectColorBoxColorChoosesAsTheUserWould() {
        ColorBox box(colorBoxColors(), kWhite);
        QList<StoredColor> handled;
        box.setSelectionHandler([&](StoredColor c) { handled.append(c); });
        QCOMPARE(box.name(ColorBox::kCustomEntry), QStringLiteral("Custom..."));
        SelectColorBoxColor(box, rgb(128, 0, 128));
        QCOMPARE(chosenName(box), QStringLiteral("Purple"));
        const NamedColor window = systemColors().constFirst();
        SelectColorBoxColor(box, window.color);
        QCOMPARE(chosenName(box), window.name);
        SelectColorBoxColor(box, rgb(10, 20, 30));  // no entry names it: "Custom..." carries it
        QCOMPARE(box.selectedIndex(), ColorBox::kCustomEntry);
        SelectColorBoxColor(box);  // no colour: the box's default
        QCOMPARE(chosenName(box), QStringLiteral("White"));
        QCOMPARE(box.customColor(), rgb(10, 20, 30));
        QCOMPARE(handled, QList<StoredColor>({rgb(128, 0, 128), window.color, rgb(10, 20, 30), kWhite}));
    }

    void opensOnTheMainWindowsValuesAndOkGivesThemBack() {
        const Appearance a = current();
        const AppearanceEditor editor(a);
        QCOMPARE(editor.gamesPreviewBackground(), a.gamesListBackgroundColor);
        QCOMPARE(chosenName(editor.gamesBackgroundColor()), QStringLiteral("Navy"));
        QCOMPARE(editor.categoriesPreviewBackground(), a.categoriesListBackgroundColor);
        QCOMPARE(editor.categoriesListBackgroundColor().selectedIndex(), ColorBox::kCustomEntry);
        Appearance out;
        editor.apply(out);
        QCOMPARE(out.parentGameFont, a.parentGameFont);
        QCOMPARE(out.cloneGameFont, a.cloneGameFont);
        QCOMPARE(out.categoriesListFont, a.categoriesListFont);
        QCOMPARE(out.gamesListBackgroundColor, a.gamesListBackgroundColor);
        QCOMPARE(out.categoriesListBackgroundColor, a.categoriesListBackgroundColor);
        QCOMPARE(out.categoriesRowHeight, 36);
    }

    void cellSize_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("applied");
        QTest::newRow("52 Very Large") << 52 << 0 << 52;
        QTest::newRow("36 Large") << 36 << 1 << 36;
        QTest::newRow("28 Medium") << 28 << 2 << 28;
        QTest::newRow("20 Small") << 20 << 3 << 20;
        QTest::newRow("24 Small") << 24 << 3 << 20;
    }
    void cellSize() {
        QFETCH(int, height);
        QFETCH(int, index);
        QFETCH(int, applied);
        Appearance a;
        a.categoriesRowHeight = height;
        AppearanceEditor editor(a);
        QCOMPARE(editor.categoriesCellSize(), index);
        QCOMPARE(editor.categoriesPreviewRowHeight(), height);  // the preview shows the list as it is
        editor.apply(a);
        QCOMPARE(a.categoriesRowHeight, applied);
        editor.chooseCategoriesCellSize(-1);  // no entry chosen: "Small"
        QCOMPARE(editor.categoriesPreviewRowHeight(), 20);
        editor.chooseCategoriesCellSize(0);
        editor.apply(a);
        QCOMPARE(a.categoriesRowHeight, 52);
    }

    void copyParentThenOkMakesClonesLookLikeParents() {
        const Appearance a = current();
        AppearanceEditor editor(a);
        editor.copyParentFont(-1);  // no row selected: nothing
        QCOMPARE(editor.font(EditedFont::Clone), a.cloneGameFont);
        editor.copyParentFont(1);
        Appearance out = a;
        editor.apply(out);
        QCOMPARE(out.cloneGameFont, a.parentGameFont);  // colour, face, size and style
    }

    void fontButtons() {
        const Appearance a = current();
        AppearanceEditor editor(a);
        const FontSpec edited{"Courier", 14, FontBold, systemColor(8)};
        editor.setFont(EditedFont::Parent, edited);
        editor.copyParentFontToCategories();
        QCOMPARE(editor.font(EditedFont::Categories), edited);  // the working parent font
        editor.resetCategoriesFont();
        QCOMPARE(editor.font(EditedFont::Categories), a.categoriesListFont);
        editor.defaultCategoriesFont();
        QCOMPARE(editor.font(EditedFont::Categories), kDefaultFont);
        editor.defaultFonts();
        QCOMPARE(editor.font(EditedFont::Clone), kDefaultFont);
        editor.resetFonts();
        QCOMPARE(editor.font(EditedFont::Parent), a.parentGameFont);
        QCOMPARE(editor.font(EditedFont::Clone), a.cloneGameFont);
        QCOMPARE(editor.font(EditedFont::Categories), kDefaultFont);  // not a game font
    }

    void colourButtonsAndCopyTakingThePreviewsColour() {
        const Appearance a = current();
        AppearanceEditor editor(a);
        // Chosen a moment ago in the categories box, not applied yet.
        ColorBox& categories = editor.categoriesListBackgroundColor();
        categories.choose(categories.indexOfNamed(rgb(255, 255, 0)));
        QCOMPARE(editor.categoriesPreviewBackground(), rgb(255, 255, 0));
        editor.copyBackground();
        QCOMPARE(editor.gamesPreviewBackground(), rgb(255, 255, 0));
        QCOMPARE(chosenName(editor.gamesBackgroundColor()), QStringLiteral("Yellow"));
        // The other way, with a colour of the user's own.
        editor.gamesBackgroundColor().chooseCustom(rgb(9, 8, 7));
        editor.copyCategoriesBackground();
        QCOMPARE(editor.categoriesPreviewBackground(), rgb(9, 8, 7));
        Appearance out;
        editor.apply(out);
        QCOMPARE(out.gamesListBackgroundColor, rgb(9, 8, 7));
        QCOMPARE(out.categoriesListBackgroundColor, rgb(9, 8, 7));

        editor.defaultBackground();
        editor.resetCategoriesBackground();
        QCOMPARE(editor.gamesPreviewBackground(), kWhite);
        QCOMPARE(editor.categoriesPreviewBackground(), a.categoriesListBackgroundColor);
    }

    void fontDialogColourList() {
        // "Custom..." first, carrying the font's colour; the font's colour is the one chosen.
        const ColorBox named = fontDialogColors(rgb(255, 0, 0));
        QCOMPARE(named.count(), 17);
        QCOMPARE(named.customColor(), rgb(255, 0, 0));
        QCOMPARE(chosenName(named), QStringLiteral("Red"));
        const ColorBox own = fontDialogColors(systemColor(8));
        QCOMPARE(own.selectedIndex(), ColorBox::kCustomEntry);
        QCOMPARE(own.selected(), systemColor(8));
    }
};

KESTRUM_REGISTER_TEST(AppearanceEditorTest)
#include "tst_appearanceeditor.moc"
