#include "ColumnLayouts.h"

#include "GameListColumns.h"
#include "catalog/SetupChoices.h"
#include "common/FileOps.h"
#include "common/IniDocument.h"

#include <algorithm>

namespace {

constexpr QByteArrayView kLayoutSection = "Layout";

QString layoutsFile(const QString& programFolder) {
    return programFolder + QStringLiteral("layouts.ini");
}

QByteArray splitterKey(int layout) {
    return LayoutPrefix(layout) + "SplitterPos";
}

IniDocument readIni(const QString& path) {
    return IniDocument::parse(readWholeFile(path).value_or(QByteArray()));
}

int number(const IniDocument& file, QByteArrayView section, QByteArrayView key, int fallback) {
    bool ok = false;
    const int value = file.value(section, key).value_or(QByteArray()).toInt(&ok);
    return ok ? value : fallback;
}

// The file as edited, or no file at all when nothing is left in it.
void writeOrDelete(const QString& path, const IniDocument& file) {
    const QByteArray bytes = file.serialized();
    if (bytes.isEmpty()) {
        if (FileExistsNotFolder(path)) {
            deleteFile(path);
        }
        return;
    }
    writeFileAtomically(path, bytes);
}

}  // namespace

ColumnLayout ColumnLayout::defaults(GameListId list) {
    ColumnLayout layout;
    for (int column = 0; column < kGameListColumnCount; ++column) {
        layout.widths[size_t(column)] = GameListColumns[size_t(column)].defaultWidth(list);
        layout.visible[size_t(column)] = true;
        layout.order[size_t(column)] = column;
    }
    return layout;
}

QString ColumnLayoutFile(const QString& programFolder, GameListId list) {
    return programFolder + (list == WorkListList ? QStringLiteral("layouts_worklist.ini")
                                                 : QStringLiteral("layouts_searchresults.ini"));
}

QByteArray LayoutPrefix(int layout) {
    return "Layout" + QByteArray::number(layout) + '_';
}

std::array<int, kGameListColumnCount> ReadColumnPositions(const IniDocument& file, QByteArrayView section) {
    std::array<int, kGameListColumnCount> order{};
    std::array<bool, kGameListColumnCount> taken{};
    taken[0] = true;  // column 0 is always first
    bool valid = true;
    for (int column = 1; column < kGameListColumnCount && valid; ++column) {
        const int position = number(file, section, GameListColumns[size_t(column)].key, column);
        valid = position > 0 && position < kGameListColumnCount && !taken[size_t(position)];
        if (valid) {
            order[size_t(position)] = column;
            taken[size_t(position)] = true;
        }
    }
    if (!valid) {
        for (int position = 0; position < kGameListColumnCount; ++position) {
            order[size_t(position)] = position;
        }
    }
    return order;
}

void removeColumnSections(IniDocument& file, const QByteArray& prefix) {
    for (const char* section : {"Width", "Visible", "Position"}) {
        file.removeSection(prefix + section);
    }
}

bool writeColumnEntries(IniDocument& file, const QByteArray& prefix, GameListId list, int column,
                        int position, int width, bool shown) {
    const char* key = GameListColumns[size_t(column)].key;
    bool written = false;
    if (column > 0 && position != column) {
        file.setValue(prefix + "Position", key, QByteArray::number(position));
        written = true;
    }
    if (column < kFirstStatusColumn && width != GameListColumns[size_t(column)].defaultWidth(list)) {
        file.setValue(prefix + "Width", key, QByteArray::number(width));
        written = true;
    }
    if (!shown) {
        file.setValue(prefix + "Visible", key, "0");
        written = true;
    }
    return written;
}

void ApplyWindowLayout(LayoutContext& context) {
    const int layout = context.page.layout;
    int size = 0;
    if (layout == 2 || layout == 3) {
        size = context.view.defaultSearchListSize(layout);
        const QString path = layoutsFile(context.setup.ProgramFolder);
        if (FileExistsNotFolder(path)) {
            size = number(readIni(path), kLayoutSection, splitterKey(layout), size);
        }
    }
    context.view.arrangeLayout(layout, size);
}

void SaveSplitterPosition(LayoutContext& context) {
    const int layout = context.page.layout;
    if (layout != 2 && layout != 3) {
        return;
    }
    const QString path = layoutsFile(context.setup.ProgramFolder);
    IniDocument file = readIni(path);
    file.setValue(kLayoutSection, splitterKey(layout),
                  QByteArray::number(context.view.searchListSize(layout)));
    writeFileAtomically(path, file.serialized());
}

void LoadColumnLayout(LayoutContext& context, bool searchResults, bool workList) {
    const QByteArray prefix = LayoutPrefix(context.page.layout);
    for (const GameListId list : {SearchResultsList, WorkListList}) {
        const QString path = ColumnLayoutFile(context.setup.ProgramFolder, list);
        if (!(list == SearchResultsList ? searchResults : workList) || !IsUsableFile(path)) {
            continue;
        }
        const IniDocument file = readIni(path);
        if (list == SearchResultsList) {
            context.view.setCategoriesWidth(
                number(file, prefix + "Category", "Width", kCategoriesPanelMinWidth));
        }
        ColumnLayout columns = ColumnLayout::defaults(list);
        columns.order = ReadColumnPositions(file, prefix + "Position");
        for (int column = 0; column < kGameListColumnCount; ++column) {
            const char* key = GameListColumns[size_t(column)].key;
            if (column < kFirstStatusColumn) {
                columns.widths[size_t(column)] =
                    number(file, prefix + "Width", key, columns.widths[size_t(column)]);
            }
            if (column > 0) {
                columns.visible[size_t(column)] = number(file, prefix + "Visible", key, 1) != 0;
            }
        }
        context.view.showColumns(list, columns);
    }
}

void SaveColumnLayout(LayoutContext& context) {
    const QByteArray prefix = LayoutPrefix(context.page.layout);
    for (const GameListId list : {SearchResultsList, WorkListList}) {
        const QString path = ColumnLayoutFile(context.setup.ProgramFolder, list);
        IniDocument file = readIni(path);
        if (list == SearchResultsList) {
            file.setValue(prefix + "Category", "Width", QByteArray::number(context.view.categoriesWidth()));
        }
        removeColumnSections(file, prefix);
        const ColumnLayout shown = context.view.columns(list);
        for (int column = 0; column < kGameListColumnCount; ++column) {
            const auto at = std::find(shown.order.begin(), shown.order.end(), column);
            writeColumnEntries(file, prefix, list, column, int(at - shown.order.begin()),
                               shown.widths[size_t(column)], shown.visible[size_t(column)]);
        }
        writeOrDelete(path, file);
    }
}
