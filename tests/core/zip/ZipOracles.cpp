#include "ZipOracles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#ifdef KESTRUM_HAVE_LIBZIP
#include <zip.h>
#endif

namespace ziptest {

namespace {

const char* const kPythonWriter = R"(
import json, sys, zipfile
path, made = sys.argv[1], json.loads(sys.argv[2])
class Unseekable:
    def __init__(self, f): self.f = f
    def write(self, b): return self.f.write(b)
    def flush(self): self.f.flush()
with open(path, 'wb') as raw:
    raw.write(bytes.fromhex(made.get('prefix', '')))
    target = Unseekable(raw) if made.get('streamed') else raw
    with zipfile.ZipFile(target, 'w') as zf:
        for e in made['entries']:
            info = zipfile.ZipInfo(e['name'], date_time=(2021, 5, 6, 7, 8, 10))
            info.compress_type = zipfile.ZIP_STORED if e.get('stored') else zipfile.ZIP_DEFLATED
            info.extra = bytes.fromhex(e.get('extra', ''))
            info.external_attr = 0o100644 << 16
            data = bytes.fromhex(e.get('data', ''))
            if e.get('zip64'):
                with zf.open(info, 'w', force_zip64=True) as w:
                    w.write(data)
            else:
                zf.writestr(info, data)
        zf.comment = bytes.fromhex(made.get('comment', ''))
)";

const char* const kPythonReader = R"(
import hashlib, json, struct, sys, zipfile
def fields(extra):
    out = []
    while len(extra) >= 4:
        tp, ln = struct.unpack('<HH', extra[:4])
        out.append((tp, ln))
        extra = extra[4 + ln:]
    return out
with zipfile.ZipFile(sys.argv[1]) as zf:
    bad = zf.testzip()
    if bad is not None:
        sys.exit('bad CRC: ' + bad)
    entries = []
    for i in zf.infolist():
        zf.fp.seek(i.header_offset)
        h = zf.fp.read(30)
        if h[:4] != b'PK\x03\x04':
            sys.exit('no local header for ' + i.filename)
        n, e = struct.unpack('<HH', h[26:30])
        local_name = zf.fp.read(n)
        local_extra = zf.fp.read(e)
        raw = zf.fp.read(i.compress_size)
        name = i.orig_filename.encode('utf-8' if i.flag_bits & 0x800 else 'cp437')
        entries.append({'name': name.hex(), 'local': local_name.hex(), 'size': i.file_size,
                        'csize': i.compress_size, 'offset': i.header_offset, 'crc': i.CRC,
                        'raw': hashlib.sha1(raw).hexdigest(), 'flags': i.flag_bits,
                        'method': i.compress_type, 'attr': i.external_attr,
                        'time': '%04d-%02d-%02d %02d:%02d:%02d' % i.date_time,
                        'cx': [t for t, n in fields(i.extra)], 'lx': [t for t, n in fields(local_extra)],
                        'z64': dict(fields(i.extra)).get(1, -1)})
    print(json.dumps({'comment': zf.comment.hex(), 'entries': entries}))
)";

QList<int> intList(const QJsonValue& value) {
    QList<int> out;
    for (const QJsonValue& item : value.toArray()) {
        out.append(item.toInt());
    }
    return out;
}

QString describe(const EntryFacts& e) {
    return QStringLiteral("%1 size %2/%3 crc %4 raw %5 flags %6 method %7 attr %8 time %9")
        .arg(QString::fromLatin1(e.name.toHex()))
        .arg(e.size)
        .arg(e.compressedSize)
        .arg(e.crc, 8, 16, QLatin1Char('0'))
        .arg(QString::fromLatin1(e.rawHash))
        .arg(e.flags)
        .arg(e.method)
        .arg(e.attributes, 0, 8)
        .arg(e.time);
}

}  // namespace

