#pragma once

#include "LooseFiles.h"
#include "common/FileOps.h"

#include <QSet>

struct EmulatorFolders;
class JobRecord;

// The disk as the job's loose-file steps see it. The job acts on the real one; the preview on a
// simulated one that shows each step what the steps before it would have left.
class JobDisk {
public:
    virtual ~JobDisk() = default;
    // The path of fileName in the first ROM folder that holds it as a file, or "".
    virtual QString findInRomFolders(const QString& fileName) = 0;
    // The plan's found test: its file or folder is there (a Move destination is made when missing).
    virtual bool passesFoundTest(const LooseFilePlan& plan) = 0;
    // The plan's action; whether it succeeded.
    virtual bool carryOut(const LooseFilePlan& plan) = 0;
};

// The job's disk. Each change that happened is told to `record`, when there is one. With `toTrash`
// a deleted file goes to the desktop's trash instead; one that cannot go there stays, and is
// counted.
class RealDisk final : public JobDisk {
public:
    explicit RealDisk(const EmulatorFolders& folders, JobRecord* record = nullptr, bool toTrash = false)
        : m_folders(folders), m_record(record), m_toTrash(toTrash) {}
    QString findInRomFolders(const QString& fileName) override;
    bool passesFoundTest(const LooseFilePlan& plan) override;
    bool carryOut(const LooseFilePlan& plan) override;

    // The files that could not be moved to the trash, and so were not deleted (each once, though a
    // game listed twice tries again).
    int trashFailures() const { return int(m_notTrashed.size()); }

private:
    RemoveFile remover();

    const EmulatorFolders& m_folders;
    JobRecord* m_record;
    bool m_toTrash;
    QSet<QString> m_notTrashed;
    QString m_trashedAs;  // where the last file moved to the trash went
};
