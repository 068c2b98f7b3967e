#pragma once

#include <filesystem>
#include <string>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfError.h"

namespace veerline::cad {

// The drawing as ASCII DXF text. A drawing read from a file gives that file
// back byte for byte, in its version, with Veerline's additions merged in
// where they belong (layers in the LAYER table, blocks in BLOCKS, entities in
// ENTITIES), table counts and $HANDSEED raised, erased entities left out. A
// new drawing is written as R2000 with a complete set of tables.
std::string WriteDxfText(const DrawingModel& drawing);

// Writes the drawing to the file through a temporary file in the same folder
// that replaces the target only once it is complete and on the disk, so a
// failed write leaves an existing drawing as it was; a symbolic link is
// written through, the file's permissions kept. Throws DxfError naming the file.
void WriteDxfFile(const DrawingModel& drawing, const std::filesystem::path& path);

}  // namespace veerline::cad
