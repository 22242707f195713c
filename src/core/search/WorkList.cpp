#include "GameRowOrder.h"
#include "GamesPage.h"

#include "catalog/SetupChoices.h"
#include "common/CodePage.h"
#include "common/DialogPort.h"
#include "common/FileDialog.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "gamesdb/GamesData.h"

#include <QDir>
#include <QHash>
#include <QThread>

#include <algorithm>

namespace {

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

void noticeEmptyWorkList(DialogPort& port) {
    port.showMessage(QStringLiteral("Notice"),
                     QStringLiteral("There are no games in the work list. Add at least one."),
                     MessageIcon::Warning);
}

QString workListFolder(const SetupChoices& setup) {
    return setup.ProgramFolder + QStringLiteral("worklist/");
}

// The lines of a list file, split at CR LF, a lone CR or a lone LF, a leading byte-order mark
// skipped; each line untrimmed.
QStringList readListLines(const QByteArray& bytes) {
    const QByteArrayView text = QByteArrayView(bytes).startsWith(kByteOrderMark)
                                    ? QByteArrayView(bytes).sliced(3)
                                    : QByteArrayView(bytes);
    QStringList lines;
    for (const QByteArrayView line : splitLines(text)) {
        lines.append(decodeUtf8OrCp1252(line));
    }
    return lines;
}

// A name as the program writes it into its 8-bit files: ASCII as it is, anything else as UTF-8.
QByteArray encodedLine(const QString& text) {
    return text.toUtf8() + "\r\n";
}

void removeRows(GameList& list, QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (const int row : rows) {
        if (row >= 0 && row < list.size()) {
            list.removeAt(row);
        }
    }
}

void emptySearchResults(GamesPageState& page) {
    page.SearchResults.clear();
    page.searchFilterCaption = QStringLiteral("Category:");
}

}  // namespace

void RebuildWorkListNames(GamesPageState& page) {
    page.WorkListNames.clear();
    page.WorkListNames.reserve(page.WorkList.size());
    for (const TGameInfo& game : page.WorkList) {
        page.WorkListNames.insert(AsciiLowerCase(game.Name));
    }
}

void SwitchGamesTab(GamesPageState& page, int tab) {
    if (tab == 0 || tab == 1) {
        page.gamesTab = tab;
    }
}

bool ApplyIconSize(GamesPageState& page, int size, bool firstActivationPending) {
    if (size < 0 || size >= int(CellHeightTable.size()) ||
        (size == page.gameIconSize && !firstActivationPending)) {
        return false;
    }
    page.gameIconSize = size;
    return true;
}

bool openPopupMenu(GamesPageState& page, GameListId list) {
    page.popupList = list;
    return list == WorkListList;
}

std::vector<qsizetype> AddSearchResultsToWorkList(GamesPageContext& context, bool fromButton) {
    GamesPageState& page = context.page;
    if (page.SearchResults.isEmpty()) {
        context.port.showMessage(
            QStringLiteral("No Games Found"),
            QStringLiteral("There are no games in the search list. Select a category first."),
            MessageIcon::Warning);
        return {};
    }
    context.port.setBusyPointer(true);
    page.WorkList.reserve(page.WorkList.size() + page.SearchResults.size());
    for (const TGameInfo& game : std::as_const(page.SearchResults)) {
        if (!game.Name.isEmpty()) {  // a nameless row would stand for whole folders in the job
            page.WorkList.append(game);
        }
    }
    std::vector<qsizetype> order = sortGameRows(page.WorkList, page.workListSort);
    page.addToWorkListEnabled = false;
    if (page.layout == 1) {
        SwitchGamesTab(page, 1);
    }
    RebuildWorkListNames(page);
    emptySearchResults(page);
    context.port.setBusyPointer(false);
    if (fromButton && page.layout == 1) {
        context.view.focusWorkList();
    }
    return order;
}

