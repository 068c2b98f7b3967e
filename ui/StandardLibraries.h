#pragma once

// The standard design-vehicle libraries shipped beside the program, and the
// File menu's "Standard libraries" submenu that opens them.

#include <QString>
#include <functional>
#include <vector>

class QMenu;

namespace veerline::ui {

struct StandardLibrary {
  QString path;   // the shipped .vdt file
  QString title;  // what the menu shows: the standard and edition
};

// Every .vdt file in the program's folder but the default library, by title.
// Titles come from StandardLibraries.tsv beside them (file name, tab, title);
// a file it does not name shows under its own name.
std::vector<StandardLibrary> FindStandardLibraries(const QString& programFolder);

// Adds "Standard libraries" to the menu; it lists the libraries each time it
// opens and calls open with the chosen one's path.
QMenu* AddStandardLibrariesMenu(QMenu* menu, const QString& programFolder,
                                std::function<void(const QString&)> open);

}  // namespace veerline::ui
