#!/usr/bin/env bash
# Draws the icons again from make-icons.cpp into this folder. Needs the Qt 6 development files
# (scripts/setup installs them); the build itself only copies the committed .ico files.
set -euo pipefail
cd "$(dirname "$0")"
tool=$(mktemp -d)/make-icons
g++ -std=c++20 -O1 -fPIC make-icons.cpp $(pkg-config --cflags --libs Qt6Gui) -o "$tool"
QT_QPA_PLATFORM=offscreen "$tool" .
rm -rf "$(dirname "$tool")"
ls *.ico | wc -l | xargs echo "icons written:"
