#include "Text.h"

#include "Lines.h"

#include <algorithm>
#include <cstring>

int FindText(QByteArrayView pattern, QByteArrayView text, qsizetype start) {
    if (pattern.isEmpty() || text.isEmpty() || start < 1 || start > text.size()) {
        return 0;
    }
    const qsizetype at = text.indexOf(pattern, start - 1);
    return at < 0 ? 0 : static_cast<int>(at + 1);
}

int FindText(const QString& pattern, const QString& text) {
    if (pattern.isEmpty() || text.isEmpty()) {
        return 0;
    }
    const qsizetype at = text.indexOf(pattern);
    return at < 0 ? 0 : static_cast<int>(at + 1);
}

qsizetype findBytes(QByteArrayView text, QByteArrayView needle, qsizetype from) {
    const qsizetype n = needle.size();
    if (from < 0 || from > text.size() || n > text.size() - from) {
        return -1;
    }
    if (n == 0) {
        return from;
    }
    // The lines searched are short: memchr for the first byte and a compare of the rest costs
    // less than a general substring search, whose set-up dominates on short texts.
    const char* p = text.data() + from;
    const char* const last = text.data() + text.size() - n;
    const char first = needle[0];
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, first, size_t(last - p + 1)));
        if (!p) {
            return -1;
        }
        if (std::memcmp(p + 1, needle.data() + 1, size_t(n - 1)) == 0) {
            return p - text.data();
        }
        ++p;
    }
    return -1;
}

bool StartsWith(QByteArrayView text, QByteArrayView prefix) {
    return prefix.size() <= text.size() &&
           std::memcmp(text.data(), prefix.data(), static_cast<size_t>(prefix.size())) == 0;
}

QByteArrayView trimBlanksAndControls(QByteArrayView text) {
    text = trimLeadingBlanksAndControls(text);
    qsizetype end = text.size();
    while (end > 0 && isBlankOrControl(text[end - 1])) {
        --end;
    }
    return text.first(end);
}

QByteArray FirstWord(QByteArrayView line) {
    if (line.isEmpty() || line[0] == '#') {
        return {};
    }
    const qsizetype blank = line.indexOf(' ');
    return blank < 0 ? QByteArray() : line.first(blank).toByteArray();
}

QByteArray ValueAfterFirstBlank(QByteArrayView line) {
    const qsizetype blank = line.indexOf(' ');
    return blank < 0 ? QByteArray() : trimBlanksAndControls(line.sliced(blank + 1)).toByteArray();
}

QByteArrayView AttributeValue(QByteArrayView line, QByteArrayView name) {
    qsizetype at = 0;
    // The name must be followed directly by ="; look for the first such occurrence.
    while ((at = findBytes(line, name, at)) >= 0) {
        const qsizetype after = at + name.size();
        if (after + 1 < line.size() && line[after] == '=' && line[after + 1] == '"') {
            const qsizetype begin = after + 2;
            const qsizetype end = line.indexOf('"', begin);
            return end < 0 ? QByteArrayView() : line.sliced(begin, end - begin);
        }
        ++at;
    }
    return {};
}

QByteArrayView ValueAfterKey(QByteArrayView line, QByteArrayView key, char stop) {
    qsizetype at = 0;
    while ((at = findBytes(line, key, at)) >= 0) {
        const qsizetype after = at + key.size();
        if (after < line.size() && line[after] == ' ') {
            const QByteArrayView rest = line.sliced(after + 1);
            const qsizetype end = rest.indexOf(stop);
            return end < 0 ? rest : rest.first(end);
        }
        ++at;
    }
    return {};
}

QByteArrayView TaggedValue(QByteArrayView line, QByteArrayView tag) {
    // "<" + tag + ">" without building a temporary: find the tag and check its brackets.
    qsizetype at = 0;
    while ((at = findBytes(line, tag, at)) >= 0) {
        const qsizetype close = at + tag.size();
        if (at > 0 && line[at - 1] == '<' && close < line.size() && line[close] == '>') {
            const qsizetype begin = close + 1;
            const qsizetype end = findBytes(line, "/>", at - 1);
            return end < 0 ? QByteArrayView() : line.sliced(begin, std::max<qsizetype>(0, end - begin));
        }
        ++at;
    }
    return {};
}

