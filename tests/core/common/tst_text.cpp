#include "TestMain.h"
#include "common/CodePage.h"
#include "common/Text.h"

#include <QTest>

class TextTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void iniLineWords() {
        QCOMPARE(FirstWord("rompath roms;bios"), QByteArray("rompath"));
        QCOMPARE(FirstWord("# rompath x"), QByteArray());
        QCOMPARE(FirstWord("rompath"), QByteArray());
        QCOMPARE(FirstWord(""), QByteArray());
        QCOMPARE(FirstWord("rompath\troms"), QByteArray());  // only a space separates
        QCOMPARE(ValueAfterFirstBlank("rompath   roms ; bios  "), QByteArray("roms ; bios"));
        QCOMPARE(ValueAfterFirstBlank("rompath"), QByteArray());
        QCOMPARE(ValueAfterFirstBlank("key \t value\r\x01"), QByteArray("value"));
    }

    void attributes() {
        const QByteArrayView line = "<machine name=\"pacman\" romof=\"puckman\" sourcefile=\"pacman.cpp\">";
        QCOMPARE(AttributeValue(line, "name"), QByteArrayView("pacman"));
        QCOMPARE(AttributeValue(line, "sourcefile"), QByteArrayView("pacman.cpp"));
        QCOMPARE(AttributeValue(line, "cloneof"), QByteArrayView());
        QCOMPARE(AttributeValue("<machine name=\"pacman", "name"), QByteArrayView());
        // Plain substring search: "name" also matches the end of "romname".
        QCOMPARE(AttributeValue("<x romname=\"a\" name=\"b\">", "name"), QByteArrayView("a"));
        // The name must be followed by =" directly; a later proper occurrence is found.
        QCOMPARE(AttributeValue("<x name = \"a\" name=\"b\">", "name"), QByteArrayView("b"));
        QCOMPARE(AttributeValue("<x name=\"\">", "name"), QByteArrayView(""));
    }

    void keyedAndTaggedValues() {
        const QByteArrayView driver = "driver ( status good color good sound imperfect )";
        QCOMPARE(ValueAfterKey(driver, "status", ' '), QByteArrayView("good"));
        QCOMPARE(ValueAfterKey(driver, "sound", ' '), QByteArrayView("imperfect"));
        QCOMPARE(ValueAfterKey(driver, "emulation", ' '), QByteArrayView());
        QCOMPARE(ValueAfterKey("status good", "status", ')'), QByteArrayView("good"));
        QCOMPARE(TaggedValue("<year>1980/>", "year"), QByteArrayView("1980"));
        QCOMPARE(TaggedValue("<title>a/>b/><year>1980/>", "title"), QByteArrayView("a"));
        QCOMPARE(TaggedValue("<title>abc", "title"), QByteArrayView());
        QCOMPARE(TaggedValue("<subtitle>x/>", "title"), QByteArrayView());
        QCOMPARE(TaggedValue("<title>x<year>1/>", "year"), QByteArrayView("1"));
    }

    void findAndStart() {
        QCOMPARE(FindText("b", "abcb", 1), 2);
        QCOMPARE(FindText("b", "abcb", 3), 4);
        QCOMPARE(FindText("b", "abcb", 0), 0);
        QCOMPARE(FindText("", "abcb", 1), 0);
        QCOMPARE(FindText("x", "abcb", 1), 0);
        QVERIFY(StartsWith("<machine name", "<machine "));
        QVERIFY(!StartsWith("<Machine name", "<machine "));
        QVERIFY(StartsWith("abc", ""));
        QVERIFY(!StartsWith("ab", "abc"));
    }

    void asciiCaseLeavesOtherBytes() {
        QCOMPARE(AsciiLowerCase(QByteArrayView("PacMAN \xC9")), QByteArray("pacman \xC9"));
        QCOMPARE(AsciiUpperCase(QByteArrayView("pacman \xE9")), QByteArray("PACMAN \xE9"));
        QCOMPARE(AsciiLowerCase(QString::fromUtf8("\xC3\x89"
                                                  "COLE Z")),
                 QString::fromUtf8("\xC3\x89"
                                   "cole z"));
        QVERIFY(equalsIgnoringAsciiCase(QByteArrayView("Kestrum.INI"), QByteArrayView("kestrum.ini")));
        QVERIFY(!equalsIgnoringAsciiCase(QByteArrayView("\xC9"), QByteArrayView("\xE9")));
    }

    void elapsed() {
        QCOMPARE(FormatElapsed(999, 0), QStringLiteral("00:00 seconds"));
        QCOMPARE(FormatElapsed(65000, 1), QStringLiteral("01:05"));
        QCOMPARE(FormatElapsed(3725000, 0), QStringLiteral("02:05 seconds"));
        QCOMPARE(FormatElapsed(7000, 0), QStringLiteral("00:07 seconds"));
    }

    void splitsLines_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
        QTest::newRow("lf and cr") << QByteArray("a\nb\rc") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("empty lines kept") << QByteArray("a\r\n\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("lf cr is two breaks") << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("bom skipped") << QByteArray("\xEF\xBB\xBFx=1\r\n") << QList<QByteArray>{"x=1"};
        QTest::newRow("nul stays") << QByteArray("a\0b\n", 4) << QList<QByteArray>{QByteArray("a\0b", 3)};
        QTest::newRow("nothing") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("only a break") << QByteArray("\r\n") << QList<QByteArray>{""};
    }
    void splitsLines() {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, lines);
        QList<QByteArray> got;
        for (QByteArrayView line : splitLines(text)) {
            got.append(line.toByteArray());
        }
        QCOMPARE(got, lines);
    }

    void decimalIntegers_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << QByteArray("768") << true << qint64(768);
        QTest::newRow("trimmed") << QByteArray(" \t-12 ") << true << qint64(-12);
        QTest::newRow("plus") << QByteArray("+3") << true << qint64(3);
        QTest::newRow("empty") << QByteArray("") << false << qint64(0);
        QTest::newRow("sign only") << QByteArray("-") << false << qint64(0);
        QTest::newRow("hex") << QByteArray("0x10") << false << qint64(0);
        QTest::newRow("trailing text") << QByteArray("12px") << false << qint64(0);
        QTest::newRow("inner blank") << QByteArray("1 2") << false << qint64(0);
        QTest::newRow("too long") << QByteArray("9999999999999999999999") << false << qint64(0);
    }
    void decimalIntegers() {
        QFETCH(QByteArray, text);
        QFETCH(bool, valid);
        QFETCH(qint64, value);
        qint64 got = 0;
        QCOMPARE(parseDecimalInt(text, got), valid);
        if (valid) {
            QCOMPARE(got, value);
        }
    }

    void codePages() {
        QCOMPARE(decodeCp1252("\x80\xE9\x81"), QString::fromUtf8("\xE2\x82\xAC\xC3\xA9\xC2\x81"));
        QCOMPARE(decodeUtf8OrCp1252("Tecnol\xC3\xB3gica"), QString::fromUtf8("Tecnol\xC3\xB3gica"));
        QCOMPARE(decodeUtf8OrCp1252("Tecnol\xF3gica"), QString::fromUtf8("Tecnol\xC3\xB3gica"));
        QVERIFY(!isValidUtf8("\xC0\xAF"));      // overlong
        QVERIFY(!isValidUtf8("\xE2\x82"));      // cut short
        QVERIFY(!isValidUtf8("\xED\xA0\x80"));  // a surrogate
        QVERIFY(isValidUtf8("\xF0\x9F\x98\x80"));
        QCOMPARE(formatThousands(45294), QStringLiteral("45,294"));
        QCOMPARE(formatThousands(-1234567), QStringLiteral("-1,234,567"));
        QCOMPARE(formatThousands(999), QStringLiteral("999"));
    }
};

KESTRUM_REGISTER_TEST(TextTest)
#include "tst_text.moc"
