#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The program's own INI files: read whole (a leading byte-order mark skipped), looked up without
// regard to the letter case of section and key names, written back whole with CR LF line ends, no
// blank lines and no byte-order mark. A file is either written anew section by section
// (beginSection, write) or edited where it stands (removeSection, setValue, serialized).
class IniDocument {
public:
    static IniDocument parse(QByteArrayView bytes);

    // The raw bytes after "=", trimmed of blanks and control characters; nullopt when missing.
    // When a key occurs more than once in a section, the last one counts.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;
    std::optional<QString> text(QByteArrayView section, QByteArrayView key) const;

    void beginSection(QByteArrayView section);
    void write(QByteArrayView key, QByteArrayView value);
    void writeText(QByteArrayView key, const QString& text);  // as UTF-8
    void writeNumber(QByteArrayView key, qint64 number);

    QByteArray bytes() const { return m_out; }

    // Editing a parsed file: a removed section set again comes back at the end; a value set again
    // keeps its key's place.
    void removeSection(QByteArrayView section);
    void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    QByteArray serialized() const;

private:
    struct Entry {
        QByteArray key;
        QByteArray value;
    };
    struct Section {
        QByteArray name;
        QList<Entry> entries;
    };
    QList<Section> m_sections;
    QByteArray m_out;
};

// Kestrum.ini in the program folder, whatever the letter case of its name; the exact name wins.
QString findSettingsFile(const QString& programFolder);
QString settingsFilePath(const QString& programFolder);  // where it is written
