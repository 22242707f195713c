#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A private program folder per test, so tests never share files and run in parallel safely.
class TempProgramFolder {
public:
    TempProgramFolder();
    bool isValid() const { return m_dir->isValid(); }
    // The folder with a trailing "/".
    QString path() const;
    QString file(const QString& name) const { return path() + name; }
    QString write(const QString& name, const QByteArray& bytes) const;
    QString makeFolder(const QString& name) const;
    QByteArray read(const QString& name) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};
