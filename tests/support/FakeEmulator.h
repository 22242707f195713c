#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class TempProgramFolder;

// Installs the stand-in emulator script as <folder>/<name> and writes its configuration.
class FakeEmulator {
public:
    FakeEmulator(const TempProgramFolder& folder,
                 const QString& relativePath = QStringLiteral("emulator/mame"));

    QString path() const { return m_path; }
    QString folder() const;
    // Sets one configuration variable (see fake-mame.sh) and rewrites the configuration.
    void set(const QString& variable, const QString& value);
    // The argument lines of every run so far.
    QStringList calls() const;

private:
    void writeConfig() const;
    QString m_path;
    QMap<QString, QString> m_config;
};

// The folder of the committed test data.
QString testDataPath(const QString& relative);
