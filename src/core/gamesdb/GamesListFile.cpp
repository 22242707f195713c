#include "GamesListFile.h"

#include "common/CodePage.h"
#include "common/FileOps.h"
#include "common/Text.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

#include <sys/stat.h>

namespace {

// Writes a game line straight into the list's buffer: dozens of small appends to the list
// through its general insert would cost more than scanning the game's lines.
class LineBuilder {
public:
    explicit LineBuilder(QByteArray& out) : m_out(out), m_start(out.size()), m_length(0) {}
    ~LineBuilder() { m_out.resize(m_start + m_length); }

    void add(char c) {
        reserve(1);
        m_out.data()[m_start + m_length++] = c;
    }
    void add(QByteArrayView bytes) {
        if (bytes.isEmpty()) {
            return;  // an empty view may have no data pointer at all
        }
        reserve(bytes.size());
        std::memcpy(m_out.data() + m_start + m_length, bytes.data(), size_t(bytes.size()));
        m_length += bytes.size();
    }
    void tag(QByteArrayView key, QByteArrayView value) {
        add('<');
        add(key);
        add('>');
        const qsizetype at = m_start + m_length;
        add(value);
        // A decoded "&#10;" in a description must not end the game's line and start a bogus one.
        char* const text = m_out.data() + at;
        for (qsizetype i = 0; i < value.size(); ++i) {
            if (text[i] == '\n' || text[i] == '\r') {
                text[i] = ' ';
            }
        }
        add("/>");
    }
    void numberTag(QByteArrayView key, int value) {
        char digits[12];
        char* const end = digits + sizeof digits;
        char* p = end;
        unsigned magnitude = value < 0 ? 0u - unsigned(value) : unsigned(value);
        do {
            *--p = char('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0) {
            *--p = '-';
        }
        tag(key, QByteArrayView(p, end - p));
    }

private:
    // Grows the list in large steps; the unused tail is cut off when the line is complete.
    void reserve(qsizetype more) {
        if (m_start + m_length + more > m_out.size()) {
            m_out.resize(std::max(m_start + m_length + more, m_start + m_length + 1024));
        }
    }
    QByteArray& m_out;
    qsizetype m_start;
    qsizetype m_length;
};

int headerDigit(QByteArrayView value, qsizetype at) {
    return at < value.size() && value[at] >= '0' && value[at] <= '9' ? value[at] - '0' : 0;
}

}  // namespace

qint8 StatusCodeOf(QByteArrayView word) {
    if (equalsIgnoringAsciiCase(word, "good")) {
        return StatusGood;
    }
    if (equalsIgnoringAsciiCase(word, "imperfect")) {
        return StatusImperfect;
    }
    if (equalsIgnoringAsciiCase(word, "preliminary")) {
        return StatusPreliminary;
    }
    return StatusUnknown;
}

namespace {
void appendGameLineFields(LineBuilder& out, const RawGameInfo& game) {
    const unsigned kind = static_cast<unsigned>(game.Kind);
    out.add(char('0' + (kind / 10) % 10));
    out.add(char('0' + kind % 10));
    out.add(char('0' + game.HasCHD));
    out.add(char('0' + game.Mechanical));
    if (!game.Title.isEmpty()) {
        out.tag("title", game.Title);
    }
    if (!game.Year.isEmpty()) {
        out.tag("year", game.Year);
    }
    if (!game.Manufacturer.isEmpty()) {
        out.tag("manuf", game.Manufacturer);
    }
    if (!game.Driver.isEmpty()) {
        out.tag("drvname", game.Driver);
    }
    if (!game.CloneOf.isEmpty()) {
        out.tag("cloneof", game.CloneOf);
    }
    if (game.ScreenOrientation != -1) {
        out.numberTag("scrorient", game.ScreenOrientation);
    }
    if (game.DriverStatus != StatusUnknown) {
        out.numberTag("drvstat", game.DriverStatus);
    }
    // The sub-statuses only matter for a driver that is not good.
    if (game.DriverStatus == StatusImperfect || game.DriverStatus == StatusPreliminary) {
        out.numberTag("emustat", game.EmulationStatus);
        out.numberTag("clrstat", game.ColorStatus);
        out.numberTag("sndstat", game.SoundStatus);
        out.numberTag("grpstat", game.GraphicStatus);
    }
}

}  // namespace

QByteArray FormatGameLine(const RawGameInfo& game) {
    QByteArray out;
    {
        LineBuilder line(out);
        appendGameLineFields(line, game);
    }
    return out;
}

void appendGameLine(QByteArray& out, const RawGameInfo& game) {
    LineBuilder line(out);
    line.add(game.Name);
    line.add('=');
    appendGameLineFields(line, game);
    line.add("\r\n");
}

QByteArray FormatGameLine(const TGameInfo& game) {
    RawGameInfo raw;
    raw.Name = game.Name.toUtf8();
    raw.Title = game.Title.toUtf8();
    raw.Year = game.Year;
    raw.Manufacturer = game.Manufacturer.toUtf8();
    raw.Driver = game.Driver;
    raw.CloneOf = game.CloneOf.toUtf8();
    raw.Kind = game.Kind;
    raw.HasCHD = game.HasCHD;
    raw.Mechanical = game.Mechanical;
    raw.ScreenOrientation = game.ScreenOrientation;
    raw.DriverStatus = game.DriverStatus;
    raw.EmulationStatus = game.EmulationStatus;
    raw.ColorStatus = game.ColorStatus;
    raw.SoundStatus = game.SoundStatus;
    raw.GraphicStatus = game.GraphicStatus;
    return FormatGameLine(raw);
}

namespace {

enum TagKey {
    Title,
    Year,
    Manufacturer,
    DriverName,
    CloneOfKey,
    Orientation,
    DriverStat,
    EmuStat,
    ColorStat,
    SoundStat,
    GraphicStat,
    TagCount
};
constexpr QByteArrayView kTagKeys[TagCount] = {"title",   "year",      "manuf",   "drvname",
                                               "cloneof", "scrorient", "drvstat", "emustat",
                                               "clrstat", "sndstat",   "grpstat"};

// The value of each key by the TaggedValue rule, in one pass over the line's "<": the first
// "<key>" of each key wins, its value running to the first "/>" after it. Missing: a null view.
void taggedValues(QByteArrayView value, QByteArrayView (&values)[TagCount]) {
    bool found[TagCount] = {};
    const char* const begin = value.data();
    const char* const end = begin + value.size();
    for (const char* p = begin; p < end;) {
        const char* open = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)));
        if (!open) {
            break;
        }
        const QByteArrayView rest(open + 1, end - open - 1);
        for (int key = 0; key < TagCount; ++key) {
            const QByteArrayView name = kTagKeys[key];
            if (!found[key] && rest.size() > name.size() && rest[name.size()] == '>' &&
                rest.startsWith(name)) {
                found[key] = true;
                const qsizetype from = open - begin;
                const qsizetype close = findBytes(value, "/>", from);
                const qsizetype start = from + 1 + name.size() + 1;
                values[key] =
                    close < 0 ? QByteArrayView() : value.sliced(start, std::max<qsizetype>(0, close - start));
                if (close >= 0 && values[key].isNull()) {
                    values[key] = QByteArrayView("", 0);
                }
                break;
            }
        }
        p = open + 1;
    }
}

