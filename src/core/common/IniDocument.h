#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The program's own INI files: read whole, looked up without regard to the letter case of section
// and key names, written back whole with CR LF line ends and no byte-order mark.
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
