#include "IniDocument.h"

#include "common/CodePage.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <QDir>

IniDocument IniDocument::parse(QByteArrayView bytes) {
    IniDocument document;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes = bytes.sliced(3);
    }
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

void IniDocument::removeSection(QByteArrayView section) {
    m_sections.removeIf([section](const Section& s) { return equalsIgnoringAsciiCase(s.name, section); });
}

void IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    Section* target = nullptr;
    for (Section& s : m_sections) {
        if (equalsIgnoringAsciiCase(s.name, section)) {
            target = &s;
        }
    }
    if (!target) {
        m_sections.append({section.toByteArray(), {}});
        target = &m_sections.back();
    }
    for (qsizetype i = target->entries.size() - 1; i >= 0; --i) {
        if (equalsIgnoringAsciiCase(target->entries[i].key, key)) {
            target->entries[i].value = value.toByteArray();
            return;
        }
    }
    target->entries.append({key.toByteArray(), value.toByteArray()});
}

QByteArray IniDocument::serialized() const {
    QByteArray out;
    for (const Section& s : m_sections) {
        out += '[' + s.name + "]\r\n";
        for (const Entry& e : s.entries) {
            out += e.key + '=' + e.value + "\r\n";
        }
    }
    return out;
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
