#pragma once

#include "catalog/FileTypes.h"

#include <array>

// What a processing job counts; reset at the start of every job.
struct JobCounters {
    int Total = 0;  // successful actions on loose files (and matching archive entries)
    std::array<int, kFileTypeCount> Found{};  // loose files or folders found and acted on, per file type
};