void LoadWorkListFile(GamesPageContext& context) {
    const QString path =
        PickFile(context.port, FileKind::GamesList, QStringLiteral("Load Games List From File"),
                 workListFolder(context.setup), FileDialogMode::Open, context.setup.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    const QStringList lines = readListLines(readWholeFile(path).value_or(QByteArray()));
    if (lines.isEmpty()) {
        context.port.showMessage(QStringLiteral("No Games Selected"),
                                 QStringLiteral("The file is empty. There are no games to be added."),
                                 MessageIcon::Warning);
        return;
    }
    GamesPageState& page = context.page;
    context.port.setBusyPointer(true);
    QSet<QString> names;
    for (const QString& line : lines) {
        names.insert(AsciiLowerCase(line));
    }
    page.WorkList.clear();
    for (const TGameInfo& game : context.games.FullGamesList) {
        if (!game.Name.isEmpty() && names.contains(AsciiLowerCase(game.Name))) {
            page.WorkList.append(game);
        }
    }
    std::vector<qsizetype> order = sortGameRows(page.WorkList, page.workListSort);
    page.addToWorkListEnabled = false;
    RebuildWorkListNames(page);
    context.port.setBusyPointer(false);
}

void SaveWorkListFile(GamesPageContext& context) {
    const GamesPageState& page = context.page;
    if (page.WorkList.isEmpty()) {
        noticeEmptyWorkList(context.port);
        return;
    }
    const QString folder = workListFolder(context.setup);
    QDir().mkpath(folder);
    const QString path = PickFile(context.port, FileKind::GamesList, QStringLiteral("Save Work List to File"),
                                  folder, FileDialogMode::Save, context.setup.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    QByteArray bytes;
    for (const TGameInfo& game : page.WorkList) {
        bytes += encodedLine(game.Name);
    }
    const bool written = writeFileAtomically(path, bytes);
    QThread::msleep(10);
    if (written && IsUsableFile(path)) {
        context.port.showMessage(QStringLiteral("Save Work List to File"),
                                 QStringLiteral("File generated successfully!"), MessageIcon::Information);
    } else {
        context.port.showMessage(
            QStringLiteral("Save Work List to File"),
            QStringLiteral("The file \"") + path + QStringLiteral("\" could not be written."),
            MessageIcon::Error);
    }
}

void RemoveFromMissFile(GamesPageContext& context) {
    const GamesPageState& page = context.page;
    if (page.WorkList.isEmpty()) {
        noticeEmptyWorkList(context.port);
        return;
    }
    const QString path =
        PickFile(context.port, FileKind::AnyFile, QStringLiteral("Select a ClrMAME Miss File"), QString(),
                 FileDialogMode::Open, context.setup.ProgramFolder);
    if (path.isEmpty()) {
        return;
    }
    const QByteArray bytes = readWholeFile(path).value_or(QByteArray());
    const QStringList lines = readListLines(bytes);
    // Each Work List game takes away one line equal to its name: the last such line left.
    QHash<QString, QList<qsizetype>> linesByName;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        linesByName[AsciiLowerCase(lines[i])].append(i);
    }
    QList<bool> removed(lines.size(), false);
    int count = 0;
    for (const TGameInfo& game : page.WorkList) {
        const auto it = linesByName.find(AsciiLowerCase(game.Name));
        if (it != linesByName.end() && !it->isEmpty()) {
            removed[it->takeLast()] = true;
            ++count;
        }
    }
    QThread::msleep(10);
    const QString caption = QStringLiteral("Delete Games From ClrMAME Miss File");
    if (count == 0) {
        context.port.showMessage(
            caption, QStringLiteral("No entries were removed from file \"") + path + QStringLiteral("\"."),
            MessageIcon::Information);
        return;
    }
    // Written beside and renamed over it: a failure never leaves the user's file half written.
    QByteArray out =
        QByteArrayView(bytes).startsWith(kByteOrderMark) ? kByteOrderMark.toByteArray() : QByteArray();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!removed[i]) {
            out += encodedLine(lines[i]);
        }
    }
    if (!writeFileAtomically(path, out)) {
        context.port.showMessage(caption,
                                 QStringLiteral("The file \"") + path +
                                     QStringLiteral("\" could not be written; it was left as it was."),
                                 MessageIcon::Error);
        return;
    }
    context.port.showMessage(caption,
                             QStringLiteral("File \"") + path + QStringLiteral("\" updated!\r\n") +
                                 QString::number(count) +
                                 QStringLiteral(" entries removed based on current Work List."),
                             MessageIcon::Information);
}

void RemoveSelectedRows(GamesPageContext& context, GameListId list, QList<int> rows, RemoveTrigger trigger) {
    if (rows.isEmpty()) {
        return;
    }
    GamesPageState& page = context.page;
    if (list == SearchResultsList) {
        removeRows(page.SearchResults, rows);
        if (page.SearchResults.isEmpty()) {
            page.searchFilterCaption = QStringLiteral("Category:");
        }
        if (trigger == RemoveTrigger::Menu) {
            page.addToWorkListEnabled = !page.SearchResults.isEmpty();  // the Del key leaves it
        }
    } else {
        removeRows(page.WorkList, rows);
        RebuildWorkListNames(page);
    }
}

void ClearGameList(GamesPageContext& context, GameListId list) {
    GamesPageState& page = context.page;
    if (list == SearchResultsList) {
        emptySearchResults(page);
        page.addToWorkListEnabled = false;
    } else {
        page.WorkList.clear();
        page.WorkListNames.clear();
    }
}
