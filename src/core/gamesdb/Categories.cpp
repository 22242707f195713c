#include "Categories.h"

#include "app/AppState.h"
#include "common/CodePage.h"
#include "common/DialogPort.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <algorithm>
#include <numeric>

namespace {

// One section of the file; a section name given more than once reads as its last occurrence.
struct Section {
    QByteArray name;
    QList<QByteArray> entries;
};

QList<Section> readSections(QByteArrayView bytes) {
    QList<Section> sections;
    for (QByteArrayView line : SplitLines(bytes)) {
        line = TrimBlanksAndControls(line);
        if (line.isEmpty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            sections.append({TrimBlanksAndControls(line.sliced(1, line.size() - 2)).toByteArray(), {}});
            continue;
        }
        if (sections.isEmpty()) {
            continue;  // before the first section
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            sections.back().entries.append(line.toByteArray());
        } else {
            sections.back().entries.append(TrimBlanksAndControls(line.first(equals)).toByteArray() + '=' +
                                           TrimBlanksAndControls(line.sliced(equals + 1)).toByteArray());
        }
    }
    return sections;
}

const Section* lastSectionNamed(const QList<Section>& sections, QByteArrayView name) {
    for (auto it = sections.crbegin(); it != sections.crend(); ++it) {
        if (EqualsIgnoringAsciiCase(it->name, name)) {
            return &*it;
        }
    }
    return nullptr;
}

bool sectionExists(const QList<Section>& sections, QByteArrayView name) {
    const Section* section = lastSectionNamed(sections, name);
    return section && !section->entries.isEmpty();
}

void appendEntry(CategoryMap& map, QByteArrayView entry) {
    const qsizetype equals = entry.indexOf('=');
    map.append(equals < 0 ? entry : entry.first(equals),
               equals < 0 ? QByteArrayView() : entry.sliced(equals + 1));
}

}  // namespace

void CategoryMap::append(QByteArrayView name, QByteArrayView category) {
    m_index.insert(AsciiLowerCase(name), m_entries.size());
    m_entries.append({name.toByteArray(), category.toByteArray()});
}

QByteArrayView CategoryMap::lookupView(QByteArrayView name) const {
    const auto it = m_index.constFind(AsciiLowerCase(name));
    return it == m_index.cend() ? QByteArrayView() : QByteArrayView(m_entries[*it].second);
}

QByteArray CategoryMap::lookup(QByteArrayView name) const {
    return lookupView(name).toByteArray();
}

CategoryMap BuildCategoryMap(QByteArrayView fileBytes) {
    const QList<Section> sections = readSections(fileBytes);
    CategoryMap map;
    if (sectionExists(sections, "Category") && sectionExists(sections, "VerAdded")) {
        for (const QByteArray& entry : lastSectionNamed(sections, "Category")->entries) {
            appendEntry(map, entry);
        }
        return map;
    }
    // One section per category: drop the first FOLDER_SETTINGS and ROOT_FOLDER from the names,
    // read every other section by its name and sort the entries by their text.
    QList<QByteArray> names;
    for (const Section& section : sections) {
        names.append(section.name);
    }
    for (const char* skipped : {"FOLDER_SETTINGS", "ROOT_FOLDER"}) {
        const auto it = std::find_if(names.begin(), names.end(), [skipped](const QByteArray& n) {
            return EqualsIgnoringAsciiCase(n, skipped);
        });
        if (it != names.end()) {
            names.erase(it);
        }
    }
    QList<QByteArray> entries;
    for (const QByteArray& name : names) {
        for (const QByteArray& entry : lastSectionNamed(sections, name)->entries) {
            entries.append(entry + '=' + name);
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

QStringList CategoryCaptions(const CategoryMap& map) {
    QHash<QByteArray, QByteArray> firstForm;  // lowered -> the form seen first
    for (const auto& [name, category] : map.entries()) {
        const QByteArray key = AsciiLowerCase(category);
        if (!firstForm.contains(key)) {
            firstForm.insert(key, category);
        }
    }
    QList<QByteArray> keys = firstForm.keys();
    std::sort(keys.begin(), keys.end());
    QStringList captions;
    captions.reserve(keys.size());
    for (const QByteArray& key : keys) {
        captions.append(DecodeUtf8OrCp1252(firstForm.value(key)));
    }
    return captions;
}

QString CategoriesTotalText(qsizetype rows) {
    return QStringLiteral("%1 categories in list").arg(rows);
}

bool LoadCategories(AppState& state, DialogPort& port) {
    if (!IsUsableFile(state.categoryFile)) {
        return false;
    }
    state.messages = QStringLiteral("Loading Categories List...");
    port.showStateNow();
    state.categoryMap = std::make_shared<CategoryMap>(
        BuildCategoryMap(ReadWholeFile(state.categoryFile).value_or(QByteArray())));
    const int selected = state.selectedCategoryRow;
    if (state.categoriesListStamp.isEmpty() || state.categoriesListStamp != state.categoryFileStamp ||
        state.CategoriesList.isEmpty()) {
        state.categoriesListStamp = state.categoryFileStamp;
        state.CategoriesList = CategoryCaptions(*state.categoryMap);
        state.selectedCategoryRow = -1;
    }
    state.messages.clear();
    state.categoriesTotalText = CategoriesTotalText(state.CategoriesList.size());
    if (selected >= 0 && !state.CategoriesList.isEmpty()) {
        state.selectedCategoryRow = selected < state.CategoriesList.size() ? selected : 0;
    }
    return true;
}

NonArcadeList NonArcadeList::fromBytes(QByteArrayView fileBytes) {
    NonArcadeList list;
    for (const QByteArrayView line : SplitLines(fileBytes)) {
        list.m_lines.insert(AsciiLowerCase(line));
    }
    return list;
}

bool NonArcadeList::contains(QByteArrayView name) const {
    return m_lines.contains(AsciiLowerCase(name));
}
