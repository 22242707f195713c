#pragma once

#include "SetDependencies.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <optional>
#include <vector>

// listdeps.txt, beside listfull.txt: what the games list cannot hold of its machines — the set each
// takes ROMs from when that is not its parent (a game's BIOS) and the devices with ROMs it uses.
// Its first line ties it to one listfull.txt: the list's stamp line and byte size. Then one machine
// per line: name TAB romof [TAB device]..., LF-ended, names as the emulator wrote them.
QString dependenciesPath(const QString& programFolder);

// Gathers the machines' needs while -listxml output is scanned. Devices come last in that output,
// so which of them have ROMs is known only at the end: a device without ROMs is replaced by the
// devices with ROMs it uses in turn.
class DependencyCollector {
public:
    DependencyCollector() { m_ids.reserve(1 << 16); }  // a current emulator names ~50,000 machines
    // A name's number, for the devices of the machine being scanned; -1 for a name the file cannot hold.
    int deviceId(QByteArrayView name);
    // A machine at its end: `listed` when it has a line in the games list.
    void addMachine(QByteArrayView name, QByteArrayView romOf, const std::vector<int>& devices, bool listed);
    // The file for a games list whose first line (without its line end) and byte size are given.
    QByteArray fileBytes(QByteArrayView listStampLine, qint64 listSize);

private:
    struct Machine {
        int romOf = -1;
        std::vector<int> devices;
        bool listed = false;
    };
    const std::vector<int>& devicesWithRoms(int id);

    QHash<QByteArray, int> m_ids;
    QList<QByteArray> m_names;
    std::vector<Machine> m_machines;                          // by id
    std::vector<int> m_order;                                 // the listed machines, in the order they came
    std::vector<std::optional<std::vector<int>>> m_expanded;  // devicesWithRoms, by id
};

// The table in the file, when the file belongs to this games list (same stamp line and size) and
// reads whole; nullopt otherwise.
std::optional<DependencyTable> readDependencies(QByteArrayView file, QByteArrayView listStampLine,
                                                qint64 listSize);
std::optional<DependencyTable> loadDependencies(const QString& programFolder, QByteArrayView listStampLine,
                                                qint64 listSize);
