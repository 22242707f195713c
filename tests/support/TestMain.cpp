#include "TestMain.h"

namespace testsupport {

std::vector<RegisteredTest>& registeredTests() {
    static std::vector<RegisteredTest> tests;
    return tests;
}

int runRegisteredTests(int argc, char** argv) {
    const QStringList only = qEnvironmentVariable("KESTRUM_TEST_ONLY").split(u',', Qt::SkipEmptyParts);
    const QStringList skip = qEnvironmentVariable("KESTRUM_TEST_SKIP").split(u',', Qt::SkipEmptyParts);
    int failures = 0;
    int ran = 0;
    for (const RegisteredTest& test : registeredTests()) {
        const QString name = QString::fromLatin1(test.className);
        if ((only.isEmpty() || only.contains(name)) && !skip.contains(name)) {
            failures += test.run(argc, argv);
            ++ran;
        }
    }
    if (ran == 0) {
        qWarning("no registered test class is selected");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace testsupport
