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

// The libraries that StandardLibraries.tsv in the program's folder names
// (file name, tab, title; one a line) and that are there, by title.
std::vector<StandardLibrary> FindStandardLibraries(const QString& programFolder);
// The file is one of those shipped libraries.
bool IsStandardLibrary(const QString& programFolder, const QString& path);

// Adds "Standard libraries" to the menu; it lists the libraries each time it
// opens and calls open with the chosen one's path.
QMenu* AddStandardLibrariesMenu(QMenu* menu, const QString& programFolder,
                                std::function<void(const QString&)> open);

}  // namespace veerline::ui
