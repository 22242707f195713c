// A job over a collection in a private folder, with a private program data folder of its own (for
// the job's records): a Work List of names, every content folder made, no file type checked, the
// log and the dialogs recorded.
#pragma once

#include "FakeDialogPort.h"
#include "FakeWindows.h"
#include "TempProgramFolder.h"
#include "catalog/SetupChoices.h"
#include "emulator/EmulatorState.h"
#include "processing/JobRecord.h"
#include "processing/ProcessingJob.h"
#include "search/GamesPageState.h"

#include <QDir>
#include <QFile>
#include <QStringList>

struct JobFixture {
    TempProgramFolder dir;
    TempProgramFolder data;  // the program's data folder
    GamesPageState page;
    SetupChoices setup;
    EmulatorState emulator;
    FakeDialogPort port;
    FakeLogWindow log;

    explicit JobFixture(const QStringList& games) {
        for (const QString& name : games) {
            TGameInfo game;
            game.Name = name;
            page.WorkList.append(game);
        }
        emulator.folders.RomFolders = {dir.makeFolder("roms")};
        emulator.folders.CfgFolder = dir.makeFolder("cfg");
        emulator.folders.IniFolder = dir.makeFolder("ini");
        emulator.folders.NvramFolder = dir.makeFolder("nvram");
        for (int row = 0; row < kImageCategoryCount; ++row) {
            emulator.folders.ImageFolders[row] =
                dir.makeFolder(QLatin1String(ImageCategoryTable[row].folderName));
        }
        setup.fileTypeChecked.fill(false);
        setup.ProgramFolder = data.path();
    }
    void check(std::initializer_list<int> types) {
        for (const int type : types) {
            setup.fileTypeChecked[type] = true;
        }
    }
    // The job as FINISH runs it, started at a fixed time, with English month names.
    JobCounters run(OperationMode operation) {
        setup.operation = operation;
        JobContext context{page, setup, emulator, port, log, QLocale(QLocale::English)};
        return ProcessingJob(context, QDateTime(QDate(2017, 3, 5), QTime(14, 3, 59)));
    }
    // The lines of the job's record, the first file of the records folder; each line ends in CR LF.
    QStringList record() const {
        const QDir folder(recordsFolder(setup.ProgramFolder));
        QFile file(folder.filePath(folder.entryList(QDir::Files, QDir::Name).value(0)));
        if (!file.open(QIODevice::ReadOnly)) {
            return {QStringLiteral("(no record)")};
        }
        const QString text = QString::fromUtf8(file.readAll());
        return text.endsWith(QStringLiteral("\r\n")) ? text.chopped(2).split(QStringLiteral("\r\n"))
                                                     : QStringList{QStringLiteral("(no line end)"), text};
    }
};