std::optional<int> numberOf(QByteArrayView text) {
    qint64 number = 0;
    if (text.isNull() || !parseDecimalInt(text, number) || number < -128 || number > 127) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

QByteArray sharedBytes(QByteArrayView text, SharedGameTexts* shared) {
    if (!shared || text.isEmpty()) {
        return text.toByteArray();
    }
    const QByteArray probe = QByteArray::fromRawData(text.data(), text.size());
    auto it = shared->bytes.constFind(probe);
    if (it == shared->bytes.cend()) {
        const QByteArray copy = text.toByteArray();
        it = shared->bytes.insert(copy, copy);
    }
    return *it;
}

QString sharedDecoded(QByteArrayView text, SharedGameTexts* shared) {
    if (!shared || text.isEmpty()) {
        return decodeUtf8OrCp1252(text);
    }
    const QByteArray probe = QByteArray::fromRawData(text.data(), text.size());
    auto it = shared->decoded.constFind(probe);
    if (it == shared->decoded.cend()) {
        it = shared->decoded.insert(text.toByteArray(), decodeUtf8OrCp1252(text));
    }
    return *it;
}

}  // namespace

bool isGameLine(QByteArrayView line) {
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && !trimBlanksAndControls(line.first(equals)).isEmpty();
}

void ParseGameLine(QByteArrayView line, TGameInfo& game, SharedGameTexts* shared) {
    const qsizetype equals = line.indexOf('=');
    const QByteArrayView name = equals < 0 ? line : line.first(equals);
    const QByteArrayView value = equals < 0 ? QByteArrayView() : line.sliced(equals + 1);
    QByteArrayView tags[TagCount];
    taggedValues(value, tags);
    game.Name = decodeCp1252(name);
    game.Kind = headerDigit(value, 0) * 10 + headerDigit(value, 1);
    if (game.Kind < KindParent || game.Kind > KindDevice) {
        game.Kind = KindParent;  // so the icon number always stays within 0..7
    }
    game.HasCHD = static_cast<quint8>(headerDigit(value, 2));
    game.Mechanical = static_cast<quint8>(headerDigit(value, 3));
    game.Title = decodeUtf8OrCp1252(tags[Title]);
    game.Year = sharedBytes(tags[Year], shared);
    game.Manufacturer = sharedDecoded(tags[Manufacturer], shared);
    game.Driver = sharedBytes(tags[DriverName], shared);
    game.CloneOf = decodeCp1252(tags[CloneOfKey]);
    if (const auto orientation = numberOf(tags[Orientation])) {
        game.ScreenOrientation = static_cast<qint16>(*orientation);
    }
    // A status outside the scale reads as unknown.
    const auto statusOf = [](std::optional<int> number, qint8& field) {
        if (number) {
            field = *number >= StatusUnknown && *number <= StatusPreliminary ? static_cast<qint8>(*number)
                                                                             : qint8(StatusUnknown);
        }
    };
    statusOf(numberOf(tags[DriverStat]), game.DriverStatus);
    if (game.DriverStatus == StatusGood) {
        game.EmulationStatus = game.ColorStatus = game.SoundStatus = game.GraphicStatus = StatusGood;
        return;
    }
    statusOf(numberOf(tags[EmuStat]), game.EmulationStatus);
    statusOf(numberOf(tags[ColorStat]), game.ColorStatus);
    statusOf(numberOf(tags[SoundStat]), game.SoundStatus);
    statusOf(numberOf(tags[GraphicStat]), game.GraphicStatus);
}

