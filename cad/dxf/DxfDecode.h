#pragma once

// Decodes the records Veerline works with (layers, linetypes, block heads and
// the entity kinds the run and the pick use) from a file's tags into the
// drawing model's structures. The tags themselves stay as they are.

#include <span>
#include <string>

#include "cad/dxf/DrawingEntity.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfTags.h"
#include "cad/dxf/DxfText.h"

namespace veerline::cad {

struct DecodeContext {
  const std::string& FileName;
  std::string_view Text;  // the whole file, for line numbers in messages
  DxfTextCoding Coding;
};

// The kind an entity record is decoded as; Unknown for kinds kept only as tags.
EntityKind KindOfRecord(std::span<const DxfTag> record);

// Fills data from the record (and its followers) for a decoded kind. Throws
// DxfError naming the group and line for a number that does not read.
void DecodeEntity(EntityKind kind, std::span<const DxfTag> record, EntityData& data,
                  const DecodeContext& context);

// Layer and colour of any entity record (colour 256, "by layer", when absent or bad).
void DecodeCommon(std::span<const DxfTag> record, EntityData& data, const DecodeContext& context);

DrawingLayer DecodeLayer(std::span<const DxfTag> record, const DecodeContext& context);
DrawingLinetype DecodeLinetype(std::span<const DxfTag> record, const DecodeContext& context);

// The first value of a group code in a record, or an empty view.
std::string_view FindValue(std::span<const DxfTag> record, int code);

}  // namespace veerline::cad
