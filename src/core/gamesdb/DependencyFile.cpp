#include "DependencyFile.h"

#include "common/CodePage.h"
#include "common/FileOps.h"

#include <QSet>

#include <algorithm>

namespace {

QByteArray headerLine(QByteArrayView listStampLine, qint64 listSize) {
    return QByteArray("KESTRUM-DEPS 1\t") + listStampLine.toByteArray() + '\t' +
           QByteArray::number(listSize) + '\n';
}

// A name a line can hold: not empty, no field or line separator in it.
bool holdable(QByteArrayView name) {
    return !name.isEmpty() && !name.contains('\t') && !name.contains('\n') && !name.contains('\r');
}

void sortUnique(std::vector<int>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

}  // namespace

QString dependenciesPath(const QString& programFolder) {
    return programFolder + QStringLiteral("listdeps.txt");
}

int DependencyCollector::deviceId(QByteArrayView name) {
    if (!holdable(name)) {
        return -1;
    }
    const auto found = m_ids.constFind(QByteArray::fromRawData(name.data(), name.size()));
    if (found != m_ids.cend()) {
        return *found;
    }
    const int id = int(m_names.size());
    m_names.append(name.toByteArray());
    m_ids.insert(m_names.back(), id);
    m_machines.emplace_back();
    return id;
}

void DependencyCollector::addMachine(QByteArrayView name, QByteArrayView romOf,
                                     const std::vector<int>& devices, bool listed) {
    const int id = deviceId(name);
    const int romOfId = deviceId(romOf);
    if (id < 0) {
        return;
    }
    Machine& machine = m_machines[size_t(id)];
    if (listed && !machine.listed) {
        m_order.push_back(id);
    }
    machine.listed = machine.listed || listed;
    if (machine.romOf < 0 && romOfId != id) {
        machine.romOf = romOfId;
    }
    for (const int device : devices) {
        if (device >= 0 && device != id) {
            machine.devices.push_back(device);
        }
    }
}

const std::vector<int>& DependencyCollector::devicesWithRoms(int id) {
    std::optional<std::vector<int>>& known = m_expanded[size_t(id)];
    if (!known) {
        // Iterative, so that a long chain of devices cannot exhaust the stack.
        std::vector<int> found;
        std::vector<int> pending{id};
        QSet<int> seen{id};
        while (!pending.empty()) {
            const int at = pending.back();
            pending.pop_back();
            for (const int device : m_machines[size_t(at)].devices) {
                if (m_machines[size_t(device)].listed) {
                    found.push_back(device);
                } else if (!seen.contains(device)) {
                    seen.insert(device);
                    pending.push_back(device);
                }
            }
        }
        sortUnique(found);
        known = std::move(found);
    }
    return *known;
}

QByteArray DependencyCollector::fileBytes(QByteArrayView listStampLine, qint64 listSize) {
    m_expanded.assign(m_machines.size(), std::nullopt);
    QByteArray out = headerLine(listStampLine, listSize);
    std::vector<int> devices;
    for (const int id : m_order) {
        const Machine& machine = m_machines[size_t(id)];
        devices.clear();
        for (const int device : machine.devices) {
            if (m_machines[size_t(device)].listed) {
                devices.push_back(device);
            } else {
                const std::vector<int>& used = devicesWithRoms(device);
                devices.insert(devices.end(), used.begin(), used.end());
            }
        }
        sortUnique(devices);
        devices.erase(std::remove(devices.begin(), devices.end(), id), devices.end());
        if (machine.romOf < 0 && devices.empty()) {
            continue;
        }
        out += m_names[id];
        out += '\t';
        if (machine.romOf >= 0) {
            out += m_names[machine.romOf];
        }
        for (const int device : devices) {
            out += '\t';
            out += m_names[device];
        }
        out += '\n';
    }
    return out;
}

std::optional<DependencyTable> readDependencies(QByteArrayView file, QByteArrayView listStampLine,
                                                qint64 listSize) {
    const QByteArray header = headerLine(listStampLine, listSize);
    if (!file.startsWith(header) || !file.endsWith('\n')) {
        return std::nullopt;  // another list's, or cut short
    }
    DependencyTable table;
    QByteArrayView rest = file.sliced(header.size());
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView line = rest.first(end);
        rest = rest.sliced(end + 1);
        QList<QByteArrayView> fields;
        for (qsizetype start = 0;;) {
            const qsizetype tab = line.indexOf('\t', start);
            fields.append(line.sliced(start, (tab < 0 ? line.size() : tab) - start));
            if (tab < 0) {
                break;
            }
            start = tab + 1;
        }
        if (fields.size() < 2 || fields[0].isEmpty()) {
            return std::nullopt;
        }
        MachineNeeds needs;
        needs.romOf = decodeCp1252(fields[1]);
        for (qsizetype i = 2; i < fields.size(); ++i) {
            if (fields[i].isEmpty()) {
                return std::nullopt;
            }
            needs.devices.append(decodeCp1252(fields[i]));
        }
        table.insert(decodeCp1252(fields[0]), needs);
    }
    return table;
}

std::optional<DependencyTable> loadDependencies(const QString& programFolder, QByteArrayView listStampLine,
                                                qint64 listSize) {
    const std::optional<QByteArray> file = readWholeFile(dependenciesPath(programFolder));
    return file ? readDependencies(*file, listStampLine, listSize) : std::nullopt;
}
