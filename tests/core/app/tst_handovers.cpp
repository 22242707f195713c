#include "FakeDialogPort.h"
#include "TestMain.h"
#include "WiredWizard.h"

#include <QTest>

namespace {

bool notBuiltYet(const char* name) {
    return std::find(kHandOversNotBuiltYet.begin(), kHandOversNotBuiltYet.end(), std::string_view(name)) !=
           kHandOversNotBuiltYet.end();
}

}  // namespace

// The program's own wiring of the wizard's hand-overs: none forgotten, none wired too early.
class HandOversTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyBuiltHandOverIsWired() {
        AppState state;
        FakeDialogPort port;
        const WiredWizard wired(state, port);
        const WizardHandOvers& handOvers = wired.handOvers;

        QStringList unwired;
        QStringList wiredTooEarly;
        QStringList names;
        handOvers.forEach([&](const char* name, bool wired) {
            names.append(QString::fromLatin1(name));
            if (!wired && !notBuiltYet(name)) {
                unwired.append(QString::fromLatin1(name));
            }
            if (wired && notBuiltYet(name)) {
                wiredTooEarly.append(QString::fromLatin1(name));
            }
        });
        QVERIFY2(unwired.isEmpty(), qPrintable("not wired: " + unwired.join(", ")));
        QVERIFY2(wiredTooEarly.isEmpty(),
                 qPrintable("wired but still listed as not built: " + wiredTooEarly.join(", ")));
        QCOMPARE(names.size(), kHandOverCount);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), kHandOverCount);
        for (const std::string_view listed : kHandOversNotBuiltYet) {
            QVERIFY2(names.contains(QString::fromLatin1(listed.data(), qsizetype(listed.size()))),
                     "a hand-over listed as not built does not exist");
        }
    }
};

KESTRUM_REGISTER_TEST(HandOversTest)
#include "tst_handovers.moc"
