#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempProgramFolder::TempProgramFolder() {
    // The emulator's display name depends on words in its path; a random folder name must not
    // spell one of them.
    const auto namesAnEmulator = [](const QString& path) {
        const QString lower = path.toLower();
        return lower.contains(QStringLiteral("ume")) || lower.contains(QStringLiteral("mamep")) ||
               lower.contains(QStringLiteral("hbmame"));
    };
    do {
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kestrum-test-XXXXXX"));
    } while (namesAnEmulator(m_dir->path()));
}

QString TempProgramFolder::path() const {
    return m_dir->path() + u'/';
}

QString TempProgramFolder::write(const QString& name, const QByteArray& bytes) const {
    const QString full = file(name);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile out(full);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(full));
    }
    return full;
}

QString TempProgramFolder::makeFolder(const QString& name) const {
    QDir().mkpath(file(name));
    return file(name) + u'/';
}

QByteArray TempProgramFolder::read(const QString& name) const {
    QFile in(file(name));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}
