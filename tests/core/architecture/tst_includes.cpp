// The arrows between the core's parts, checked on every direct include of the sources.
#include "TestMain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// Which folders each core folder may include besides itself.
const QHash<QString, QSet<QString>> kAllowed = {
    {"common", {}},
    {"progress", {"common"}},
    {"catalog", {"common"}},
    {"emulator", {"common", "catalog"}},
    {"gamesdb", {"common", "catalog", "emulator", "progress"}},
    {"search", {"common", "catalog", "gamesdb", "progress"}},
    {"processing/zip", {"common"}},
    {"processing", {"common", "catalog", "emulator", "gamesdb", "search", "progress", "processing/zip"}},
    {"app",
     {"common", "catalog", "emulator", "gamesdb", "search", "progress", "processing", "processing/zip"}},
};

// The part a path inside src/core belongs to: "processing/zip" for its files, else the first folder.
QString partOf(const QString& relativePath) {
    if (relativePath.startsWith(QStringLiteral("processing/zip/"))) {
        return QStringLiteral("processing/zip");
    }
    return relativePath.section(u'/', 0, 0);
}

// What is wrong with one include of a core file, or "" when it is allowed. `exists` tells whether
// a path relative to src/core (first) or src/gui (second) names a file.
template <typename Exists>
QString judgeInclude(const QString& file, const QString& include, Exists exists) {
    const QString folder = file.section(u'/', 0, -2);
    const QString part = partOf(file);
    QString target;
    if (exists(folder + u'/' + include, true)) {
        target = folder + u'/' + include;  // beside the including file
    } else if (exists(include, true)) {
        target = include;
    } else if (exists(include, false)) {
        return QStringLiteral("%1 includes the gui's %2").arg(file, include);
    } else {
        return QStringLiteral("%1 includes %2, which is not a core file").arg(file, include);
    }
    const QString to = partOf(target);
    if (!kAllowed.contains(part)) {
        return QStringLiteral("%1 lies in %2, a folder without rules").arg(file, part);
    }
    if (to == part || kAllowed[part].contains(to)) {
        return {};
    }
    return QStringLiteral("%1 (%2) may not include %3 (%4)").arg(file, part, include, to);
}

QStringList quotedIncludes(const QString& path) {
    static const QRegularExpression includeLine(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                                QRegularExpression::MultilineOption);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList includes;
    auto matches = includeLine.globalMatch(QString::fromUtf8(file.readAll()));
    while (matches.hasNext()) {
        includes.append(matches.next().captured(1));
    }
    return includes;
}

}  // namespace

class IncludeRulesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The judge itself, on made-up files: each kind of wrong arrow is caught.
    void judgeCatchesWrongArrows_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("include");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("same folder, short name") << "gamesdb/A.cpp"
                                                 << "B.h" << true;
        QTest::newRow("downward") << "gamesdb/A.cpp"
                                  << "emulator/E.h" << true;
        QTest::newRow("upward to app") << "emulator/E.cpp"
                                       << "app/S.h" << false;
        QTest::newRow("emulator to processing") << "emulator/E.h"
                                                << "processing/P.h" << false;
        QTest::newRow("common to anything") << "common/C.cpp"
                                            << "catalog/F.h" << false;
        QTest::newRow("zip to catalog") << "processing/zip/Z.cpp"
                                        << "catalog/F.h" << false;
        QTest::newRow("processing to zip") << "processing/P.cpp"
                                           << "processing/zip/Z.h" << true;
        QTest::newRow("search to emulator") << "search/S.cpp"
                                            << "emulator/E.h" << false;
        QTest::newRow("core to gui") << "app/S.cpp"
                                     << "pages/GamesPanel.h" << false;
        QTest::newRow("unknown file") << "app/S.cpp"
                                      << "nowhere/X.h" << false;
    }
    void judgeCatchesWrongArrows() {
        QFETCH(QString, file);
        QFETCH(QString, include);
        QFETCH(bool, allowed);
        const QSet<QString> core = {"gamesdb/B.h",    "emulator/E.h", "app/S.h",
                                    "processing/P.h", "catalog/F.h",  "processing/zip/Z.h"};
        const auto exists = [&core](const QString& path, bool inCore) {
            return inCore ? core.contains(path) : path == QStringLiteral("pages/GamesPanel.h");
        };
        const QString verdict = judgeInclude(file, include, exists);
        QVERIFY2(verdict.isEmpty() == allowed, qPrintable(verdict));
    }

    // Every include of every core source.
    void coreFollowsTheArrows() {
        const QDir core(QStringLiteral(KESTRUM_SOURCE_DIR "/core"));
        const QDir gui(QStringLiteral(KESTRUM_SOURCE_DIR "/gui"));
        const auto exists = [&](const QString& path, bool inCore) {
            return QFileInfo((inCore ? core : gui).filePath(QDir::cleanPath(path))).isFile();
        };
        QStringList faults;
        int files = 0;
        QDirIterator it(core.path(),
                        {QStringLiteral("*.h"), QStringLiteral("*.cpp"), QStringLiteral("*.inl")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = core.relativeFilePath(path);
            if (!relative.contains(u'/')) {
                continue;  // the build file of the core
            }
            ++files;
            for (const QString& include : quotedIncludes(path)) {
                const QString verdict = judgeInclude(relative, include, exists);
                if (!verdict.isEmpty()) {
                    faults.append(verdict);
                }
            }
        }
        QVERIFY2(files > 40, "the core's sources were not found");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

KESTRUM_REGISTER_TEST(IncludeRulesTest)
KESTRUM_TEST_MAIN
#include "tst_includes.moc"
