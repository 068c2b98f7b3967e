#pragma once

// The first reading pass over a DXF file: splits the text into group
// code/value pairs, checks the section structure and gathers the layer
// records, block definitions and model-space entities as raw groups. The DXF
// library trusts its input; nothing reaches it that did not pass here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veerline::cad {

struct DxfGroup {
  int Code = 0;
  std::string Value;
  std::size_t Line = 0;  // line of the group code, from 1
};

// One entity or table record: its type and the groups after the type. An
// entity that owns a sequence (a POLYLINE's VERTEX records, an INSERT's
// ATTRIB records) keeps them, with their closing SEQEND, as followers.
struct DxfRecord {
  std::string Type;
  std::size_t Line = 0;
  std::vector<DxfGroup> Groups;
  std::vector<DxfRecord> Followers;

  // The value of the first group with this code, or nullptr.
  const std::string* Find(int code) const;
};

struct DxfBlockDefinition {
  DxfRecord Header;  // the BLOCK record
  std::vector<DxfRecord> Entities;
};

struct DxfContent {
  std::vector<DxfRecord> Layers;
  std::vector<DxfBlockDefinition> Blocks;
  std::vector<DxfRecord> Entities;
};

// Checks and splits the whole text; fileName is used in error messages only.
// Throws DxfError for anything that is not a well-formed ASCII DXF drawing.
DxfContent ScanDxf(std::string_view text, const std::string& fileName);

}  // namespace veerline::cad
