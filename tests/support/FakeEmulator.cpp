#include "FakeEmulator.h"

#include "TempProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString testDataPath(const QString& relative) {
    return QStringLiteral(KESTRUM_TEST_DATA "/") + relative;
}

FakeEmulator::FakeEmulator(const TempProgramFolder& folder, const QString& relativePath)
    : m_path(folder.file(relativePath)) {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile::remove(m_path);
    if (!QFile::copy(QStringLiteral(KESTRUM_TEST_SUPPORT "/fake-mame.sh"), m_path)) {
        qFatal("cannot install the stand-in emulator at %s", qPrintable(m_path));
    }
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    writeConfig();
}

QString FakeEmulator::folder() const {
    return QFileInfo(m_path).absolutePath() + u'/';
}

void FakeEmulator::set(const QString& variable, const QString& value) {
    m_config[variable] = value;
    writeConfig();
}

void FakeEmulator::writeConfig() const {
    QFile conf(m_path + QStringLiteral(".conf"));
    if (!conf.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qFatal("cannot write %s", qPrintable(conf.fileName()));
    }
    for (auto it = m_config.begin(); it != m_config.end(); ++it) {
        QString value = it.value();
        value.replace(u'\'', QStringLiteral("'\\''"));
        conf.write((it.key() + QStringLiteral("='") + value + QStringLiteral("'\n")).toUtf8());
    }
}

QStringList FakeEmulator::calls() const {
    QFile log(m_path + QStringLiteral(".calls"));
    if (!log.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
