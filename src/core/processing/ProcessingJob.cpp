#include "ProcessingJob.h"

#include "ImageArchives.h"
#include "JobDisk.h"
#include "ProcessGame.h"
#include "SearchFolders.h"
#include "catalog/SetupChoices.h"
#include "common/DialogPort.h"
#include "emulator/EmulatorState.h"
#include "processing/zip/ZipArchive.h"
#include "progress/ProgressWindows.h"
#include "search/GamesPage.h"

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
    prepareLog(context, title, games.size(), startedAt);
    context.log.ResetJobProgress();
    qsizetype done = 0;
    RealDisk disk(context.emulator.folders);
    for (const TGameInfo& game : games) {
        ProcessGame(game.Name, setup, context.emulator.folders, counters, disk);
        ++done;
        context.log.UpdateJobProgress(done, games.size());
        context.port.processPendingEvents();
    }
    for (const int type : summaryLineTypes(operation, setup.fileTypeChecked)) {
        context.log.addLine(TypeSummaryLine(type, counters));
    }
    if (operation != MoveFiles) {
        context.port.setBusyPointer(true);
        try {
            for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
                if (setup.fileTypeChecked[size_t(type)] &&
                    !FindImageArchive(context.emulator.folders, type).isEmpty()) {
                    ProcessImageArchive(context, type, counters);
                }
            }
        } catch (const ZipError& error) {
            // The archive stays as it was; the job ends here, without its totals.
            context.port.setBusyPointer(false);
            context.port.showMessage(QStringLiteral("Error"), error.message(), MessageIcon::Error);
            return counters;
        }
    }
    context.log.addLine(QString());
    if (counters.Total > 0) {
        context.log.addLine(QStringLiteral("All changes completed!"));
        context.log.addLine(QStringLiteral("Total files processed: %1").arg(counters.Total));
    } else {
        context.log.addLine(QStringLiteral("Job finished. No files were changed!"));
    }
    context.port.setBusyPointer(false);
    context.port.showMessage(
        title,
        counters.Total > 0
            ? QStringLiteral("All changes completed!\r\nYou may also close the log window when ready...")
            : QStringLiteral(
                  "Job done. No files were changed!\r\nYou may also close the log window when ready..."),
        MessageIcon::Information);
    return counters;
}
