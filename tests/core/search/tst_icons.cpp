#include "TempProgramFolder.h"
#include "TestMain.h"
#include "common/IconFile.h"
#include "search/ListIcons.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>

namespace {

struct Entry {
    int size;
    int bitCount;    // in the directory; 0 leaves it to the image's own header
    int storedBits;  // in the image's BITMAPINFOHEADER
};

void put16(QByteArray& out, quint16 v) {
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 2);
}
void put32(QByteArray& out, quint32 v) {
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

// An .ico file with one header-only image per entry: enough for the directory and the depth.
QByteArray icoFile(const QList<Entry>& entries) {
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, quint16(entries.size()));
    quint32 offset = 6 + 16 * quint32(entries.size());
    for (const Entry& e : entries) {
        out.append(char(e.size == 256 ? 0 : e.size));
        out.append(char(e.size == 256 ? 0 : e.size));
        out.append(char(0));
        out.append(char(0));
        put16(out, 1);
        put16(out, quint16(e.bitCount));
        put32(out, 40);
        put32(out, offset);
        offset += 40;
    }
    for (const Entry& e : entries) {
        put32(out, 40);
        put32(out, quint32(e.size));
        put32(out, quint32(e.size * 2));
        put16(out, 1);
        put16(out, quint16(e.storedBits));
        out.append(QByteArray(24, '\0'));
    }
    return out;
}

}  // namespace

class IconsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first image of the size at 32 bits per pixel in stored order; a 24-bit image of the right
    // size is not taken.
    void pickRule_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("picked");
        QTest::newRow("24-bit first, 32-bit later") << icoFile({{16, 24, 24}, {16, 32, 32}}) << 1;
        QTest::newRow("only 24-bit") << icoFile({{16, 24, 24}}) << -1;
        QTest::newRow("first of two qualifying") << icoFile({{32, 32, 32}, {16, 32, 32}, {16, 32, 32}}) << 1;
        QTest::newRow("other sizes only") << icoFile({{24, 32, 32}, {48, 32, 32}}) << -1;
        QTest::newRow("depth left to the image") << icoFile({{16, 0, 24}, {16, 0, 32}}) << 1;
        QTest::newRow("not an icon file") << QByteArray("GIF89a") << -1;
        QTest::newRow("directory past the end") << icoFile({{16, 32, 32}}).left(12) << -1;
    }
    void pickRule() {
        QFETCH(QByteArray, file);
        QFETCH(int, picked);
        QCOMPARE(pickIconImage(file, 16, 16), picked);
    }

    void missingFileAndMessage() {
        TempProgramFolder dir;
        QCOMPARE(pickListIcon(dir.path(), "game_clone", 16, 16), -1);
        dir.write("icons/game_clone.ico", icoFile({{16, 32, 32}}));
        QCOMPARE(pickListIcon(dir.path(), "game_clone", 16, 16), 0);
        QCOMPARE(
            iconLoadFailureText("game_clone", 24, 24),
            QStringLiteral(
                "    Failed to load icon \"game_clone.ico\".\r\nFile \"icons\\game_clone.ico\" could not "
                "be found or it doesn't have the 24x24 size. Contact the author about this."));
    }

    // Every committed icon file holds what the pick rule needs: the game icons at every size of
    // the game lists, the others at 16 pixels, all 32 bits per pixel.
    void committedIconsHoldTheirSizes() {
        const QDir icons(QStringLiteral(KESTRUM_ICONS_DIR));
        QStringList names;
        for (const char* name : kGamesIconNames) {
            names.append(QLatin1String(name));
        }
        for (const char* name : kGameIconNames) {
            names.append(QLatin1String(name));
        }
        for (const char* name : kHeaderPictureNames) {
            names.append(QLatin1String(name));
        }
        names.removeDuplicates();
        QCOMPARE(names.size(), 27);
        for (const QString& name : names) {
            QFile file(icons.filePath(name + QStringLiteral(".ico")));
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
            const QByteArray bytes = file.readAll();
            const bool gameIcon =
                name.startsWith(QStringLiteral("game_")) || name.startsWith(QStringLiteral("un_"));
            for (const int size : gameIcon ? kGameIconPixels : std::array<int, 4>{16, 16, 16, 16}) {
                QVERIFY2(pickIconImage(bytes, size, size) >= 0,
                         qPrintable(QStringLiteral("%1 at %2").arg(name).arg(size)));
            }
        }
    }
};

KESTRUM_REGISTER_TEST(IconsTest)
#include "tst_icons.moc"
