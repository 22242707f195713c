#pragma once

#include "search/ListIcons.h"

#include <QList>
#include <QPixmap>
#include <array>

struct SetupChoices;
struct GamesPageState;
class DialogPort;

// IL_Games, IL_GameIcons and the header pictures, loaded from the icons folder beside the program.
class ImageLists final : public IconLists {
public:
    ImageLists(const SetupChoices& setup, const GamesPageState& page, DialogPort& port);

    void LoadListIcons() override;
    // The five header pictures, each only when its file exists.
    void loadHeaderPictures();

    const QList<QPixmap>& games() const { return m_games; }          // IL_Games, 16 pixels
    const QList<QPixmap>& gameIcons() const { return m_gameIcons; }  // IL_GameIcons, by IconIndex
    const std::array<QPixmap, 5>& headerPictures() const { return m_headers; }
    int gameIconPixels() const;
    // Counts the loads, so that a view redraws its icons only after a new one.
    int generation() const { return m_generation; }
    // The icon of IL_Games by its file name; an empty picture for a name it does not hold.
    QPixmap gamesIcon(const char* name) const;

private:
    // One icon into a list; a missing one is reported and leaves an empty image in its place.
    void LoadListIcon(const char* name, QList<QPixmap>& list, int size);

    const SetupChoices& m_setup;
    const GamesPageState& m_page;
    DialogPort& m_port;
    QList<QPixmap> m_games;
    QList<QPixmap> m_gameIcons;
    std::array<QPixmap, 5> m_headers;
    int m_generation = 0;
};
