#pragma once

// Small drawings for the flattening tests, written group by group in pipe
// form ("code|value|code|value..."), and their geometry.

#include <algorithm>
#include <memory>
#include <string>

#include "cad/dxf/DxfReader.h"
#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad::testing {

// DXF text from "code|value|code|value..." (no value holds a '|').
inline std::string Groups(std::string pipes) {
  std::replace(pipes.begin(), pipes.end(), '|', '\n');
  return pipes + "\n";
}

// A drawing of the given tables, blocks, entities and objects (each in pipe form).
inline std::unique_ptr<DrawingModel> Drawing(const std::string& entities,
                                             const std::string& blocks = "",
                                             const std::string& tables = "",
                                             const std::string& header = "",
                                             const std::string& objects = "") {
  std::string text = Groups("0|SECTION|2|HEADER|9|$ACADVER|1|AC1015" + header + "|0|ENDSEC");
  if (!tables.empty()) text += Groups("0|SECTION|2|TABLES|" + tables + "|0|ENDSEC");
  if (!blocks.empty()) text += Groups("0|SECTION|2|BLOCKS|" + blocks + "|0|ENDSEC");
  text += Groups("0|SECTION|2|ENTITIES|" + entities + "|0|ENDSEC");
  if (!objects.empty()) text += Groups("0|SECTION|2|OBJECTS|" + objects + "|0|ENDSEC");
  return ReadDxfText(text + Groups("0|EOF"), "test.dxf");
}

inline DrawingGeometry Flatten(const DrawingModel& model) {
  GeometryOptions options;
  options.ChordTolerance = 0.001;
  return BuildDrawingGeometry(model, options);
}

}  // namespace veerline::cad::testing