QByteArray AsciiLowerCase(QByteArrayView text) {
    QByteArray out = text.toByteArray();
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return out;
}

QByteArray AsciiUpperCase(QByteArrayView text) {
    QByteArray out = text.toByteArray();
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - ('a' - 'A'));
        }
    }
    return out;
}

QString AsciiLowerCase(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= u'A' && c <= u'Z') {
            c = QChar(c.unicode() + (u'a' - u'A'));
        }
    }
    return out;
}

QString AsciiUpperCase(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - (u'a' - u'A'));
        }
    }
    return out;
}

namespace {
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}
char16_t lowerAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
}
}  // namespace

bool equalsIgnoringAsciiCase(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

bool equalsIgnoringAsciiCase(const QString& a, const QString& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i].unicode()) != lowerAscii(b[i].unicode())) {
            return false;
        }
    }
    return true;
}

namespace {

bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The Unicode lower-case code point of the character at i (a surrogate pair counts as one).
char32_t lowerCodePointAt(const QString& s, qsizetype i, qsizetype& length) {
    char32_t cp = s[i].unicode();
    length = 1;
    if (QChar::isHighSurrogate(cp) && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
        cp = QChar::surrogateToUcs4(s[i], s[i + 1]);
        length = 2;
    }
    return QChar::toLower(cp);
}

}  // namespace

int NaturalCompare(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) {
        return a.isEmpty() ? (b.isEmpty() ? 0 : -1) : 1;
    }
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = isAsciiDigit(a[i].unicode());
        const bool digitB = isAsciiDigit(b[j].unicode());
        if (digitA && digitB) {
            // Compare the runs by value: skip leading zeros, then longer is larger, then digit by digit.
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && isAsciiDigit(a[endA].unicode())) {
                ++endA;
            }
            while (endB < b.size() && isAsciiDigit(b[endB].unicode())) {
                ++endB;
            }
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a[startA] == u'0') {
                ++startA;
            }
            while (startB + 1 < endB && b[startB] == u'0') {
                ++startB;
            }
            const qsizetype lengthA = endA - startA;
            const qsizetype lengthB = endB - startB;
            if (lengthA != lengthB) {
                return lengthA < lengthB ? -1 : 1;
            }
            for (qsizetype k = 0; k < lengthA; ++k) {
                if (a[startA + k] != b[startB + k]) {
                    return a[startA + k] < b[startB + k] ? -1 : 1;
                }
            }
            i = endA;
            j = endB;
            continue;
        }
        // A digit run counts as the character '0' against any other character.
        qsizetype lengthA = 1;
        qsizetype lengthB = 1;
        const char32_t ca = digitA ? U'0' : lowerCodePointAt(a, i, lengthA);
        const char32_t cb = digitB ? U'0' : lowerCodePointAt(b, j, lengthB);
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
        i += lengthA;
        j += lengthB;
    }
    if (i < a.size()) {
        return 1;
    }
    if (j < b.size()) {
        return -1;
    }
    return 0;
}

std::u32string naturalSortKey(const QString& text) {
    std::u32string key;
    key.reserve(size_t(text.size()) + 4);
    qsizetype i = 0;
    while (i < text.size()) {
        if (isAsciiDigit(text[i].unicode())) {
            qsizetype end = i;
            while (end < text.size() && isAsciiDigit(text[end].unicode())) {
                ++end;
            }
            qsizetype start = i;
            while (start + 1 < end && text[start] == u'0') {
                ++start;
            }
            // The run counts as '0' against other characters, then by its length and digits.
            key += U'0';
            key += char32_t(end - start);
            for (qsizetype k = start; k < end; ++k) {
                key += char32_t(text[k].unicode());
            }
            i = end;
            continue;
        }
        qsizetype length = 1;
        key += lowerCodePointAt(text, i, length);
        i += length;
    }
    return key;
}

