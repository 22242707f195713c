// The processing job through the real code: timed on a generated collection, or run on an existing one
// as FINISH runs it.
#include "HeadlessWizard.h"
#include "common/FileOps.h"
#include "common/Text.h"
#include "processing/JobPreview.h"
#include "processing/ProcessingJob.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace {

bool writeSmallFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("kestrum") == 7;
}

QString countersJson(const JobCounters& counters) {
    QStringList found;
    for (const int count : counters.Found) {
        found.append(QString::number(count));
    }
    return u'[' + found.join(u',') + u']';
}

// The files of a generated collection: a ROM set (in one of two folders) and a snapshot per game.
QStringList makeCollection(const QString& root, int games, GameList& workList, EmulatorFolders& folders) {
    folders.RomFolders = {root + QStringLiteral("roms1/"), root + QStringLiteral("roms2/")};
    folders.ImageFolders[ImageSnap - kFirstImageType] = root + QStringLiteral("snap/");
    for (const QString& folder : {folders.RomFolders[0], folders.RomFolders[1], folders.ImageFolders[1]}) {
        QDir().mkpath(folder);
    }
    QStringList files;
    for (int i = 0; i < games; ++i) {
        TGameInfo game;
        game.Name = QStringLiteral("game%1").arg(i, 5, 10, QLatin1Char('0'));
        workList.append(game);
        files.append(folders.RomFolders[i % 2] + game.Name + QStringLiteral(".zip"));
        files.append(folders.ImageFolders[1] + game.Name + QStringLiteral(".png"));
    }
    for (const QString& file : files) {
        if (!writeSmallFile(file)) {
            return {};
        }
    }
    return files;
}

// A plain rename() of every file to its ".krm" name and back; the time of the first way.
double renameFloor(const QStringList& files) {
    QList<QByteArray> from;
    QList<QByteArray> to;
    for (const QString& file : files) {
        from.append(QFile::encodeName(file));
        to.append(QFile::encodeName(file + QStringLiteral(".krm")));
    }
    QElapsedTimer clock;
    clock.start();
    for (qsizetype i = 0; i < from.size(); ++i) {
        std::rename(from[i].constData(), to[i].constData());
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    for (qsizetype i = 0; i < from.size(); ++i) {
        std::rename(to[i].constData(), from[i].constData());
    }
    return seconds;
}

// A plain stat() of each path, in the same order.
double statFloor(const QStringList& paths) {
    QList<QByteArray> encoded;
    for (const QString& path : paths) {
        encoded.append(QFile::encodeName(path));
    }
    QElapsedTimer clock;
    clock.start();
    struct stat info {};
    for (const QByteArray& path : encoded) {
        ::stat(path.constData(), &info);
    }
    return double(clock.nsecsElapsed()) / 1e9;
}

// "DIR --games N": the generated collection in DIR, its games in the Work List, ROM sets and Game
// Snapshot checked.
struct GeneratedJob {
    QString root;
    int games = 0;
    GamesPageState page;
    SetupChoices setup;
    EmulatorState emulator;
    QStringList files;
    int status = 0;  // 2: bad arguments, 1: the collection could not be made

    explicit GeneratedJob(const QStringList& args)
        : root(withTrailingSeparator(args[1])), games(optionValue(args, QStringLiteral("--games")).toInt()) {
        if (games <= 0 || !QDir().mkpath(root)) {
            status = 2;
            return;
        }
        files = makeCollection(root, games, page.WorkList, emulator.folders);
        status = files.isEmpty() ? 1 : 0;
        setup.ProgramFolder = root;  // the job's records go to its history/
        setup.fileTypeChecked.fill(false);
        setup.fileTypeChecked[GameROMs] = true;
        setup.fileTypeChecked[ImageSnap] = true;
    }
};

}  // namespace

int timeJob(const QStringList& args) {
    GeneratedJob job(args);
    if (job.status != 0) {
        return job.status;
    }
    auto& [root, games, page, setup, emulator, files, status] = job;
    SilentPort port;
    RecordingLogWindow log;
    JobContext context{page, setup, emulator, port, log};

    const double floor = renameFloor(files);
    QElapsedTimer clock;
    setup.operation = RenameFiles;
    clock.start();
    const JobCounters renamed = ProcessingJob(context);
    const double renameSeconds = double(clock.nsecsElapsed()) / 1e9;
    setup.operation = RestoreFiles;
    clock.restart();
    const JobCounters restored = ProcessingJob(context);
    const double restoreSeconds = double(clock.nsecsElapsed()) / 1e9;
    printLine(QStringLiteral(
                  "{\"task\":\"job\",\"games\":%1,\"files\":%2,\"renamed\":%3,\"restored\":%4,"
                  "\"rename_seconds\":%5,\"restore_seconds\":%6,\"floor_seconds\":%7,\"peak_rss_mb\":%8}")
                  .arg(games)
                  .arg(files.size())
                  .arg(renamed.Total)
                  .arg(restored.Total)
                  .arg(renameSeconds, 0, 'f', 5)
                  .arg(restoreSeconds, 0, 'f', 5)
                  .arg(floor, 0, 'f', 5)
                  .arg(peakRssMegabytes(), 0, 'f', 1));
    return renamed.Total == files.size() && restored.Total == files.size() ? 0 : 1;
}

