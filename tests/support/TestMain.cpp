#include "TestMain.h"

namespace testsupport {

std::vector<TestRunner>& registeredTests() {
    static std::vector<TestRunner> tests;
    return tests;
}

int runRegisteredTests(int argc, char** argv) {
    int failures = 0;
    for (const TestRunner& run : registeredTests()) {
        failures += run(argc, argv);
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace testsupport
