#pragma once

#include <QString>

#include "ui/UiServices.h"

class QWidget;

namespace veerline::ui {

// Shows the file dialog of a kind in the folder last used for that kind of
// file (vehicle libraries or drawings, kept in the settings as
// "LibraryFolder" and "DrawingFolder"), in the user's documents at first, and
// remembers the folder of the file chosen. Empty when cancelled.
QString ChooseFileInLastFolder(const UiServices& services, QWidget* parent, FileDialogKind kind);

// The folder the next dialog of the kind opens in.
QString LastFolder(const UiServices& services, FileDialogKind kind);

}  // namespace veerline::ui