int CompareInt64(qint64 a, qint64 b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

QString FormatElapsed(qint64 milliseconds, int style) {
    qint64 seconds = milliseconds / 1000;
    seconds %= 86400;
    seconds %= 3600;
    const qint64 minutes = seconds / 60;
    seconds %= 60;
    QString text = QString::asprintf("%.2d:%.2d", static_cast<int>(minutes), static_cast<int>(seconds));
    if (style == 0) {
        text += QStringLiteral(" seconds");
    }
    return text;
}

QByteArrayView skipUtf8Bom(QByteArrayView text) {
    return text.startsWith(QByteArrayView("\xEF\xBB\xBF")) ? text.sliced(3) : text;
}

QList<QByteArrayView> splitLines(QByteArrayView text) {
    QList<QByteArrayView> lines;
    forEachLine(skipUtf8Bom(text), [&lines](QByteArrayView line) { lines.append(line); });
    return lines;
}

bool parseDecimalInt(QByteArrayView text, qint64& value) {
    text = trimBlanksAndControls(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || text.size() - i > 18) {
        return false;
    }
    qint64 result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        result = result * 10 + (text[i] - '0');
    }
    value = negative ? -result : result;
    return true;
}

QString formatThousands(qint64 value) {
    QString digits = QString::number(value < 0 ? -value : value);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, u',');
    }
    return value < 0 ? QStringLiteral("-") + digits : digits;
}

namespace {

bool isEdgeBlank(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

// The number of a numeric reference: ASCII digits only (hex after x or X), any length, modulo 256;
// an empty number or one with any other character counts as 32.
char numericReference(QByteArrayView digits) {
    int base = 10;
    if (!digits.isEmpty() && (digits[0] == 'x' || digits[0] == 'X')) {
        base = 16;
        digits = digits.sliced(1);
    }
    if (digits.isEmpty()) {
        return ' ';
    }
    unsigned value = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        }
        if (digit < 0) {
            return ' ';
        }
        value = (value * unsigned(base) + unsigned(digit)) % 256;
    }
    return static_cast<char>(value);
}

}  // namespace

void decodeCharRefsInto(QByteArrayView text, QByteArray& out) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isEdgeBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isEdgeBlank(text[end - 1])) {
        --end;
    }
    text = text.sliced(begin, end - begin);
    out.resize(0);
    if (!text.contains('&')) {
        out.append(text);
        return;
    }
    static const struct {
        QByteArrayView name;
        char replacement;
    } kNamed[] = {{"quot", '"'}, {"lt", '<'}, {"gt", '>'}, {"apos", '\''}, {"amp", '&'}, {"nbsp", ' '}};

    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype amp = text.indexOf('&', i);
        if (amp < 0) {
            out.append(text.sliced(i));
            break;
        }
        out.append(text.sliced(i, amp - i));
        i = amp;
        qsizetype refEnd = i + 1;
        while (refEnd < text.size() && text[refEnd] != ';' && text[refEnd] != ' ') {
            ++refEnd;
        }
        const QByteArrayView reference = text.sliced(i + 1, refEnd - i - 1);
        // The ";" or blank that ended the reference goes with it.
        const qsizetype after = refEnd < text.size() ? refEnd + 1 : refEnd;
        if (reference.startsWith('#')) {
            out.append(numericReference(reference.sliced(1)));
            i = after;
            continue;
        }
        bool replaced = false;
        for (const auto& named : kNamed) {
            if (reference == named.name) {
                out.append(named.replacement);
                i = after;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            out.append('&');
            ++i;
        }
    }
}

QByteArray DecodeCharRefs(QByteArrayView text) {
    QByteArray out;
    decodeCharRefsInto(text, out);
    return out;
}

void normaliseTitleInPlace(QByteArray& title) {
    static constexpr char kArticle[] = ", the";
    for (qsizetype at = 0; at + 5 <= title.size(); ++at) {
        bool match = true;
        for (int k = 0; k < 5 && match; ++k) {
            char c = title[at + k];
            if (c >= 'A' && c <= 'Z') {
                c = char(c + ('a' - 'A'));
            }
            match = c == kArticle[k];
        }
        if (match) {
            title.remove(at, 5);
            title.prepend("The ");
            return;
        }
    }
}

QByteArray NormaliseTitle(QByteArrayView text, bool apply) {
    QByteArray title = text.toByteArray();
    if (apply) {
        normaliseTitleInPlace(title);
    }
    return title;
}