qint32 DosDateTime(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    if (date.year() < 1980) {
        return (1 << 21) | (1 << 16);  // 1980-01-01 00:00:00
    }
    // Seven bits hold the year: 2107 is the last one the form can say.
    const int year = std::min(date.year(), 2107) - 1980;
    const quint32 packed = (quint32(year) << 25) | (quint32(date.month()) << 21) |
                           (quint32(date.day()) << 16) | (quint32(time.hour()) << 11) |
                           (quint32(time.minute()) << 5) | quint32(time.second() / 2);
    return static_cast<qint32>(packed);
}

QString ListStamp(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return QStringLiteral("-1");
    }
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec).toLocalTime();
    return QString::number(DosDateTime(modified));
}

QString gamesListPath(const QString& programFolder) {
    return programFolder + QStringLiteral("listfull.txt");
}

bool isCurrentGamesList(const QString& programFolder, const QString& emulator) {
    const QString path = gamesListPath(programFolder);
    if (!IsUsableFile(path)) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    // Only the first three lines matter: read until they are complete, not the whole list.
    QByteArray head;
    QList<QByteArrayView> lines;
    while (!file.atEnd()) {
        head += file.read(64 * 1024);
        lines = splitLines(head);
        if (lines.size() > 3 || (lines.size() == 3 && (head.endsWith('\n') || head.endsWith('\r')))) {
            break;
        }
    }
    lines = splitLines(head);
    return lines.size() >= 3 && lines[0] == ListStamp(emulator).toLatin1() && lines[2].contains("<title>");
}
