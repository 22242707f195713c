#pragma once

#include "FakeDialogPort.h"
#include "GameRows.h"
#include "TempProgramFolder.h"
#include "app/AppState.h"
#include "search/GamesPage.h"

#include <QStringList>

class FakeGamesPageView final : public GamesPageView {
public:
    int shows = 0;
    int focusRequests = 0;
    QString captionWhenShown;
    const GamesPageState* page = nullptr;
    void showNow() override {
        ++shows;
        captionWhenShown = page ? page->searchFilterCaption : QString();
    }
    void focusWorkList() override { ++focusRequests; }
};

// A game with the fields the searches and filters read.
inline TGameInfo game(const QString& name, const QString& title = {}, const QString& category = {}) {
    TGameInfo g;
    g.Name = name;
    g.Title = title.isEmpty() ? name : title;
    g.Category = category;
    g.Kind = KindParent;
    g.IconIndex = 0;
    return g;
}

// The games page over a private program folder and a small table of games.
struct SearchFixture {
    SearchFixture() {
        state.setup.ProgramFolder = program.path();
        view.page = &state.gamesPage;
    }
    GamesPageContext context() { return {state.gamesPage, state.games, state.setup, port, view}; }
    QStringList search(const QString& text, bool exact = false, SearchKind kind = SearchCategory) {
        GamesPageContext c = context();
        RunSearch(c, text, exact, kind);
        return namesOf(state.gamesPage.SearchResults);
    }

    TempProgramFolder program;
    AppState state;
    FakeDialogPort port;
    FakeGamesPageView view;
};
