#include "ProcessingJob.h"

#include "ImageArchives.h"
#include "JobDisk.h"
#include "JobRecord.h"
#include "ProcessGame.h"
#include "SearchFolders.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "emulator/EmulatorState.h"
#include "processing/zip/ZipArchive.h"
#include "progress/ProgressWindows.h"
#include "search/GamesPage.h"

#include <QScopeGuard>
#include <algorithm>

namespace {

bool anyChecked(const SetupChoices& setup, int first, int last) {
    return std::any_of(setup.fileTypeChecked.begin() + first, setup.fileTypeChecked.begin() + last + 1,
                       [](bool checked) { return checked; });
}

// Rename, Restore and Delete Renamed touch only ROM sets and images: cfg, ini or nvram alone is refused.
bool onlyDeletableTypesChecked(const SetupChoices& setup) {
    return !setup.fileTypeChecked[GameROMs] && !anyChecked(setup, kFirstImageType, kFileTypeCount - 1) &&
           anyChecked(setup, GameCfg, GameNVRAM);
}

void prepareLog(JobContext& context, const QString& title, qsizetype games, const QDateTime& startedAt) {
    LogWindow& log = context.log;
    log.setTitle(title);
    if (log.lineCount() > 0) {
        log.scrollToEnd();  // the new account follows the old one
        log.addLine(QString());
    }
    log.addLine(QStringLiteral("Processing %1 games...").arg(games));
    log.addLine(jobDateLine(startedAt, context.locale));
    log.addLine(QString());
    log.show();
    context.port.processPendingEvents();
}

// The loose files of each game, until a stop asked meanwhile: how many games were done.
qsizetype processGames(JobContext& context, const GameList& games, JobCounters& counters, JobDisk& disk) {
    qsizetype done = 0;
    for (const TGameInfo& game : games) {
        if (context.log.jobRun().stopRequested()) {
            break;
        }
        ProcessGame(game.Name, context.setup, context.emulator.folders, counters, disk);
        ++done;
        context.log.UpdateJobProgress(done, games.size());
        context.port.processPendingEvents();
    }
    return done;
}

// The image categories whose archives the job passes over, in table order.
QList<int> archiveTypes(const SetupChoices& setup, const EmulatorFolders& folders) {
    QList<int> types;
    if (setup.operation == MoveFiles) {
        return types;
    }
    for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
        if (setup.fileTypeChecked[size_t(type)] && !FindImageArchive(folders, type).isEmpty()) {
            types.append(type);
        }
    }
    return types;
}

// The archive passes, until a stop asked during one of them: "" when every pass was made, else the
// line that says where the job stopped.
QString processArchives(JobContext& context, const QList<int>& types, JobCounters& counters,
                        JobRecord& record) {
    for (qsizetype i = 0; i < types.size(); ++i) {
        if (i > 0 && context.log.jobRun().stopRequested()) {
            return QStringLiteral("Stopped after the archive %1; later archives were not processed.")
                .arg(ArchiveName(types[i - 1]));
        }
        ProcessImageArchive(context, types[i], counters, record);
    }
    return {};
}

QStringList totalLines(const JobCounters& counters, bool stopped) {
    const QString total = QStringLiteral("Total files processed: %1").arg(counters.Total);
    if (stopped) {
        return {total};
    }
    return counters.Total > 0 ? QStringList{QStringLiteral("All changes completed!"), total}
                              : QStringList{QStringLiteral("Job finished. No files were changed!")};
}

QString closingMessage(const JobCounters& counters, bool stopped) {
    const QString what =
        stopped ? QStringLiteral("The job was stopped. Total files processed: %1").arg(counters.Total)
        : counters.Total > 0 ? QStringLiteral("All changes completed!")
                             : QStringLiteral("Job done. No files were changed!");
    return what + QStringLiteral("\r\nYou may also close the log window when ready...");
}

}  // namespace

QString jobDateLine(const QDateTime& at, const QLocale& locale) {
    const QDate day = at.date();
    return locale.monthName(day.month(), QLocale::ShortFormat) + u'/' +
           QStringLiteral("%1/%2 ")
               .arg(day.day(), 2, 10, QLatin1Char('0'))
               .arg(day.year(), 4, 10, QLatin1Char('0')) +
           at.time().toString(QStringLiteral("HH:mm:ss"));
}

