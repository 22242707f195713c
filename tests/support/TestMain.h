#pragma once

#include <QCoreApplication>
#include <QTest>
#include <functional>
#include <vector>

// Several test classes in one executable per subsystem: each test file registers its class with
// KESTRUM_REGISTER_TEST and KESTRUM_TEST_MAIN runs them all, failing when any fails. The
// environment can narrow that down to some classes (KESTRUM_TEST_ONLY) or leave some out
// (KESTRUM_TEST_SKIP), each a comma-separated list of class names, so that CTest can run a heavy
// class as a test of its own.
namespace testsupport {

struct RegisteredTest {
    const char* className;
    std::function<int(int, char**)> run;
};
std::vector<RegisteredTest>& registeredTests();

template <typename T>
struct Registration {
    Registration() {
        registeredTests().push_back({T::staticMetaObject.className(), [](int argc, char** argv) {
                                         T test;
                                         return QTest::qExec(&test, argc, argv);
                                     }});
    }
};

int runRegisteredTests(int argc, char** argv);

}  // namespace testsupport

#define KESTRUM_REGISTER_TEST(Class) static const testsupport::Registration<Class> registration_##Class;

#define KESTRUM_TEST_MAIN                                   \
    int main(int argc, char** argv) {                       \
        QCoreApplication app(argc, argv);                   \
        return testsupport::runRegisteredTests(argc, argv); \
    }
