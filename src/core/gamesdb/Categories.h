#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct GamesData;
struct SetupChoices;
class GamesDbEvents;

// Game name to category text, looked up without regard to the letter case of A-Z (hashed). The
// texts are the category file's bytes; the loader decodes them.
class CategoryMap {
public:
    // Entries in map order; for a name given more than once the last entry wins.
    void append(QByteArrayView name, QByteArrayView category);
    QByteArray lookup(QByteArrayView name) const;
    QByteArrayView lookupView(QByteArrayView name) const;
    // Keeps the file's bytes so that entries taken from them need no copies of their own.
    void holdBytes(const QByteArray& fileBytes) { m_file = fileBytes; }
    void reserve(qsizetype entries) {
        m_entries.reserve(entries);
        m_index.reserve(entries);
    }
    const QList<QPair<QByteArray, QByteArray>>& entries() const { return m_entries; }
    qsizetype size() const { return m_entries.size(); }

private:
    QList<QPair<QByteArray, QByteArray>> m_entries;  // name, category
    QHash<QByteArray, qsizetype> m_index;            // lowered name -> entry
    QHash<QByteArray, QByteArray> m_categories;      // one shared copy of each category text
    QByteArray m_file;
};

// Reads a category file in the catver.ini layout (sections "Category" and "VerAdded") or the
// category.ini layout (one section per category listing its games).
CategoryMap buildCategoryMap(const QByteArray& fileBytes);

// The distinct category texts of a map, sorted and merged without regard to A-Z case; the form
// seen first stays. Decoded as UTF-8 when valid, else Windows-1252 (as the games' categories are).
QStringList categoryCaptions(const CategoryMap& map);

// Builds the category map and refreshes the categories list when its file's stamp changed.
// False when the category file is not usable.
bool LoadCategories(GamesData& games, const SetupChoices& setup, GamesDbEvents& events);

// The non-arcade list: every line of the file exactly as it stands, matched without regard to
// A-Z case (hashed).
class NonArcadeList {
public:
    static NonArcadeList fromBytes(QByteArrayView fileBytes);
    bool contains(QByteArrayView name) const;
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    QSet<QByteArray> m_lines;  // lowered
};