std::optional<JobRefusal> checkJobStart(const GameList& workList, SetupChoices& setup) {
    if (workList.isEmpty()) {
        return JobRefusal{
            QStringLiteral("No Games Selected"),
            QStringLiteral(
                "  There are no games in the work list.\r\nMake sure there is at least one to continue..."),
            MessageIcon::Warning};
    }
    if (setup.operation == MoveFiles) {
        setup.fileTypeChecked[GameROMs] = true;
    } else if (setup.operation != DeleteFiles && onlyDeletableTypesChecked(setup)) {
        return JobRefusal{
            ActionName(setup.operation),
            QStringLiteral(
                "  Only game ROMs and images files can be renamed/restored, and none of those file types are "
                "selected.\r\nCheck at least one of those types so files ca be "
                "renamed/restored.\r\n\r\nCFGs, "
                "INIs and NVRAM file types can only be deleted."),
            MessageIcon::Error};
    }
    return std::nullopt;
}

JobCounters ProcessingJob(JobContext& context, const QDateTime& startedAt) {
    JobCounters counters;
    GamesPageState& page = context.page;
    SetupChoices& setup = context.setup;
    const auto refusal = checkJobStart(page.WorkList, setup);
    if (!page.WorkList.isEmpty()) {
        SwitchGamesTab(page, 1);  // the Work List is what the job works through
    }
    if (refusal) {
        context.port.showMessage(refusal->caption, refusal->text, refusal->icon);
        return counters;
    }
    const OperationMode operation = setup.operation;
    const QString title = ActionName(operation);
    // The list as it stands now: nothing can change it while the job runs, but a copy costs nothing.
    const GameList games = page.WorkList;
    LogWindow& log = context.log;
    RunControl& run = log.jobRun();
    run.runStarted();
    const auto ended = qScopeGuard([&run] { run.runEnded(); });
    prepareLog(context, title, games.size(), startedAt);
    JobRecord record(
        setup.ProgramFolder, operation, startedAt, games.size(),
        [&log](const QString& path, const QString& reason) {
            log.addLine(QStringLiteral("The record of this job could not be written to \"%1\" (%2).")
                            .arg(path, reason));
        });
    log.ResetJobProgress();
    const bool toTrash = deletesGoToTrash(setup);
    if (toTrash) {
        record.note(QStringLiteral("Deleted files and archive entries go to the desktop's trash."));
    }
    RealDisk disk(context.emulator.folders, &record, toTrash);
    const qsizetype done = processGames(context, games, counters, disk);
    const QList<int> archives = archiveTypes(setup, context.emulator.folders);
    // A stop with nothing left to do is no stop.
    QString stopLine;
    if (run.stopRequested() && (done < games.size() || !archives.isEmpty())) {
        stopLine = QStringLiteral("Stopped after %1 of %2 games.").arg(done).arg(games.size());
        log.addLine(stopLine);
    }
    for (const int type : summaryLineTypes(operation, setup.fileTypeChecked)) {
        log.addLine(TypeSummaryLine(type, counters));
    }
    if (disk.trashFailures() > 0) {
        const QString line = QStringLiteral("%1 files could not be moved to the trash and were not deleted.")
                                 .arg(disk.trashFailures());
        log.addLine(line);
        record.note(line);
    }
    if (stopLine.isEmpty() && !archives.isEmpty()) {
        context.port.setBusyPointer(true);
        try {
            stopLine = processArchives(context, archives, counters, record);
        } catch (const ZipError& error) {
            // The archive stays as it was; the job ends here, without its totals.
            run.runEnded();
            record.finish({QStringLiteral("The job ended with an error: ") + error.message()});
            context.port.setBusyPointer(false);
            context.port.showMessage(QStringLiteral("Error"), error.message(), MessageIcon::Error);
            return counters;
        }
        if (!stopLine.isEmpty()) {
            log.addLine(stopLine);
        }
    }
    run.runEnded();
    const bool stopped = !stopLine.isEmpty();
    const QStringList totals = totalLines(counters, stopped);
    log.addLine(QString());
    for (const QString& line : totals) {
        log.addLine(line);
    }
    record.finish(stopped ? QStringList{stopLine} + totals : totals);
    context.port.setBusyPointer(false);
    context.port.showMessage(title, closingMessage(counters, stopped), MessageIcon::Information);
    return counters;
}

bool confirmCloseDuringJob(LogWindow& log, DialogPort& port) {
    RunControl& run = log.jobRun();
    if (!run.running() || run.stopRequested()) {
        return true;
    }
    if (!port.askYesNo(QStringLiteral("Kestrum"),
                       QStringLiteral("A job is running. Stop it and close Kestrum?"),
                       MessageIcon::Warning)) {
        return false;
    }
    run.requestStop();
    return true;
}
