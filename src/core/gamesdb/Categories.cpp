#include "Categories.h"

#include "GamesData.h"
#include "GamesDatabase.h"
#include "catalog/SetupChoices.h"
#include "common/CodePage.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <algorithm>
#include <numeric>

namespace {

// One line of a section, as views into the file: the parts before and after its first "=",
// each trimmed, or the whole line when it has none.
struct Entry {
    QByteArrayView name;
    QByteArrayView value;
    bool hasEquals;
};

// One section of the file; a section name given more than once reads as its last occurrence.
struct Section {
    QByteArrayView name;
    QList<Entry> entries;
};

QList<Section> readSections(QByteArrayView bytes) {
    QList<Section> sections;
    for (QByteArrayView line : splitLines(bytes)) {
        line = trimBlanksAndControls(line);
        if (line.isEmpty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections.append({trimBlanksAndControls(line.sliced(1, line.size() - 2)), {}});
            continue;
        }
        if (sections.isEmpty()) {
            continue;  // before the first section
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            sections.back().entries.append({line, {}, false});
        } else {
            sections.back().entries.append({trimBlanksAndControls(line.first(equals)),
                                            trimBlanksAndControls(line.sliced(equals + 1)), true});
        }
    }
    return sections;
}

const Section* lastSectionNamed(const QList<Section>& sections, QByteArrayView name) {
    for (auto it = sections.crbegin(); it != sections.crend(); ++it) {
        if (equalsIgnoringAsciiCase(it->name, name)) {
            return &*it;
        }
    }
    return nullptr;
}

bool sectionExists(const QList<Section>& sections, QByteArrayView name) {
    const Section* section = lastSectionNamed(sections, name);
    return section && !section->entries.isEmpty();
}

// The entry's text as the file gives it: the two parts joined by "=", or the line.
QByteArray entryText(const Entry& entry) {
    QByteArray text = entry.name.toByteArray();
    if (entry.hasEquals) {
        text += '=';
        text += entry.value;
    }
    return text;
}

void appendEntry(CategoryMap& map, QByteArrayView entry) {
    const qsizetype equals = entry.indexOf('=');
    map.append(equals < 0 ? entry : entry.first(equals),
               equals < 0 ? QByteArrayView() : entry.sliced(equals + 1));
}

// A-Z lowered into a buffer kept for the next call: look-ups then allocate nothing.
const QByteArray& loweredScratch(QByteArrayView text) {
    thread_local QByteArray scratch;
    scratch.resize(text.size());
    char* out = scratch.data();
    for (const char c : text) {
        *out++ = (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
    }
    return scratch;
}

}  // namespace

namespace {
bool hasUpperCase(QByteArrayView text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}
}  // namespace

void CategoryMap::append(QByteArrayView name, QByteArrayView category) {
    // Texts inside the held file bytes are used where they lie; others are copied.
    const auto held = [this](QByteArrayView text) {
        const bool inside = !m_file.isEmpty() && text.data() >= m_file.constData() &&
                            text.data() + text.size() <= m_file.constData() + m_file.size();
        return inside ? QByteArray::fromRawData(text.data(), text.size()) : text.toByteArray();
    };
    m_index.insert(hasUpperCase(name) ? AsciiLowerCase(name) : held(name), m_entries.size());
    // Thousands of games share a few hundred categories: keep one copy of each text.
    const QByteArray probe = QByteArray::fromRawData(category.data(), category.size());
    auto shared = m_categories.constFind(probe);
    if (shared == m_categories.cend()) {
        const QByteArray copy = category.toByteArray();
        shared = m_categories.insert(copy, copy);
    }
    m_entries.append({held(name), *shared});
}

QByteArrayView CategoryMap::lookupView(QByteArrayView name) const {
    const auto it = m_index.constFind(loweredScratch(name));
    return it == m_index.cend() ? QByteArrayView() : QByteArrayView(m_entries[*it].second);
}

QByteArray CategoryMap::lookup(QByteArrayView name) const {
    return lookupView(name).toByteArray();
}

CategoryMap buildCategoryMap(const QByteArray& fileBytes) {
    const QList<Section> sections = readSections(fileBytes);
    CategoryMap map;
    map.holdBytes(fileBytes);
    if (sectionExists(sections, "Category") && sectionExists(sections, "VerAdded")) {
        const QList<Entry>& entries = lastSectionNamed(sections, "Category")->entries;
        map.reserve(entries.size());
        for (const Entry& entry : entries) {
            map.append(entry.name, entry.value);
        }
        return map;
    }
    // One section per category: drop the first FOLDER_SETTINGS and ROOT_FOLDER from the names,
    // read every other section by its name and sort the entries by their text. A name given more
    // than once is read once, where and as it is last written: reading its last occurrence at each
    // of its places would multiply its entries by the number of places (a small file listing one
    // name thousands of times would take seconds and gigabytes) and give the same look-ups.
    QList<qsizetype> places;
    for (qsizetype i = 0; i < sections.size(); ++i) {
        places.append(i);
    }
    for (const char* skipped : {"FOLDER_SETTINGS", "ROOT_FOLDER"}) {
        const auto it = std::find_if(places.begin(), places.end(), [&sections, skipped](qsizetype i) {
            return equalsIgnoringAsciiCase(sections[i].name, QByteArrayView(skipped));
        });
        if (it != places.end()) {
            places.erase(it);
        }
    }
    QHash<QByteArray, qsizetype> lastOccurrence;  // A-Z lowered name -> its last section
    for (qsizetype i = 0; i < sections.size(); ++i) {
        lastOccurrence.insert(AsciiLowerCase(sections[i].name), i);
    }
    QList<QByteArray> entries;
    for (const qsizetype i : places) {
        const QByteArrayView name = sections[i].name;
        if (lastOccurrence.value(AsciiLowerCase(name)) != i) {
            continue;
        }
        for (const Entry& entry : sections[i].entries) {
            QByteArray text = entryText(entry);
            text += '=';
            text += name;
            entries.append(std::move(text));
        }
    }
    QList<QByteArray> keys;
    keys.reserve(entries.size());
    for (const QByteArray& entry : entries) {
        keys.append(AsciiLowerCase(entry));
    }
    QList<qsizetype> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](qsizetype a, qsizetype b) { return keys[a] < keys[b]; });
    for (const qsizetype at : order) {
        appendEntry(map, entries[at]);
    }
    return map;
}

