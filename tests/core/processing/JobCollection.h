// One collection every operation has something to do in, and the means to compare what lies on
// disk before and after a job.
#pragma once

#include "JobFixture.h"
#include "ZipOracles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

#include <sys/stat.h>

using Tree = QMap<QString, QByteArray>;  // relative path to contents (an archive: its entry names)

// An archive's entry names, sorted, as Python's zipfile reads them.
inline QStringList namesIn(const QString& path) {
    QStringList names;
    for (const ziptest::EntryFacts& entry : ziptest::readWithPython(path).entries) {
        names.append(QString::fromUtf8(entry.name));
    }
    names.sort();
    return names;
}

// Every file and folder under `root`; with `archivesByEntries` the two category archives by their
// entry names joined with "|".
inline Tree treeOf(const QString& root, bool archivesByEntries) {
    Tree tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size());
        if (it.fileInfo().isDir()) {
            tree.insert(relative + u'/', {});
        } else if (archivesByEntries && (relative == QStringLiteral("snap/snap.zip") ||
                                         relative == QStringLiteral("titles/titles.zip"))) {
            tree.insert(relative, namesIn(path).join(u'|').toUtf8());
        } else {
            QFile file(path);
            tree.insert(relative,
                        file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)"));
        }
    }
    return tree;
}

// The paths whose contents differ, each with what `actual` holds there.
inline QString differences(const Tree& actual, const Tree& expected) {
    QStringList out;
    QStringList paths = actual.keys() + expected.keys();
    paths.removeDuplicates();
    for (const QString& path : paths) {
        if (actual.value(path, "(missing)") != expected.value(path, "(missing)")) {
            out.append(path + QStringLiteral(": ") + QString::fromUtf8(actual.value(path, "(missing)")));
        }
    }
    return out.join(QStringLiteral(" | "));
}

// Five games, pacman twice; ROM sets in two folders, a renamed set, a protected set; cfg, ini, nvram
// folders with and without a subfolder; loose pictures and two category archives, one with an entry
// whose renamed name is taken already.
struct JobCollection : JobFixture {
    JobCollection() : JobFixture({"pacman", "galaga", "pacman", "digdug", "mspacman"}) {
        emulator.folders.RomFolders.append(dir.makeFolder("roms2"));
        for (const char* path :
             {"roms/pacman.zip", "roms2/pacman.zip", "roms/galaga.7z", "roms/digdug.zip.krm",
              "roms2/digdug.zip", "roms/mspacman.zip", "cfg/pacman.cfg", "ini/galaga.ini", "nvram/pacman/a",
              "nvram/pacman/b", "nvram/galaga/a", "nvram/galaga/sub/keep", "snap/pacman.png",
              "snap/galaga.png.krm", "marquees/pacman.jpg", "marquees/digdug.png.krm"}) {
            QDir().mkpath(QFileInfo(dir.file(path)).path());
            dir.write(path, QByteArray(path).repeated(3));
        }
        ::chmod(dir.file("roms/mspacman.zip").toLocal8Bit().constData(), 0444);
        archive("snap/snap.zip",
                {"galaga.png", "digdug.png.krm", "mspacman.png", "mspacman.png.krm", "xevious.png"});
        archive("titles/titles.zip", {"pacman.png", "galaga.png.krm"});
        setup.fileTypeChecked.fill(false);
        check({GameROMs, GameCfg, GameIni, GameNVRAM, ImageSnap, ImageMarquee, ImageTitle});
    }
    void archive(const QString& path, const QStringList& names) {
        QList<ziptest::Made> entries;
        for (const QString& name : names) {
            entries.append(ziptest::Made{name, name.toUtf8().repeated(40), false, {}, false});
        }
        const QString error = ziptest::makeWithPython(dir.file(path), entries);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    QString relative(const QString& path) const { return path.mid(dir.path().size()); }
};
