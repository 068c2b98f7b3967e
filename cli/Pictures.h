#pragma once

#include <string>

#include "cad/DrawingModel.h"
#include "engine/RunState.h"

namespace veerline::cli {

// A PNG of the drawing with the run's output, fitted to the picture, with a scale bar.
void WriteDrawingPicture(const cad::DrawingModel& drawing, const std::string& file);
// PREFIX-turning.png and PREFIX-speed.png, painted as the main window paints them.
void WriteDiagramPictures(const RunState& state, int speedUnit, const std::string& prefix);

}  // namespace veerline::cli
