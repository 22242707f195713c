#include "ProcessGame.h"

#include "LooseFiles.h"

QList<LooseFileStep> looseFileSteps(OperationMode operation,
                                    const std::array<bool, kFileTypeCount>& checked) {
    const QString png = QStringLiteral(".png");
    QList<LooseFileStep> steps;
    if (checked[GameROMs]) {
        steps.append({GameROMs, QStringLiteral(".zip")});
        steps.append({GameROMs, QStringLiteral(".7z")});
    }
    if (operation == MoveFiles) {
        return steps;
    }
    if (operation == DeleteFiles) {
        for (const LooseFileStep& step :
             {LooseFileStep{GameCfg, QStringLiteral(".cfg")}, LooseFileStep{GameIni, QStringLiteral(".ini")},
              LooseFileStep{GameNVRAM, {}}}) {
            if (checked[step.type]) {
                steps.append(step);
            }
        }
    }
    for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
        if (checked[type]) {
            steps.append({type, png});
            if (AcceptsJpg(type)) {
                steps.append({type, QStringLiteral(".jpg")});
            }
        }
    }
    return steps;
}

QList<int> summaryLineTypes(OperationMode operation, const std::array<bool, kFileTypeCount>& checked) {
    QList<int> types;
    for (const LooseFileStep& step : looseFileSteps(operation, checked)) {
        if (types.isEmpty() || types.last() != step.type) {
            types.append(step.type);
        }
    }
    return types;
}

void ProcessGame(const QString& game, const SetupChoices& setup, const EmulatorFolders& folders,
                 JobCounters& counters, JobDisk& disk) {
    for (const LooseFileStep& step : looseFileSteps(setup.operation, setup.fileTypeChecked)) {
        ApplyToLooseFile(game, step.type, step.ext, setup, folders, counters, disk);
    }
}

QString TypeSummaryLine(int type, const JobCounters& counters) {
    if (type < 0 || type >= kFileTypeCount) {
        return {};
    }
    QString line;
    if (isImageType(type)) {
        line = QString::fromUtf8(ImageCategoryOf(type).displayName) +
               (AcceptsJpg(type) ? QStringLiteral(" [.png; .jpg]: ") : QStringLiteral(" [.png]: "));
    } else {
        line = QString::fromUtf8(FileTypeTable[type].caption) + QStringLiteral(": ");
    }
    const int found = counters.Found[type];
    return line + (found == 0 ? QStringLiteral("No files where found.")
                              : QString::number(found) + QStringLiteral(" files found and processed."));
}
