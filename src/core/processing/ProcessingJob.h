#pragma once

#include "JobCounters.h"
#include "common/DialogPort.h"
#include "gamesdb/GameInfo.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

struct GamesPageState;
struct SetupChoices;
struct EmulatorState;
class DialogPort;
class LogWindow;

// What a job works on: the Work List (and the page's tab), the operation, file types and move
// folder, the emulator's folders, the dialogs and the log window.
struct JobContext {
    GamesPageState& page;
    SetupChoices& setup;  // Move Files checks the ROM sets' box
    const EmulatorState& emulator;
    DialogPort& port;
    LogWindow& log;
    QLocale locale = QLocale::system();  // the month names of the date line
};

// The date line of a job's log: "mmm/dd/yyyy hh:nn:ss", the month named as the locale abbreviates it.
QString jobDateLine(const QDateTime& at, const QLocale& locale);

// Why FINISH would not start a job: the message box it shows instead.
struct JobRefusal {
    QString caption;
    QString text;
    MessageIcon icon;
};
// The checks FINISH makes before it touches anything; Move Files checks the ROM sets' box, as the
// job does. nullopt when the job would start.
std::optional<JobRefusal> checkJobStart(const GameList& workList, SetupChoices& setup);

// FINISH: the operation applied to every checked file type of every Work List game, told in the log
// window, written into a record in the records folder (`JobRecord`) and closed by a message box.
// A stop asked through the log window's job run ends the job after the game it is working on (the
// archive step is then skipped), or during the archive step after the archive pass in progress; the
// log and the record then say where it stopped and give the totals of what was done. Gives what it
// counted.
JobCounters ProcessingJob(JobContext& context, const QDateTime& startedAt = QDateTime::currentDateTime());

// A close request of the main window: while a job runs, asks whether to stop it and close; Yes asks
// the job to stop. False when the answer was No (the window stays). Without a running job, or when
// its stop has been asked for already, true without a question.
bool confirmCloseDuringJob(LogWindow& log, DialogPort& port);
