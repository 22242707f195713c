#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

// The version resource of a Windows (PE) executable, read from the file's own bytes so that it
// works on any host. Every read is bounds-checked: a crafted file gives "no resource".

struct FixedFileVersion {
    quint32 mostSignificant = 0;
    quint32 leastSignificant = 0;
};

std::optional<FixedFileVersion> readFixedFileVersion(QByteArrayView fileBytes);
// The value of `key` in the string table of the first language and code page, or "".
QString readVersionString(QByteArrayView fileBytes, const QString& key);

// "major.minor" when shortForm, else "major.minor.release.build"; "" without a resource.
QString FileVersionText(const QString& path, bool shortForm);
QString VersionInfoString(const QString& path, const QString& key);
