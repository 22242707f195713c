// Writes the made seeds of the version resource target into the folder given: small PE files
// built by the tests' own builder (PE32 and PE32+, with and without a string table).
#include "PeBuilder.h"

#include <QFile>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QFile::decodeName(argv[1]) + QStringLiteral("/");
    PeVersionSpec plain;
    PeVersionSpec plus;
    plus.pe32Plus = true;
    plus.fileVersion = {1, 2, 3, 4};
    plus.strings = {{QStringLiteral("FileVersion"), QStringLiteral("1.2.3.4")},
                    {QStringLiteral("ProductName"), QStringLiteral("MAME")}};
    PeVersionSpec bare;
    bare.strings.clear();
    bare.withTranslation = false;
    const struct {
        const char* name;
        const PeVersionSpec& spec;
    } seeds[] = {{"pe32.exe", plain}, {"pe32plus.exe", plus}, {"fixed-only.exe", bare}};
    for (const auto& seed : seeds) {
        QFile file(folder + QLatin1String(seed.name));
        const QByteArray bytes = buildPe(seed.spec);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
