#pragma once

#include "JobCounters.h"

struct JobContext;

// One pass over an image category's archive: every Work List game's entry deleted or renamed in one
// update, committed once, told on one log line that changes as the pass goes. An archive that is
// missing, protected, empty or unreadable is passed over without a word. A failed change or commit
// raises ZipError (the archive then stays as it was).
void ProcessImageArchive(JobContext& context, int type, JobCounters& counters);
