#include "ImageLists.h"

#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "search/GamesPageState.h"

#include <QImageReader>

namespace {

QPixmap readImage(const QString& path, int index) {
    QImageReader reader(path, "ico");
    return reader.jumpToImage(index) ? QPixmap::fromImage(reader.read()) : QPixmap();
}

}  // namespace

ImageLists::ImageLists(const SetupChoices& setup, const GamesPageState& page, DialogPort& port)
    : m_setup(setup), m_page(page), m_port(port) {}

int ImageLists::gameIconPixels() const {
    const int size = m_page.gameIconSize;
    return kGameIconPixels[size >= 0 && size < int(kGameIconPixels.size()) ? size : 3];
}

void ImageLists::LoadListIcon(const char* name, QList<QPixmap>& list, int size) {
    const int image = pickListIcon(m_setup.ResourceFolder, name, size, size);
    QPixmap pixmap = image >= 0 ? readImage(iconPath(m_setup.ResourceFolder, name), image) : QPixmap();
    if (pixmap.isNull()) {
        m_port.showMessage(QStringLiteral("Error"), iconLoadFailureText(name, size, size),
                           MessageIcon::Warning);
        pixmap = QPixmap(size, size);  // an empty image keeps every later icon at its index
        pixmap.fill(Qt::transparent);
    }
    list.append(pixmap);
}

void ImageLists::LoadListIcons() {
    m_games.clear();
    for (const char* name : kGamesIconNames) {
        LoadListIcon(name, m_games, 16);
    }
    m_gameIcons.clear();
    const int size = gameIconPixels();
    for (const char* name : kGameIconNames) {
        LoadListIcon(name, m_gameIcons, size);
    }
    ++m_generation;
}

QPixmap ImageLists::gamesIcon(const char* name) const {
    for (size_t i = 0; i < kGamesIconNames.size() && qsizetype(i) < m_games.size(); ++i) {
        if (qstrcmp(kGamesIconNames[i], name) == 0) {
            return m_games[qsizetype(i)];
        }
    }
    return {};
}

void ImageLists::loadHeaderPictures() {
    for (size_t i = 0; i < kHeaderPictureNames.size(); ++i) {
        const QString path = iconPath(m_setup.ResourceFolder, kHeaderPictureNames[i]);
        if (FileExistsNotFolder(path)) {
            m_headers[i] = readImage(path, 0);
        }
    }
    ++m_generation;
}
