// A job over a collection in a private folder: a Work List of names, every content folder made, no
// file type checked, the log and the dialogs recorded.
#pragma once

#include "FakeDialogPort.h"
#include "FakeWindows.h"
#include "TempProgramFolder.h"
#include "catalog/SetupChoices.h"
#include "emulator/EmulatorState.h"
#include "processing/ProcessingJob.h"
#include "search/GamesPageState.h"

#include <QStringList>

struct JobFixture {
    TempProgramFolder dir;
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
};
