#include "SetupChoices.h"

QString ActionName(OperationMode operation) {
    static constexpr const char* kNames[kOperationCount] = {
        "Delete Files", "Rename Files", "Restore Files ", "Delete Renamed Files", "Move Files",
    };
    return isOperation(operation) ? QString::fromLatin1(kNames[operation]) : QString();
}
