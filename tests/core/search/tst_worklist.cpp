#include "SearchFixture.h"
#include "TestMain.h"
#include "common/FileOps.h"

#include <QFile>
#include <QTest>

#include <sys/stat.h>

namespace {

void fillTable(SearchFixture& f) {
    f.state.games.FullGamesList = {game("puckman"), game("pacman"), game("galaga"), game("dkong")};
}

}  // namespace

class WorkListTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Saving and loading give the same games; the file is one name a line, CR LF after each.
    void saveAndLoadRoundTrip() {
        SearchFixture f;
        fillTable(f);
        GamesPageContext c = f.context();
        f.search("a", false, SearchTitle);
        AddSearchResultsToWorkList(c);
        QCOMPARE(namesOf(f.state.gamesPage.WorkList), (QStringList{"galaga", "pacman", "puckman"}));
        const QString path = f.program.file("worklist/mine.txt");
        f.port.fileAnswers.enqueue(path);
        SaveWorkListFile(c);
        QCOMPARE(f.port.dialogFolders.last(), f.program.file("worklist/"));
        QCOMPARE(f.program.read("worklist/mine.txt"), QByteArray("galaga\r\npacman\r\npuckman\r\n"));
        QCOMPARE(f.port.texts(), QStringList{"File generated successfully!"});

        ClearGameList(c, WorkListList);
        QVERIFY(f.state.gamesPage.WorkListNames.isEmpty());
        f.port.fileAnswers.enqueue(path);
        LoadWorkListFile(c);
        QCOMPARE(namesOf(f.state.gamesPage.WorkList), (QStringList{"galaga", "pacman", "puckman"}));
        QCOMPARE(f.state.gamesPage.WorkListNames.size(), 3);
    }

    // Whole lines, any letter case; a trailing blank names nothing; order and repeats do not matter.
    void listFileLines() {
        SearchFixture f;
        fillTable(f);
        GamesPageContext c = f.context();
        f.port.fileAnswers.enqueue(f.program.write("a.txt",
                                                   "\xEF\xBB\xBF"
                                                   "DKONG\rgalaga \npacman\r\npacman\n"));
        LoadWorkListFile(c);
        QCOMPARE(namesOf(f.state.gamesPage.WorkList), (QStringList{"dkong", "pacman"}));  // by title
        QVERIFY(f.port.messages.isEmpty());
    }

    // A file with no line is refused; one of empty lines or unknown names empties the Work List.
    void emptyFileAndEmptyLines() {
        SearchFixture f;
        fillTable(f);
        GamesPageContext c = f.context();
        f.state.gamesPage.WorkList = {game("pacman")};
        f.port.fileAnswers.enqueue(f.program.write("empty.txt", ""));
        LoadWorkListFile(c);
        QCOMPARE(f.port.texts(), QStringList{"The file is empty. There are no games to be added."});
        QCOMPARE(f.state.gamesPage.WorkList.size(), 1);
        f.port.fileAnswers.enqueue(f.program.write("blank.txt", "\r\n\r\nnobody\r\n"));
        LoadWorkListFile(c);
        QVERIFY(f.state.gamesPage.WorkList.isEmpty());
        QCOMPARE(f.port.messages.size(), 1);
    }

    // Saving or trimming a miss file with an empty Work List opens no dialog.
    void noticeWithoutDialog() {
        SearchFixture f;
        GamesPageContext c = f.context();
        SaveWorkListFile(c);
        RemoveFromMissFile(c);
        QCOMPARE(f.port.texts(), (QStringList{"There are no games in the work list. Add at least one.",
                                              "There are no games in the work list. Add at least one."}));
        QCOMPARE(f.port.messages[0].caption, QStringLiteral("Notice"));
        QVERIFY(f.port.dialogTitles.isEmpty());
    }

    // One line per Work List game goes: the last equal one. The file keeps its byte-order mark,
    // its permissions and its link; it is not rewritten when nothing matches.
    void missFile() {
        SearchFixture f;
        GamesPageContext c = f.context();
        f.state.gamesPage.WorkList = {game("pacman"), game("galaga")};
        const QString real = f.program.write("miss/real.txt",
                                             "\xEF\xBB\xBF"
                                             "pacman\r\ndkong\nPACMAN\r\nqix\r\n");
        ::chmod(QFile::encodeName(real).constData(), 0640);
        const QString link = f.program.file("miss.txt");
        QVERIFY(QFile::link(real, link));
        f.port.fileAnswers.enqueue(link);
        RemoveFromMissFile(c);
        QCOMPARE(f.program.read("miss/real.txt"), QByteArray("\xEF\xBB\xBF"
                                                             "pacman\r\ndkong\r\nqix\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(real).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0640));
        QCOMPARE(f.port.texts().last(),
                 "File \"" + link + "\" updated!\r\n1 entries removed based on current Work List.");

        const QString untouched = f.program.write("other.txt", "dkong\nqix");
        f.port.fileAnswers.enqueue(untouched);
        RemoveFromMissFile(c);
        QCOMPARE(f.program.read("other.txt"), QByteArray("dkong\nqix"));
        QCOMPARE(f.port.texts().last(), "No entries were removed from file \"" + untouched + "\".");
    }

    // "Large (32x32)" twice: the second choice changes nothing once the window has been activated.
    void iconSize() {
        GamesPageState page;
        QVERIFY(ApplyIconSize(page, 1, false));
        QCOMPARE(page.gameIconSize, 1);
        QCOMPARE(CellHeightTable[page.gameIconSize], 36);
        QVERIFY(!ApplyIconSize(page, 1, false));
        QVERIFY(ApplyIconSize(page, 1, true));  // before the first activation it is applied again
        QVERIFY(!ApplyIconSize(page, 4, true));
        QCOMPARE(page.gameIconSize, 1);
    }

    void popupMenuAndTabs() {
        SearchFixture f;
        QVERIFY(openPopupMenu(f.state.gamesPage, WorkListList));
        QCOMPARE(f.state.gamesPage.popupList, WorkListList);
        QVERIFY(!openPopupMenu(f.state.gamesPage, SearchResultsList));
        QCOMPARE(f.state.gamesPage.popupList, SearchResultsList);
        SwitchGamesTab(f.state.gamesPage, 1);
        QCOMPARE(f.state.gamesPage.gamesTab, 1);
        QCOMPARE(gamesInListText(3), QStringLiteral("3 games in list"));
        QCOMPARE(workListEntriesText(3), QStringLiteral("(3)"));
    }
};

KESTRUM_REGISTER_TEST(WorkListTest)
#include "tst_worklist.moc"
