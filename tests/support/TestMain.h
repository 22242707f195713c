#pragma once

#include <QCoreApplication>
#include <QTest>
#include <functional>
#include <vector>

// Several test classes in one executable per subsystem: each test file registers its class with
// KESTRUM_REGISTER_TEST and KESTRUM_TEST_MAIN runs them all, failing when any fails.
namespace testsupport {

using TestRunner = std::function<int(int, char**)>;
std::vector<TestRunner>& registeredTests();

template <typename T>
struct Registration {
    Registration() {
        registeredTests().push_back([](int argc, char** argv) {
            T test;
            return QTest::qExec(&test, argc, argv);
        });
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
