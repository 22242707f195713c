#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <cstdint>
#include <string>

// Stateless text scanning for the emulator's output and the program's own files.
// Positions given to and returned by FindText are 1-based; 0 means "not found".

int FindText(QByteArrayView pattern, QByteArrayView text, qsizetype start);
// The 0-based index of `needle` in `text` at or after `from`, or -1 (memmem: fast for the short
// needles of the scanners).
qsizetype findBytes(QByteArrayView text, QByteArrayView needle, qsizetype from = 0);
int FindText(const QString& pattern, const QString& text);

bool StartsWith(QByteArrayView text, QByteArrayView prefix);
// The same for a literal prefix: its length is known when compiling, so the test is inlined (the
// scanners make millions of them).
template <size_t N>
inline bool StartsWith(QByteArrayView text, const char (&prefix)[N]) {
    constexpr size_t length = N - 1;
    if (text.size() < qsizetype(length)) {
        return false;
    }
    // Compared eight bytes at a time through integer loads, which the compiler keeps inline.
    const char* p = text.data();
    size_t at = 0;
    for (; at + 8 <= length; at += 8) {
        uint64_t a;
        uint64_t b;
        __builtin_memcpy(&a, p + at, 8);
        __builtin_memcpy(&b, prefix + at, 8);
        if (a != b) {
            return false;
        }
    }
    for (; at < length; ++at) {
        if (p[at] != prefix[at]) {
            return false;
        }
    }
    return true;
}

// Blanks and control characters are the bytes 0x00 to 0x20.
inline bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}
QByteArrayView trimBlanksAndControls(QByteArrayView text);
inline QByteArrayView trimLeadingBlanksAndControls(QByteArrayView text) {
    qsizetype begin = 0;
    while (begin < text.size() && isBlankOrControl(text[begin])) {
        ++begin;
    }
    return text.sliced(begin);
}

QByteArray FirstWord(QByteArrayView line);
QByteArray ValueAfterFirstBlank(QByteArrayView line);
QByteArrayView AttributeValue(QByteArrayView line, QByteArrayView name);
QByteArrayView ValueAfterKey(QByteArrayView line, QByteArrayView key, char stop);
QByteArrayView TaggedValue(QByteArrayView line, QByteArrayView tag);

// Calls visit(nameEnd, valueStart) for every =" in the line, in order: nameEnd is the index of the
// "=", valueStart the index after the quote. AttributeValue(line, A) is the value at the first of
// them whose preceding text ends with A, so one pass can serve several attributes of a long line.
template <typename Visit>
void forEachAttributeOpening(QByteArrayView line, Visit visit) {
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* p = begin;
    while (p < end) {
        const char* quote = static_cast<const char*>(__builtin_memchr(p, '"', size_t(end - p)));
        if (!quote) {
            return;
        }
        if (quote > begin && quote[-1] == '=') {
            visit(qsizetype(quote - 1 - begin), qsizetype(quote + 1 - begin));
        }
        p = quote + 1;
    }
}

// The value of an attribute opening found by forEachAttributeOpening: up to the next quote, or
// empty when no quote closes it.
inline QByteArrayView attributeValueAt(QByteArrayView line, qsizetype valueStart) {
    const void* close = __builtin_memchr(line.data() + valueStart, '"', size_t(line.size() - valueStart));
    return close ? line.sliced(valueStart, static_cast<const char*>(close) - (line.data() + valueStart))
                 : QByteArrayView();
}

// Whether the text before `nameEnd` ends with `name`.
inline bool attributeNamed(QByteArrayView line, qsizetype nameEnd, QByteArrayView name) {
    return nameEnd >= name.size() &&
           __builtin_memcmp(line.data() + nameEnd - name.size(), name.data(), size_t(name.size())) == 0;
}

QByteArray AsciiLowerCase(QByteArrayView text);
QByteArray AsciiUpperCase(QByteArrayView text);
QString AsciiLowerCase(const QString& text);
QString AsciiUpperCase(const QString& text);
bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b);
bool equalsIgnoringAsciiCase(const QString& a, const QString& b);
// Byte arrays and literals are 8-bit texts (these settle the choice between the two forms above).
inline QByteArray AsciiLowerCase(const QByteArray& text) {
    return AsciiLowerCase(QByteArrayView(text));
}
inline QByteArray AsciiUpperCase(const QByteArray& text) {
    return AsciiUpperCase(QByteArrayView(text));
}
inline bool equalsIgnoringAsciiCase(const QByteArray& a, const char* b) {
    return equalsIgnoringAsciiCase(QByteArrayView(a), QByteArrayView(b));
}
inline bool equalsIgnoringAsciiCase(const QByteArray& a, const QByteArray& b) {
    return equalsIgnoringAsciiCase(QByteArrayView(a), QByteArrayView(b));
}

int NaturalCompare(const QString& a, const QString& b);
// A key whose plain comparison orders texts as NaturalCompare does (equal keys: equal texts), so a
// sort of many rows compares each text's key instead of walking the texts again and again.
std::u32string naturalSortKey(const QString& text);
int CompareInt64(qint64 a, qint64 b);

// Style 0: "mm:ss seconds"; style 1: "mm:ss". Days and hours are not shown.
QString FormatElapsed(qint64 milliseconds, int style);

// Splits text into lines at CR LF, LF or CR. A leading UTF-8 byte-order mark is skipped and a
// break at the very end does not add an empty line. The views point into `text`.
QList<QByteArrayView> splitLines(QByteArrayView text);
QByteArrayView skipUtf8Bom(QByteArrayView text);

// Integers as the settings file stores them: optional sign and decimal digits after blanks
// and control characters are trimmed. Anything else gives no value.
bool parseDecimalInt(QByteArrayView text, qint64& value);

// A number written the way the program writes its files: "," thousands, "." decimals.
QString formatThousands(qint64 value);

// Trims tab, LF, CR and blank at both ends and replaces numeric and the six named character
// references; any other reference is left as it is.
QByteArray DecodeCharRefs(QByteArrayView text);
void decodeCharRefsInto(QByteArrayView text, QByteArray& out);  // reuses out's buffer
// Moves ", The" of a title to the front ("Addams Family, The" gives "The Addams Family").
QByteArray NormaliseTitle(QByteArrayView text, bool apply);
void normaliseTitleInPlace(QByteArray& title);