int runJob(const QStringList& args) {
    const QString programFolder = optionValue(args, QStringLiteral("--program-folder"));
    const QString workListFile = optionValue(args, QStringLiteral("--worklist"));
    bool operationGiven = false;
    const int operation = optionValue(args, QStringLiteral("--operation")).toInt(&operationGiven);
    if (programFolder.isEmpty() || workListFile.isEmpty() || !operationGiven || !isOperation(operation)) {
        return 2;
    }
    HeadlessWizard headless;
    AppState& state = headless.state;
    headless.wizard.windowCreated(portableFolders(programFolder), 1080);
    headless.wizard.firstShowing();  // Kestrum.ini: the file types and the image folders
    // Leaving page 1 (and the images page, when ui.ini named no folders) settles the folders.
    if (!headless.leaveEmulatorPage(args[1])) {
        printLine(QStringLiteral("{\"task\":\"job-run\",\"messages\":%1}")
                      .arg(jsonMessages(headless.port.messages)));
        return 1;
    }
    if (state.wizard.page == WizardPage::ImagesFolders) {
        headless.wizard.WizardStep(+1);
    }

    const std::optional<QByteArray> names = readWholeFile(workListFile);
    if (!names) {
        return 2;
    }
    for (const QByteArrayView line : splitLines(*names)) {
        TGameInfo game;
        game.Name = QString::fromUtf8(line);
        state.gamesPage.WorkList.append(game);
    }
    const QString types = optionValue(args, QStringLiteral("--types"));
    if (!types.isEmpty()) {
        state.setup.fileTypeChecked.fill(false);
        for (const QString& type : types.split(u',')) {
            const int number = type.toInt();
            if (number >= 0 && number < kFileTypeCount) {
                state.setup.fileTypeChecked[size_t(number)] = true;
            }
        }
    }
    state.setup.operation = OperationMode(operation);
    const QString moveTo = optionValue(args, QStringLiteral("--move-to"));
    if (!moveTo.isEmpty()) {
        state.setup.moveFilesToFolder = moveTo;
    }
    JobContext context{state.gamesPage, state.setup, state.emulator, headless.port, headless.log};
    const JobCounters counters = ProcessingJob(context);
    printLine(QStringLiteral("{\"task\":\"job-run\",\"log\":%1,\"total\":%2,\"found\":%3,\"messages\":%4}")
                  .arg(jsonList(headless.log.lines))
                  .arg(counters.Total)
                  .arg(countersJson(counters), jsonMessages(headless.port.messages)));
    return 0;
}

int timePreview(const QStringList& args) {
    GeneratedJob job(args);
    if (job.status != 0) {
        return job.status;
    }
    auto& [root, games, page, setup, emulator, files, status] = job;
    const QString snapZip = optionValue(args, QStringLiteral("--snap-zip"));
    if (args.contains(QStringLiteral("--images"))) {
        for (int type = kFirstImageType; type < kFileTypeCount; ++type) {
            setup.fileTypeChecked[size_t(type)] = true;
            QString& folder = emulator.folders.ImageFolders[type - kFirstImageType];
            if (folder.isEmpty()) {
                folder = root + QLatin1String(ImageCategoryTable[type - kFirstImageType].folderName) + u'/';
                QDir().mkpath(folder);
            }
        }
    }
    if (!snapZip.isEmpty()) {
        // Read through a link, never written: the job does not run on it.
        QFile::link(QFileInfo(snapZip).absoluteFilePath(),
                    emulator.folders.ImageFolders[1] + QStringLiteral("snap.zip"));
    }
    setup.operation = RenameFiles;
    // The first preview finds the kernel's caches cold (names looked up for the first time, missing
    // ones above all); the second, like the floor's loops, finds them warm.
    QElapsedTimer clock;
    clock.start();
    PreviewJob(page.WorkList, setup, emulator.folders);
    const double coldSeconds = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    const JobPreview preview = PreviewJob(page.WorkList, setup, emulator.folders);
    const double previewSeconds = double(clock.nsecsElapsed()) / 1e9;
    const double floor = std::min(statFloor(preview.statedPaths), statFloor(preview.statedPaths));
    const qsizetype planned =
        std::count_if(preview.lines.cbegin(), preview.lines.cend(), [](const PreviewLine& line) {
            return line.change != PreviewChange::Keep && line.change != PreviewChange::MakeFolder;
        });
    int renamed = -1;
    if (snapZip.isEmpty()) {
        SilentPort port;
        RecordingLogWindow log;
        JobContext context{page, setup, emulator, port, log};
        renamed = ProcessingJob(context).Total;
    }
    printLine(QStringLiteral("{\"task\":\"preview\",\"games\":%1,\"planned\":%2,\"renamed\":%3,"
                             "\"preview_seconds\":%4,\"stat_calls\":%5,\"floor_seconds\":%6,\"archives\":%7,"
                             "\"cold_preview_seconds\":%8,\"peak_rss_mb\":%9}")
                  .arg(games)
                  .arg(planned)
                  .arg(renamed)
                  .arg(previewSeconds, 0, 'f', 5)
                  .arg(preview.statCalls)
                  .arg(floor, 0, 'f', 5)
                  .arg(preview.archives.size())
                  .arg(coldSeconds, 0, 'f', 5)
                  .arg(peakRssMegabytes(), 0, 'f', 1));
    return renamed < 0 || renamed == planned ? 0 : 1;
}
