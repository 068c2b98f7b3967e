#pragma once

#include <filesystem>
#include <string>

#include "cad/DrawingModel.h"
#include "cad/DxfError.h"

namespace veerline::cad {

// The drawing as a complete R2000 (AC1015) ASCII DXF text.
std::string WriteDxfText(const DrawingModel& drawing);

// Writes the drawing to the file through a temporary file in the same folder
// that replaces the target only once it is complete, so a failed write leaves
// an existing drawing as it was. Throws DxfError naming the file.
void WriteDxfFile(const DrawingModel& drawing, const std::filesystem::path& path);

}  // namespace veerline::cad
