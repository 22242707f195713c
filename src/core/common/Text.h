#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Stateless text scanning for the emulator's output and the program's own files.
// Positions given to and returned by FindText are 1-based; 0 means "not found".

int FindText(QByteArrayView pattern, QByteArrayView text, qsizetype start);
int FindText(const QString& pattern, const QString& text);

bool StartsWith(QByteArrayView text, QByteArrayView prefix);

// Blanks and control characters are the bytes 0x00 to 0x20.
inline bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
QByteArrayView TrimBlanksAndControls(QByteArrayView text);
QByteArrayView TrimLeadingBlanksAndControls(QByteArrayView text);

QByteArray FirstWord(QByteArrayView line);
QByteArray ValueAfterFirstBlank(QByteArrayView line);
QByteArrayView AttributeValue(QByteArrayView line, QByteArrayView name);
QByteArrayView ValueAfterKey(QByteArrayView line, QByteArrayView key, char stop);
QByteArrayView TaggedValue(QByteArrayView line, QByteArrayView tag);

QByteArray AsciiLowerCase(QByteArrayView text);
QByteArray AsciiUpperCase(QByteArrayView text);
QString AsciiLowerCase(const QString& text);
QString AsciiUpperCase(const QString& text);
bool EqualsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b);
bool EqualsIgnoringAsciiCase(const QString& a, const QString& b);
// Byte arrays and literals are 8-bit texts (these settle the choice between the two forms above).
inline QByteArray AsciiLowerCase(const QByteArray& text) {
    return AsciiLowerCase(QByteArrayView(text));
}
inline QByteArray AsciiUpperCase(const QByteArray& text) {
    return AsciiUpperCase(QByteArrayView(text));
}
inline bool EqualsIgnoringAsciiCase(const QByteArray& a, const char* b) {
    return EqualsIgnoringAsciiCase(QByteArrayView(a), QByteArrayView(b));
}
inline bool EqualsIgnoringAsciiCase(const QByteArray& a, const QByteArray& b) {
    return EqualsIgnoringAsciiCase(QByteArrayView(a), QByteArrayView(b));
}

int NaturalCompare(const QString& a, const QString& b);
int CompareInt64(qint64 a, qint64 b);

// Style 0: "mm:ss seconds"; style 1: "mm:ss". Days and hours are not shown.
QString FormatElapsed(qint64 milliseconds, int style);

// Splits text into lines at CR LF, LF or CR. A leading UTF-8 byte-order mark is skipped and a
// break at the very end does not add an empty line. The views point into `text`.
QList<QByteArrayView> SplitLines(QByteArrayView text);
QByteArrayView SkipUtf8Bom(QByteArrayView text);

// Integers as the settings file stores them: optional sign and decimal digits after blanks
// and control characters are trimmed. Anything else gives no value.
bool ParseDecimalInt(QByteArrayView text, qint64& value);

// A number written the way the program writes its files: "," thousands, "." decimals.
QString FormatThousands(qint64 value);
