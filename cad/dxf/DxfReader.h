#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfError.h"

namespace veerline::cad {

// Reads an ASCII DXF drawing of any version. The drawing keeps the whole file
// and shows its layers, block definitions and model-space entities as views
// onto the file's records, so that writing gives every record back unchanged.
// Throws DxfError naming the file and the problem when the file cannot be
// read or is no well-formed DXF drawing.
std::unique_ptr<DrawingModel> ReadDxfFile(const std::filesystem::path& path);

// The same for DXF text already in memory; fileName appears in messages.
std::unique_ptr<DrawingModel> ReadDxfText(std::string_view text, const std::string& fileName);
// The same, taking over the text without a copy.
std::unique_ptr<DrawingModel> ReadDxfOwnedText(std::string text, const std::string& fileName);

}  // namespace veerline::cad
