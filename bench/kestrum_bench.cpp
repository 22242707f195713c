// kestrum-bench TASK ARGS...
//   listxml FILE [--keep DIR]                          scan -listxml output into listfull.txt
//   listinfo INFO DETAILS [--keep DIR]                 the same from -listinfo / -listdetails output
//   load LISTFULL [--rom-folder DIR]... [--categories FILE] [--nonarcade FILE] [--no-quick-scan]
//                                                      load categories and the games list
//   build EXE [--program-folder DIR] [--category FILE] [--nonarcade FILE] [--rebuild] [--no-quick-scan]
//                                                      what entering the games page runs
//   folders EXE [--program-folder DIR]                 what leaving page 1 runs: the folders used
//   search LISTFULL --text T --kind K [--exact] [--media N] [--driver N] [--status-category N]
//          [--set-type N] [--machine-type N] [--interface N] [--orientation N] [--game-status N]
//          [--categories FILE] [--nonarcade FILE] [--rom-folder DIR]... [--dump FILE]
//          [--sort COLUMN [--descending]] [--resort COLUMN]
//                                                      RunSearch and AddSearchResultsToWorkList, medians
//   job DIR --games N                                  Rename Files then Restore Files on a collection
//   preview DIR --games N [--images] [--snap-zip FILE]  the preview of Rename Files, then the job (not with
//                                                      --snap-zip: that archive is only read)
//                                                      made in DIR, beside a plain rename() loop
//   job-run EXE --program-folder DIR --worklist FILE --operation N [--types N,N,...] [--move-to DIR]
//                                                      the job as FINISH runs it, on an existing collection
//   archive ZIP (--rename|--delete|--restore) COUNT [--engine libzip] [--keep PATH] [--in-place]
//                                                      one commit of COUNT changes on a copy of ZIP
//                                                      (on ZIP itself with --in-place)
// Each prints one JSON line of figures; every question is answered No.
#include "BenchSupport.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

int usage() {
    std::fprintf(
        stderr,
        "usage: kestrum-bench listxml FILE [--keep DIR]\n"
        "       kestrum-bench listinfo INFO DETAILS [--keep DIR]\n"
        "       kestrum-bench load LISTFULL [--rom-folder DIR]... [--categories FILE] [--nonarcade FILE] "
        "[--no-quick-scan]\n"
        "       kestrum-bench build EXE [--program-folder DIR] [--category FILE] [--nonarcade FILE] "
        "[--rebuild] "
        "[--no-quick-scan]\n"
        "       kestrum-bench folders EXE [--program-folder DIR]\n"
        "       kestrum-bench search LISTFULL --text T --kind K [--exact] [--media N] [--driver N] "
        "[--status-category N] [--set-type N] [--machine-type N] [--interface N] [--orientation N] "
        "[--game-status N] [--categories FILE] [--nonarcade FILE] [--rom-folder DIR]... [--dump FILE] "
        "[--sort COLUMN [--descending]] [--resort COLUMN]\n"
        "       kestrum-bench job DIR --games N\n"
        "       kestrum-bench preview DIR --games N [--images] [--snap-zip FILE]\n"
        "       kestrum-bench job-run EXE --program-folder DIR --worklist FILE --operation N [--types "
        "N,N,...] "
        "[--move-to DIR]\n"
        "       kestrum-bench archive ZIP (--rename|--delete|--restore) COUNT [--engine libzip] [--keep "
        "PATH] "
        "[--in-place]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        return usage();
    }
    const QString task = args[0];
    int status = 2;
    if (task == QStringLiteral("listxml")) {
        status = scanListXml(args);
    } else if (task == QStringLiteral("listinfo") && args.size() >= 3) {
        status = scanListInfo(args);
    } else if (task == QStringLiteral("load")) {
        status = loadGamesList(args);
    } else if (task == QStringLiteral("build")) {
        status = buildGamesList(args);
    } else if (task == QStringLiteral("folders")) {
        status = emulatorFolders(args);
    } else if (task == QStringLiteral("search")) {
        status = searchGames(args);
    } else if (task == QStringLiteral("job")) {
        status = timeJob(args);
    } else if (task == QStringLiteral("preview")) {
        status = timePreview(args);
    } else if (task == QStringLiteral("job-run")) {
        status = runJob(args);
    } else if (task == QStringLiteral("archive") && args.size() >= 4) {
        status = timeArchiveCommit(args);
    }
    return status == 2 ? usage() : status;
}
