// Reading the tags of entity records for the flattening.

#include "cad/dxf/DxfNumber.h"
#include "cad/geometry/GeometrySink.h"

namespace veerline::cad {

double ReadReal(const DxfTag& tag) {
  if (auto value = ParseDxfReal(tag.Value)) return *value;
  throw BadGeometryRecord{};
}

int ReadInt(const DxfTag& tag) {
  if (auto value = ParseDxfInt(tag.Value)) return *value;
  throw BadGeometryRecord{};
}

std::span<const DxfTag> RecordBody(std::span<const DxfTag> tags) {
  if (tags.empty()) return {};
  std::size_t end = 1;
  while (end < tags.size() && tags[end].Code != 0) ++end;
  return tags.subspan(1, end - 1);
}

std::vector<std::span<const DxfTag>> Followers(std::span<const DxfTag> tags) {
  std::vector<std::span<const DxfTag>> records;
  std::size_t first = 1 + RecordBody(tags).size();
  while (first < tags.size()) {
    std::size_t end = first + 1;
    while (end < tags.size() && tags[end].Code != 0) ++end;
    records.push_back(tags.subspan(first, end - first));
    first = end;
  }
  return records;
}

double RealOf(std::span<const DxfTag> body, int code, double fallback) {
  for (const DxfTag& tag : body) {
    if (tag.Code == code) return ReadReal(tag);
  }
  return fallback;
}

int IntOf(std::span<const DxfTag> body, int code, int fallback) {
  for (const DxfTag& tag : body) {
    if (tag.Code == code) return ReadInt(tag);
  }
  return fallback;
}

Point2D PointOf(std::span<const DxfTag> body, int code, Point2D fallback) {
  return {RealOf(body, code, fallback.X), RealOf(body, code + 10, fallback.Y)};
}

Vector3 NormalOf(std::span<const DxfTag> body) {
  return {RealOf(body, 210, 0), RealOf(body, 220, 0), RealOf(body, 230, 1)};
}

}  // namespace veerline::cad
