#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <array>

// Builds small Windows (PE) executables with a version resource, so the version reader is tested
// on real layouts without committing binaries.
struct PeVersionSpec {
    std::array<quint16, 4> fileVersion = {0, 185, 0, 0};
    bool withFixedInfo = true;
    // Key/value pairs of the string table; empty leaves out the string table.
    QList<QPair<QString, QString>> strings = {{QStringLiteral("FileVersion"), QStringLiteral("0.185.0.0")}};
    bool withTranslation = true;
    quint16 language = 0x0409;
    quint16 codePage = 0x04B0;
    bool pe32Plus = false;
    bool withVersionResource = true;
};

QByteArray buildPe(const PeVersionSpec& spec);
