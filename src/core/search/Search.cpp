#include "GameRowOrder.h"
#include "GamesPage.h"

#include "common/DialogPort.h"
#include "common/Text.h"
#include "gamesdb/GamesData.h"

namespace {

char16_t folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}
char16_t unitAt(const QString& text, qsizetype i) {
    return text[i].unicode();
}
char16_t unitAt(const QByteArray& text, qsizetype i) {
    return char16_t(static_cast<unsigned char>(text[i]));
}

// Whether `needle` (A-Z already lowered) occurs in `field` with its A-Z lowered; every other
// character must match exactly.
template <typename Field>
bool containsFolded(const Field& field, const QString& needle) {
    const qsizetype n = field.size();
    const qsizetype m = needle.size();
    for (qsizetype start = 0; start + m <= n; ++start) {
        qsizetype k = 0;
        while (k < m && folded(unitAt(field, start + k)) == needle[k].unicode()) {
            ++k;
        }
        if (k == m) {
            return true;
        }
    }
    return false;
}

bool matchesText(const TGameInfo& game, const QString& text, const QString& lowered, bool exact,
                 SearchKind kind) {
    switch (kind) {
        case SearchCategory:
            return exact ? !game.Category.isEmpty() && equalsIgnoringAsciiCase(game.Category, text)
                         : containsFolded(game.Category, lowered);
        case SearchTitle:
            return containsFolded(game.Title, lowered);
        case SearchYear:
            return containsFolded(game.Year, lowered);
        case SearchManufacturer:
            return containsFolded(game.Manufacturer, lowered);
        case SearchDriver:
            return containsFolded(game.Driver, lowered);
    }
    return false;
}

QString searchCaption(SearchKind kind, const QString& text) {
    switch (kind) {
        case SearchTitle:
            return QStringLiteral("Title: ") + text;
        case SearchYear:
            return QStringLiteral("Year: ") + text;
        case SearchManufacturer:
            return QStringLiteral("Manufacturer: ") + text;
        case SearchDriver:
            return QStringLiteral("Driver: ") + text;
        case SearchCategory:
            break;
    }
    return text;
}

bool blankOrControlOnly(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 0x20) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString gamesInListText(qsizetype rows) {
    return QStringLiteral("%1 games in list").arg(rows);
}

QString workListEntriesText(qsizetype rows) {
    return u'(' + QString::number(rows) + u')';
}

void RunSearch(GamesPageContext& context, const QString& text, bool exact, SearchKind kind) {
    if (blankOrControlOnly(text)) {
        return;  // nothing at all changes, not even the label
    }
    GamesPageState& page = context.page;
    context.port.setBusyPointer(true);
    page.searchRunning = true;
    page.searchFilterCaption = QStringLiteral("   adding games...");
    context.view.showNow();
    context.port.processPendingEvents();

    // "*" as typed, or "all" in any case; " all" and "all " are ordinary texts.
    const QString lowered = AsciiLowerCase(text);
    const bool matchAll = text == QStringLiteral("*") || lowered == QStringLiteral("all");
    page.SearchResults.clear();
    const bool anyInWorkList = !page.WorkListNames.isEmpty();
    for (const TGameInfo& game : context.games.FullGamesList) {
        if (anyInWorkList && page.WorkListNames.contains(AsciiLowerCase(game.Name))) {
            continue;
        }
        if (PassesFilters(game, page.filters) &&
            (matchAll || matchesText(game, text, lowered, exact, kind))) {
            page.SearchResults.append(game);
        }
    }
    sortGameRows(page.SearchResults, page.searchResultsSort);
    page.addToWorkListEnabled = !page.SearchResults.isEmpty();
    page.searchRunning = false;
    page.searchFilterCaption = searchCaption(kind, text);
    context.port.processPendingEvents();
    context.port.setBusyPointer(false);
}

void pickCategory(GamesPageContext& context, int row) {
    const QStringList& categories = context.games.CategoriesList;
    if (row < 0 || row >= categories.size() || row == context.page.selectedCategoryRow) {
        return;  // only a row that becomes selected searches
    }
    context.page.selectedCategoryRow = row;
    RunSearch(context, categories[row], true, SearchCategory);
}

void searchWithButton(GamesPageContext& context, SearchKind kind) {
    context.page.selectedCategoryRow = -1;
    RunSearch(context, context.page.categoryText, false, kind);
}

SearchKind searchKindForEnter(Qt::KeyboardModifiers modifiers) {
    return (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier ? SearchTitle : SearchCategory;
}

void searchWithEnter(GamesPageContext& context, Qt::KeyboardModifiers modifiers) {
    searchWithButton(context, searchKindForEnter(modifiers));
}

void showSearchHelp(DialogPort& port) {
    port.showMessage(
        QStringLiteral("How to use the search box"),
        QStringLiteral(
            "  If you want to perform a more general search, you can type a text in the search box above the "
            "categories list. There are two options:\r\n\r\n1. Click on \"Search\" button for categories (or "
            "hit "
            "ENTER in search box)\r\nexample: \"mature\" - all categories that have \"mature\" in the title "
            "will be "
            "added to the \"Search Results\" list.\r\n\r\n2. Click \"Search Title\" button for game titles "
            "(or hit "
            "Shift+ENTER in search box)\r\nexample: \"galaga\" - all games that have \"galaga\" in the game "
            "title "
            "will be added to the \"Search Results\" list.\r\n\r\n3. You can type \"*\" or \"all\" into the "
            "search "
            "box (no quotes). All games will be added to the search results list."),
        MessageIcon::Information);
}
