#include "IniDocument.h"

#include "common/CodePage.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <QDir>

IniDocument IniDocument::parse(QByteArrayView bytes) {
    IniDocument document;
    Section* current = nullptr;
    for (QByteArrayView line : splitLines(bytes)) {
        line = trimBlanksAndControls(line);
        if (line.isEmpty() || line[0] == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            document.m_sections.append(
                {trimBlanksAndControls(line.sliced(1, line.size() - 2)).toByteArray(), {}});
            current = &document.m_sections.back();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!current || equals < 0) {
            continue;
        }
        current->entries.append({trimBlanksAndControls(line.first(equals)).toByteArray(),
                                 trimBlanksAndControls(line.sliced(equals + 1)).toByteArray()});
    }
    return document;
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const {
    std::optional<QByteArray> found;
    for (const Section& s : m_sections) {
        if (!equalsIgnoringAsciiCase(s.name, section)) {
            continue;
        }
        for (const Entry& e : s.entries) {
            if (equalsIgnoringAsciiCase(e.key, key)) {
                found = e.value;
            }
        }
    }
    return found;
}

std::optional<QString> IniDocument::text(QByteArrayView section, QByteArrayView key) const {
    const auto raw = value(section, key);
    if (!raw) {
        return std::nullopt;
    }
    return decodeUtf8OrCp1252(*raw);
}

void IniDocument::beginSection(QByteArrayView section) {
    m_out += '[';
    m_out += section;
    m_out += "]\r\n";
}

void IniDocument::write(QByteArrayView key, QByteArrayView value) {
    m_out += key;
    m_out += '=';
    m_out += value;
    m_out += "\r\n";
}

void IniDocument::writeText(QByteArrayView key, const QString& text) {
    write(key, QByteArrayView(text.toUtf8()));
}

void IniDocument::writeNumber(QByteArrayView key, qint64 number) {
    write(key, QByteArrayView(QByteArray::number(number)));
}

QString settingsFilePath(const QString& programFolder) {
    return programFolder + QStringLiteral("Kestrum.ini");
}

QString findSettingsFile(const QString& programFolder) {
    const QString exact = settingsFilePath(programFolder);
    if (FileExistsNotFolder(exact)) {
        return exact;
    }
    const QStringList names = QDir(programFolder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (equalsIgnoringAsciiCase(name, QStringLiteral("Kestrum.ini"))) {
            return programFolder + name;
        }
    }
    return {};
}
