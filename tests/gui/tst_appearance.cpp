#include "FakeDialogPort.h"
#include "GuiSupport.h"
#include "app/dialogs/FontDialog.h"
#include "app/dialogs/TFormCustomizeGamesList.h"
#include "catalog/SetupChoices.h"
#include "search/ImageLists.h"
#include "search/ListLook.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

constexpr StoredColor rgb(int red, int green, int blue) {
    return StoredColor(red | (green << 8) | (blue << 16));
}

Appearance current() {
    Appearance a;
    a.gamesListBackgroundColor = rgb(0, 0, 128);  // Navy
    a.parentGameFont = {QStringLiteral("Arial"), 11, FontBold, rgb(128, 0, 0)};
    a.cloneGameFont = {QStringLiteral("Tahoma"), 8, FontItalic, rgb(0, 128, 0)};
    a.categoriesListBackgroundColor = rgb(1, 2, 3);
    a.categoriesListFont = {QStringLiteral("Verdana"), 12, FontUnderline, rgb(0, 0, 255)};
    a.categoriesRowHeight = 36;
    return a;
}

// Runs `act` once on the modal dialog named `name`, as soon as it is up; the watch ends then.
QPointer<QTimer> whenModal(const QString& name, std::function<void(QDialog*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, name, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->objectName() != name) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(dialog);
    });
    poll->start();
    return poll;
}

// A window to open the dialog over, and the icons of a program folder.
struct Fixture {
    ProgramFolderWithIcons dir;
    SetupChoices setup;
    GamesPageState page;
    FakeDialogPort port;
    std::unique_ptr<ImageLists> icons;
    QWidget window;
    QTimer watchdog;  // closes what a failed step left open, so that a failure cannot hang the test

    Fixture() {
        setup.ResourceFolder = dir.path();
        page.gameIconSize = 1;  // 32-pixel icons in 36-pixel rows
        icons = std::make_unique<ImageLists>(setup, page, port);
        icons->LoadListIcons();
        window.resize(900, 700);
        window.show();
        QObject::connect(&watchdog, &QTimer::timeout, [this] {
            watchdog.setInterval(100);
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                dialog->reject();
            }
        });
        watchdog.start(20000);
    }

    // Opens the dialog, lets `act` work on it (it closes it), and gives back what the call returned.
    bool open(Appearance& appearance, const std::function<void(QDialog*)>& act) {
        bool seen = false;
        whenModal(QStringLiteral("TFormCustomizeGamesList"), [&](QDialog* dialog) {
            seen = true;
            act(dialog);
        });
        const bool result = customizeGamesListAppearance(&window, appearance, CellHeightTable[1], *icons);
        [&] { QVERIFY(seen); }();
        return result;
    }
};

template <typename T>
T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        qFatal("no control %s", name);
    }
    return found;
}

void click(QWidget* dialog, const char* button) {
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

QColor background(QWidget* dialog, const char* preview) {
    return child<QTreeWidget>(dialog, preview)->palette().color(QPalette::Base);
}

QColor rowColour(QWidget* dialog, const char* preview, int row) {
    return child<QTreeWidget>(dialog, preview)->topLevelItem(row)->foreground(0).color();
}

int rowHeight(QWidget* dialog, const char* preview) {
    auto* list = child<QTreeWidget>(dialog, preview);
    return list->visualItemRect(list->topLevelItem(0)).height();
}

// Types into a closed combo box as the user would: the matching entry is chosen.
void typeInto(QWidget* dialog, const char* box, const QString& text) {
    auto* combo = child<QComboBox>(dialog, box);
    combo->setFocus();
    QTest::keyClicks(combo, text);
}

}  // namespace

class AppearanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // What the dialog shows at opening; then "Default" everywhere and Cancel, or Esc, change nothing.
    void opensOnTheLookAndCancelChangesNothing() {
        Fixture f;
        const Appearance before = current();
        Appearance appearance = before;
        const auto everythingDefault = [&](QDialog* d) {
            for (const char* button : {"ButtonDefaultFont", "ButtonDefaultBkColor",
                                       "ButtonDefaultFontCategories", "ButtonDefaultBkColorCategories"}) {
                click(d, button);
            }
            typeInto(d, "CategoriesListCellSize", QStringLiteral("V"));
            QCOMPARE(rowColour(d, "GamesFont", 0), QColor(Qt::black));
            QCOMPARE(background(d, "CategoriesListFont"), QColor(Qt::white));
            QCOMPARE(rowHeight(d, "CategoriesListFont"), 52);
        };
        QWidget log(&f.window, Qt::Tool | Qt::WindowStaysOnTopHint);  // as the log window is
        log.show();
        QVERIFY(!f.open(appearance, [&](QDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Customize Games List"));
            QVERIFY(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));  // not hidden behind it
            QVERIFY((d->frameGeometry().center() - f.window.frameGeometry().center()).manhattanLength() <= 2);
            auto* games = child<QTreeWidget>(d, "GamesFont");
            QVERIFY(games->topLevelItem(0)->isSelected());
            QTRY_COMPARE(QApplication::focusWidget(), games);  // Enter edits the parent font at once
            QVERIFY(!games->topLevelItem(1)->icon(0).isNull());
            QCOMPARE(rowHeight(d, "GamesFont"), 36);
            QCOMPARE(rowColour(d, "GamesFont", 1), QColor(0, 128, 0));
            QCOMPARE(background(d, "GamesFont"), QColor(0, 0, 128));
            QCOMPARE(child<QComboBox>(d, "GamesBackgroundColor")->currentText(), QStringLiteral("Navy"));
            QCOMPARE(rowHeight(d, "CategoriesListFont"), 36);
            QCOMPARE(background(d, "CategoriesListFont"), QColor(1, 2, 3));
            QCOMPARE(child<QComboBox>(d, "CategoriesListBackgroundColor")->currentText(),
                     QStringLiteral("Custom..."));
            QCOMPARE(child<QComboBox>(d, "CategoriesListCellSize")->currentText(), QStringLiteral("Large"));
            saveScreenshot(d, QStringLiteral("appearance-dialog"));
            everythingDefault(d);
            click(d, "ButtonCancel");
        }));
        log.hide();
        QVERIFY(!f.open(appearance, [&](QDialog* d) {
            QVERIFY(!d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            everythingDefault(d);
            QTest::keyClick(d, Qt::Key_Escape);
        }));
        QCOMPARE(appearance.parentGameFont, before.parentGameFont);
        QCOMPARE(appearance.cloneGameFont, before.cloneGameFont);
        QCOMPARE(appearance.categoriesListFont, before.categoriesListFont);
        QCOMPARE(appearance.gamesListBackgroundColor, before.gamesListBackgroundColor);
        QCOMPARE(appearance.categoriesListBackgroundColor, before.categoriesListBackgroundColor);
        QCOMPARE(appearance.categoriesRowHeight, before.categoriesRowHeight);
    }

    // Copy Parent, a colour chosen in one box and copied into the other, a row height, then Ok.
    void buttonsThenOk() {
        Fixture f;
        const Appearance before = current();
        Appearance appearance = before;
        QVERIFY(f.open(appearance, [&](QDialog* d) {
            click(d, "ButtonCopyParentFont");
            QCOMPARE(rowColour(d, "GamesFont", 1), QColor(128, 0, 0));
            typeInto(d, "CategoriesListBackgroundColor", QStringLiteral("Yel"));
            QCOMPARE(background(d, "CategoriesListFont"), QColor(255, 255, 0));  // at once
            click(d, "ButtonCopyBkColor");
            QCOMPARE(background(d, "GamesFont"), QColor(255, 255, 0));
            QCOMPARE(child<QComboBox>(d, "GamesBackgroundColor")->currentText(), QStringLiteral("Yellow"));
            click(d, "ButtonCopyParentFontCategories");
            typeInto(d, "CategoriesListCellSize", QStringLiteral("M"));
            QCOMPARE(rowHeight(d, "CategoriesListFont"), 28);
            saveScreenshot(d, QStringLiteral("appearance-dialog-changed"));
            click(d, "ButtonOk");
        }));
        QCOMPARE(appearance.cloneGameFont, before.parentGameFont);
        QCOMPARE(appearance.categoriesListFont, before.parentGameFont);
        QCOMPARE(appearance.gamesListBackgroundColor, rgb(255, 255, 0));
        QCOMPARE(appearance.categoriesListBackgroundColor, rgb(255, 255, 0));
        QCOMPARE(appearance.categoriesRowHeight, 28);
    }

    // Enter on the clone row, "Custom..." in the font dialog's colour list, a colour picked there,
    // then the font dialog and the dialog confirmed.
    void fontDialogWithCustomColour() {
        Fixture f;
        Appearance appearance = current();
        bool pickerSeen = false;
        QVERIFY(f.open(appearance, [&](QDialog* d) {
            auto* games = child<QTreeWidget>(d, "GamesFont");
            QTest::keyClick(games, Qt::Key_Down);
            whenModal(QStringLiteral("FontDialog"), [&](QDialog* font) {
                auto* colours = child<QComboBox>(font, "FontColor");
                QCOMPARE(colours->itemText(0), QStringLiteral("Custom..."));
                QCOMPARE(colours->currentText(), QStringLiteral("Green"));  // the clone font's colour
                auto* chooser = child<QFontDialog>(font, "FontChooser");
                QFont bigger = chooser->currentFont();
                bigger.setStyleName({});  // as the style list would give it: by weight and slant
                bigger.setPointSize(14);
                bigger.setBold(true);
                chooser->setCurrentFont(bigger);
                whenModal(QStringLiteral("ColorDialog"), [&](QDialog* picker) {
                    pickerSeen = true;
                    QCOMPARE(static_cast<QColorDialog*>(picker)->currentColor(), QColor(0, 128, 0));
                    static_cast<QColorDialog*>(picker)->setCurrentColor(QColor(1, 99, 200));
                    saveScreenshot(picker, QStringLiteral("appearance-colour-picker"));
                    picker->accept();
                });
                typeInto(font, "FontColor", QStringLiteral("C"));
                QCOMPARE(colours->currentIndex(), 0);
                saveScreenshot(font, QStringLiteral("appearance-font-dialog"));
                // Enter in the list of faces confirms the font dialog.
                const QList<QListView*> lists = chooser->findChildren<QListView*>();
                const auto faces = std::find_if(lists.begin(), lists.end(), [&](QListView* list) {
                    return list->currentIndex().data().toString() == chooser->currentFont().family();
                });
                QVERIFY(faces != lists.end());
                QTest::keyClick(*faces, Qt::Key_Return);
            });
            QTest::keyClick(games, Qt::Key_Return);
            QCOMPARE(rowColour(d, "GamesFont", 1), QColor(1, 99, 200));
            QTRY_COMPARE(QApplication::focusWidget(), games);  // once the dialog is active again
            click(d, "ButtonOk");
        }));
        QVERIFY(pickerSeen);
        QCOMPARE(appearance.cloneGameFont.color, rgb(1, 99, 200));
        QCOMPARE(appearance.cloneGameFont.size, 14);
        QCOMPARE(appearance.cloneGameFont.style, FontBold | FontItalic);
        // The face was kept, so the stored name stays even where Tahoma is not installed.
        QCOMPARE(appearance.cloneGameFont.name, QStringLiteral("Tahoma"));
    }

    // A cancelled picker and a cancelled font dialog change nothing; no row selected, no font dialog.
    void cancelledFontEditsChangeNothing() {
        Fixture f;
        Appearance appearance = current();
        QVERIFY(f.open(appearance, [&](QDialog* d) {
            auto* categories = child<QTreeWidget>(d, "CategoriesListFont");
            bool fontDialogSeen = false;
            whenModal(QStringLiteral("FontDialog"), [&](QDialog* font) {
                fontDialogSeen = true;
                whenModal(QStringLiteral("ColorDialog"), [](QDialog* picker) { picker->reject(); });
                typeInto(font, "FontColor", QStringLiteral("C"));
                QCOMPARE(child<QComboBox>(font, "FontColor")->currentText(), QStringLiteral("Blue"));
                QTest::keyClick(font, Qt::Key_Escape);
            });
            const QPoint row = categories->visualItemRect(categories->topLevelItem(0)).center();
            QTest::mouseDClick(categories->viewport(), Qt::LeftButton, {}, row);
            QVERIFY(fontDialogSeen);
            QCOMPARE(rowColour(d, "CategoriesListFont", 0), QColor(0, 0, 255));

            // With no row of GamesFont selected, Enter opens nothing and Copy Parent copies nothing.
            auto* games = child<QTreeWidget>(d, "GamesFont");
            games->clearSelection();
            games->setFocus();
            bool opened = false;
            QPointer<QTimer> watch = whenModal(QStringLiteral("FontDialog"), [&](QDialog* font) {
                opened = true;
                font->reject();
            });
            QTest::keyClick(games, Qt::Key_Return);
            QVERIFY(!opened);
            delete watch;
            click(d, "ButtonCopyParentFont");
            click(d, "ButtonOk");
        }));
        QCOMPARE(appearance.categoriesListFont, current().categoriesListFont);
        QCOMPARE(appearance.cloneGameFont, current().cloneGameFont);
    }

    // Each named system colour is drawn in the palette role of its name.
    void systemColoursFollowThePalette() {
        const QPalette saved = QApplication::palette();
        QPalette distinct;
        const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
        for (int i = 0; i < QPalette::NColorRoles; ++i) {
            if (i == QPalette::NoRole) {
                continue;
            }
            distinct.setColor(QPalette::ColorRole(i), QColor(10 + i * 9, 200 - i * 7, 3 * i));
        }
        QApplication::setPalette(distinct);
        for (const NamedColor& system : systemColors()) {
            bool known = false;
            const int role =
                roles.keyToValue(QString(system.name).remove(u' ').toLatin1().constData(), &known);
            QVERIFY2(known, qPrintable(system.name));
            QCOMPARE(toQColor(system.color), distinct.color(QPalette::ColorRole(role)));
        }
        QApplication::setPalette(saved);
    }
};

QTEST_MAIN(AppearanceTest)
#include "tst_appearance.moc"
