#include "BenchSupport.h"

#include <sys/resource.h>
#include <cstdio>

double peakRssMegabytes() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QString optionValue(const QStringList& args, const QString& name) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

QString jsonText(const QString& text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') {
            out += u'\\';
            out += c;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else if (c.unicode() < 0x20) {
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
        } else {
            out += c;
        }
    }
    return out + u'"';
}

QString jsonList(const QStringList& texts) {
    QStringList items;
    for (const QString& text : texts) {
        items.append(jsonText(text));
    }
    return u'[' + items.join(u',') + u']';
}

QString jsonMessages(const QList<QPair<QString, QString>>& messages) {
    QStringList items;
    for (const auto& [caption, text] : messages) {
        items.append(QStringLiteral("{\"caption\":%1,\"text\":%2}").arg(jsonText(caption), jsonText(text)));
    }
    return u'[' + items.join(u',') + u']';
}

void printLine(const QString& json) {
    std::printf("%s\n", json.toUtf8().constData());
    std::fflush(stdout);
}
