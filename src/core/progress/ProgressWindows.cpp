#include "ProgressWindows.h"

int forwardProgress(int current, qint64 done, qint64 total) {
    if (total < 2) {
        return current;
    }
    const qint64 percent = done * 100 / total;
    return percent > current ? static_cast<int>(percent) : current;
}