int run(const QString& program, const QStringList& arguments, const QString& folder, QString* output) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        if (output) {
            *output = process.errorString();
        }
        return -1;
    }
    if (output) {
        *output = QString::fromLocal8Bit(process.readAll());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QString makeWithPython(const QString& path, const QList<Made>& entries, const MakeOptions& options) {
    QJsonArray list;
    for (const Made& made : entries) {
        list.append(QJsonObject{{QStringLiteral("name"), made.name},
                                {QStringLiteral("data"), QString::fromLatin1(made.data.toHex())},
                                {QStringLiteral("stored"), made.stored},
                                {QStringLiteral("extra"), QString::fromLatin1(made.extra.toHex())},
                                {QStringLiteral("zip64"), made.zip64}});
    }
    const QJsonObject made{{QStringLiteral("entries"), list},
                           {QStringLiteral("comment"), QString::fromLatin1(options.comment.toHex())},
                           {QStringLiteral("prefix"), QString::fromLatin1(options.prefix.toHex())},
                           {QStringLiteral("streamed"), options.streamed}};
    const QByteArray json = QJsonDocument(made).toJson(QJsonDocument::Compact);
    QString output;
    const int code =
        run(QStringLiteral("python3"),
            {QStringLiteral("-c"), QString::fromLatin1(kPythonWriter), path, QString::fromUtf8(json)},
            QString(), &output);
    return code == 0 ? QString() : QStringLiteral("python3 could not write %1: %2").arg(path, output);
}

ArchiveFacts readWithPython(const QString& path) {
    ArchiveFacts facts;
    QString output;
    if (run(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kPythonReader), path},
            QString(), &output) != 0) {
        facts.error = QStringLiteral("Python's zipfile refused it: ") + output;
        return facts;
    }
    const QJsonObject root = QJsonDocument::fromJson(output.toUtf8()).object();
    facts.comment = QByteArray::fromHex(root.value(QStringLiteral("comment")).toString().toLatin1());
    for (const QJsonValue& item : root.value(QStringLiteral("entries")).toArray()) {
        const QJsonObject o = item.toObject();
        EntryFacts e;
        e.name = QByteArray::fromHex(o.value(QStringLiteral("name")).toString().toLatin1());
        e.localName = QByteArray::fromHex(o.value(QStringLiteral("local")).toString().toLatin1());
        e.size = quint64(o.value(QStringLiteral("size")).toInteger());
        e.compressedSize = quint64(o.value(QStringLiteral("csize")).toInteger());
        e.offset = quint64(o.value(QStringLiteral("offset")).toInteger());
        e.crc = quint32(o.value(QStringLiteral("crc")).toInteger());
        e.rawHash = o.value(QStringLiteral("raw")).toString().toLatin1();
        e.flags = o.value(QStringLiteral("flags")).toInt();
        e.method = o.value(QStringLiteral("method")).toInt();
        e.attributes = quint32(o.value(QStringLiteral("attr")).toInteger());
        e.time = o.value(QStringLiteral("time")).toString();
        e.centralExtras = intList(o.value(QStringLiteral("cx")));
        e.localExtras = intList(o.value(QStringLiteral("lx")));
        e.zip64Length = o.value(QStringLiteral("z64")).toInt();
        facts.entries.append(e);
    }
    return facts;
}

bool libzipAvailable() {
#ifdef KESTRUM_HAVE_LIBZIP
    return true;
#else
    return false;
#endif
}

