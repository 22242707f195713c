#pragma once

#include "LooseFiles.h"

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

// The job's disk. Each change that happened is told to `record`, when there is one.
class RealDisk final : public JobDisk {
public:
    explicit RealDisk(const EmulatorFolders& folders, JobRecord* record = nullptr)
        : m_folders(folders), m_record(record) {}
    QString findInRomFolders(const QString& fileName) override;
    bool passesFoundTest(const LooseFilePlan& plan) override;
    bool carryOut(const LooseFilePlan& plan) override;

private:
    const EmulatorFolders& m_folders;
    JobRecord* m_record;
};
