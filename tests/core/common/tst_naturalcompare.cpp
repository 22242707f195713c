#include "TestMain.h"
#include "common/Text.h"

#include <QTest>

#include <random>

class NaturalCompareTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void order_data() {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("expected");
        QTest::newRow("numbers by value") << "pacman2"
                                          << "pacman10" << -1;
        QTest::newRow("leading zeros ignored") << "a01"
                                               << "a1" << 0;
        QTest::newRow("zero run") << "a00"
                                  << "a0" << 0;
        QTest::newRow("long runs beyond 64 bits") << "x123456789012345678901234567890"
                                                  << "x123456789012345678901234567891" << -1;
        QTest::newRow("longer run is larger") << "v999"
                                              << "v1000" << -1;
        QTest::newRow("letters without case") << "Pacman"
                                              << "pacman" << 0;
        QTest::newRow("case then later text") << "PACMAN"
                                              << "pacmab" << 1;
        QTest::newRow("blank before number") << "a b"
                                             << "a1" << -1;
        QTest::newRow("paren before number") << "a("
                                             << "a1" << -1;
        QTest::newRow("number before colon") << "a1"
                                             << "a:" << -1;
        QTest::newRow("number before letter") << "a9"
                                              << "aa" << -1;
        QTest::newRow("shorter first") << "pac"
                                       << "pacman" << -1;
        QTest::newRow("prefix with digits") << "pac1"
                                            << "pac1a" << -1;
        QTest::newRow("both empty") << ""
                                    << "" << 0;
        QTest::newRow("empty first") << ""
                                     << "a" << -1;
        QTest::newRow("empty second") << "a"
                                      << "" << 1;
        QTest::newRow("unicode lower case")
            << QString::fromUtf8("\xC3\x89t\xC3\xA9") << QString::fromUtf8("\xC3\xA9T\xC3\x89") << 0;
        QTest::newRow("non-ascii digit is a character") << QString::fromUtf8("a\xD9\xA1") << "a1" << 1;
    }
    void order() {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, expected);
        QCOMPARE(NaturalCompare(a, b), expected);
        QCOMPARE(NaturalCompare(b, a), -expected);
    }

    void sortsAListConsistently() {
        QStringList names = {"sf2ce", "sf2", "Sf10", "sf1", "1942", "1941", "10yard", "sf2 (bootleg)", ""};
        std::sort(names.begin(), names.end(),
                  [](const QString& x, const QString& y) { return NaturalCompare(x, y) < 0; });
        QCOMPARE(names,
                 QStringList({"", "10yard", "1941", "1942", "sf1", "sf2", "sf2 (bootleg)", "sf2ce", "Sf10"}));
    }

    // The sort key orders every pair as NaturalCompare does: leading zeros, digit runs against
    // letters and punctuation, case, characters beyond the BMP, prefixes.
    void sortKeyAgreesWithTheComparison() {
        const QString alphabet = QStringLiteral("aAb0019 ._-\u00e9\u00c9") + QString::fromUcs4(U"\U0001F600");
        std::mt19937 random(20261209);
        QStringList texts = {"", "0", "00", "007", "7", "a", "A", "a1", "a01", "a1b", "a10", "a9", "\u00e9"};
        for (int i = 0; i < 400; ++i) {
            QString text;
            const int length = int(random() % 7);
            for (int k = 0; k < length; ++k) {
                text += alphabet.mid(qsizetype(random() % alphabet.size()), 1);
            }
            texts.append(text);
        }
        const auto sign = [](auto value) { return value < 0 ? -1 : value > 0 ? 1 : 0; };
        for (const QString& a : texts) {
            for (const QString& b : texts) {
                const std::u32string ka = naturalSortKey(a);
                const std::u32string kb = naturalSortKey(b);
                QVERIFY2(sign(ka.compare(kb)) == sign(NaturalCompare(a, b)), qPrintable(a + " | " + b));
            }
        }
    }

    void int64() {
        QCOMPARE(CompareInt64(-5, 3), -1);
        QCOMPARE(CompareInt64(7, 7), 0);
        QCOMPARE(CompareInt64(std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min()), 1);
    }
};

KESTRUM_REGISTER_TEST(NaturalCompareTest)
#include "tst_naturalcompare.moc"
