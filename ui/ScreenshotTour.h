#pragma once

#include <QString>

#include "ui/UiServices.h"

namespace veerline::ui {

// Opens every window of the program without waiting for the user and saves a
// picture of each into the folder: the splash, the main window on each tab and
// for a few vehicle types, the colour settings dialog, the about box, the
// picture of every vehicle kind and, when it lies beside the program, the
// first page of the user guide.
// With a drawing file, it also runs the vehicle on the drawing's only polyline
// and saves the drawing window and both diagram tabs after the run.
// Message boxes are written to standard error instead of being shown.
// Returns the number of pictures that could not be saved.
int TakeScreenshots(UiServices services, const QString& folder,
                    const QString& drawingFile = QString());

// The pictures of the user guide: the same tour with settings and data of its
// own in a temporary folder, the library shipped beside the program and the
// given drawing. Returns the number of pictures that failed.
int TakeHelpPictures(UiServices services, const QString& folder, const QString& drawingFile);

}  // namespace veerline::ui