ArchiveFacts readWithLibzip(const QString& path, bool strict) {
    ArchiveFacts facts;
#ifdef KESTRUM_HAVE_LIBZIP
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | (strict ? ZIP_CHECKCONS : 0), &error);
    if (!archive) {
        zip_error_t e;
        zip_error_init_with_code(&e, error);
        facts.error = QStringLiteral("libzip refused it: ") + QString::fromUtf8(zip_error_strerror(&e));
        zip_error_fini(&e);
        return facts;
    }
    int commentLength = 0;
    const char* comment = zip_get_archive_comment(archive, &commentLength, ZIP_FL_ENC_RAW);
    facts.comment = QByteArray(comment, comment ? commentLength : 0);
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && facts.error.isEmpty(); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &stat) != 0) {
            facts.error = QStringLiteral("libzip cannot stat entry %1").arg(i);
            break;
        }
        EntryFacts e;
        e.name = QByteArray(stat.name);
        e.size = stat.size;
        e.compressedSize = stat.comp_size;
        e.crc = stat.crc;
        e.method = stat.comp_method;
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        zip_file_get_external_attributes(archive, zip_uint64_t(i), 0, &system, &attributes);
        e.attributes = attributes;
        // The stored bytes, and the data itself, whose CRC libzip checks at the end.
        for (const zip_flags_t flags : {zip_flags_t(ZIP_FL_COMPRESSED), zip_flags_t(0)}) {
            zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), flags);
            QCryptographicHash hash(QCryptographicHash::Sha1);
            QByteArray buffer(65536, Qt::Uninitialized);
            zip_int64_t got = file ? 1 : -1;
            while (file && (got = zip_fread(file, buffer.data(), zip_uint64_t(buffer.size()))) > 0) {
                hash.addData(QByteArrayView(buffer.constData(), qsizetype(got)));
            }
            if (got < 0) {
                facts.error =
                    QStringLiteral("libzip cannot read %1: %2")
                        .arg(QString::fromLatin1(e.name),
                             QString::fromUtf8(file ? zip_file_strerror(file) : zip_strerror(archive)));
            }
            if (file) {
                zip_fclose(file);
            }
            if (flags == ZIP_FL_COMPRESSED) {
                e.rawHash = hash.result().toHex();
            }
        }
        facts.entries.append(e);
    }
    zip_discard(archive);
#else
    Q_UNUSED(path)
    Q_UNUSED(strict)
    facts.error = QStringLiteral("libzip is not built in");
#endif
    return facts;
}

bool passesUnzipTest(const QString& path, QString* output) {
    return run(QStringLiteral("unzip"), {QStringLiteral("-tq"), path}, QString(), output) == 0;
}

ArchiveFacts expectedAfter(const ArchiveFacts& before, const QHash<QByteArray, QByteArray>& renamed,
                           const QSet<QByteArray>& deleted) {
    ArchiveFacts after = before;
    after.entries.clear();
    for (EntryFacts e : before.entries) {
        if (deleted.contains(e.name)) {
            continue;
        }
        if (renamed.contains(e.name)) {
            e.name = renamed.value(e.name);
            e.localName = e.name;
        }
        after.entries.append(e);
    }
    return after;
}

void compareFacts(const ArchiveFacts& actual, const ArchiveFacts& expected, const char* reader) {
    QVERIFY2(actual.error.isEmpty(), qPrintable(actual.error));
    QStringList got;
    QStringList wanted;
    const bool libzip = QByteArray(reader) == "libzip";
    for (EntryFacts e : actual.entries) {
        if (libzip) {
            e.flags = 0;  // libzip does not tell these
            e.time.clear();
        }
        got.append(describe(e));
    }
    for (EntryFacts e : expected.entries) {
        if (libzip) {
            e.flags = 0;
            e.time.clear();
        }
        wanted.append(describe(e));
    }
    if (got != wanted) {
        qWarning("%s read:\n  %s\nexpected:\n  %s", reader, qPrintable(got.join(QStringLiteral("\n  "))),
                 qPrintable(wanted.join(QStringLiteral("\n  "))));
    }
    QCOMPARE(got, wanted);
    QCOMPARE(actual.comment, expected.comment);
}

void verifyArchive(const QString& path, const ArchiveFacts& expected) {
    QString output;
    // unzip warns about an archive without entries, and says so with its exit code.
    const bool passed = passesUnzipTest(path, &output) ||
                        (expected.entries.isEmpty() && output.contains(QLatin1String("zipfile is empty")));
    QVERIFY2(passed, qPrintable(QStringLiteral("unzip -tq failed: ") + output));
    const ArchiveFacts python = readWithPython(path);
    compareFacts(python, expected, "Python");
    if (QTest::currentTestFailed()) {
        return;
    }
    for (const EntryFacts& e : python.entries) {
        QCOMPARE(e.localName, e.name);
    }
    if (!libzipAvailable()) {
        qWarning(
            "libzip is not built in: the libzip read-back is skipped (scripts/setup installs libzip-dev)");
        return;
    }
    compareFacts(readWithLibzip(path, expected.strictlyConsistent), expected, "libzip");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

}  // namespace ziptest
