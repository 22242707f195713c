#pragma once

class QApplication;

// What the program sets on its application object before the main window is made: its name, which
// names an installed program's data folder (no display name, which the desktop would add to every
// window title), its window icon and desktop entry name, the tooltip colour, and a style that shows
// tooltips after 200 ms.
void prepareApplication(QApplication& app);