QStringList categoryCaptions(const CategoryMap& map) {
    QHash<QByteArray, QByteArray> firstForm;  // lowered -> the form seen first
    for (const auto& [name, category] : map.entries()) {
        const QByteArray& key = loweredScratch(category);
        if (!firstForm.contains(key)) {
            firstForm.insert(key, category);
        }
    }
    QList<QByteArray> keys = firstForm.keys();
    std::sort(keys.begin(), keys.end());
    QStringList captions;
    captions.reserve(keys.size());
    for (const QByteArray& key : keys) {
        captions.append(decodeUtf8OrCp1252(firstForm.value(key)));
    }
    return captions;
}

bool LoadCategories(GamesData& games, const SetupChoices& setup, GamesDbEvents& events) {
    if (!IsUsableFile(setup.categoryFile)) {
        return false;
    }
    events.loadingCategories(true);
    games.categoryMap = std::make_shared<CategoryMap>(
        buildCategoryMap(readWholeFile(setup.categoryFile).value_or(QByteArray())));
    if (games.categoriesListStamp.isEmpty() || games.categoriesListStamp != setup.categoryFileStamp ||
        games.CategoriesList.isEmpty()) {
        games.categoriesListStamp = setup.categoryFileStamp;
        games.CategoriesList = categoryCaptions(*games.categoryMap);
    }
    events.loadingCategories(false);
    return true;
}

NonArcadeList NonArcadeList::fromBytes(QByteArrayView fileBytes) {
    NonArcadeList list;
    for (const QByteArrayView line : splitLines(fileBytes)) {
        list.m_lines.insert(AsciiLowerCase(line));
    }
    return list;
}

bool NonArcadeList::contains(QByteArrayView name) const {
    return m_lines.contains(AsciiLowerCase(name));
}
