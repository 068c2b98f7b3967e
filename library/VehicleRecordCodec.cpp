#include <algorithm>
#include <optional>
#include <vector>

#include "library/Cp1252.h"
#include "library/LittleEndian.h"
#include "library/RecordLayout.h"
#include "library/VehicleDataFile.h"

namespace veerline::library {
namespace {

using D = Dimension;
namespace L = layout;

// One value of a segment block: which field of which block holds which
// vehicle dimension. Some values are stored twice; only one copy is read back.
struct Placement {
  int block;
  std::size_t field;
  Dimension dimension;
  bool readBack = true;
};

struct BlockKind {
  int block;
  std::int16_t kind;
};

struct TypeLayout {
  std::vector<BlockKind> kinds;
  std::vector<Placement> placements;
};

Dimension Nth(Dimension first, int segment) {
  return static_cast<Dimension>(static_cast<int>(first) + segment - 1);
}

// Widths and lengths of user segment #segment in one block.
void AddBody(std::vector<Placement>& out, int block, int segment) {
  out.push_back({block, L::kBlockWheelWidth, Nth(D::WheelWidth, segment)});
  out.push_back({block, L::kBlockVehicleWidth, Nth(D::VehicleWidth, segment)});
  out.push_back({block, L::kBlockFront, Nth(D::Front, segment)});
  out.push_back({block, L::kBlockWheelbase, Nth(D::Wheelbase, segment)});
  out.push_back({block, L::kBlockBack, Nth(D::Back, segment)});
}

// Which blocks a vehicle type fills and where each of its dimensions goes.
// A code outside 1..13 stores the towing unit only.
TypeLayout LayoutOf(int type) {
  TypeLayout t;
  t.kinds.push_back({1, 1});
  AddBody(t.placements, 1, 1);
  auto& p = t.placements;
  switch (type) {
    case 2:
      // The semitrailer's lengths are in S2 but its widths in S3, whose kind stays 0.
      p.push_back({1, L::kBlockHitch, D::Hitch});
      t.kinds.push_back({2, 3});
      p.push_back({2, L::kBlockFront, D::Front2});
      p.push_back({2, L::kBlockWheelbase, D::Wheelbase2});
      p.push_back({2, L::kBlockBack, D::Back2});
      p.push_back({3, L::kBlockWheelWidth, D::WheelWidth2});
      p.push_back({3, L::kBlockVehicleWidth, D::VehicleWidth2});
      break;
    case 3:
      // The tow bar length is stored as the drawbar link and as the trailer's
      // hitch; it is read from the trailer.
      p.push_back({1, L::kBlockHitch, D::Hitch});
      t.kinds.push_back({2, 2});
      p.push_back({2, L::kBlockWheelbase, D::Hitch2, false});
      t.kinds.push_back({3, 3});
      AddBody(p, 3, 2);
      p.push_back({3, L::kBlockHitch, D::Hitch2});
      break;
    case 4:
    case 5:
    case 8:
      p.push_back({1, L::kBlockHitch, D::Hitch});
      t.kinds.push_back({2, 3});
      AddBody(p, 2, 2);
      break;
    case 9:
    case 10:
      p.push_back({1, L::kBlockHitch, D::Hitch});
      t.kinds.push_back({2, 3});
      AddBody(p, 2, 2);
      p.push_back({2, L::kBlockHitch, D::Hitch2});
      t.kinds.push_back({3, 2});
      p.push_back({3, L::kBlockWheelbase, D::Hitch3});
      // Only the double trailer repeats H3 as the drawbar's hitch.
      if (type == 9) p.push_back({3, L::kBlockHitch, D::Hitch3, false});
      t.kinds.push_back({4, 3});
      AddBody(p, 4, 3);
      if (type == 10) {
        t.kinds.push_back({5, 2});
        p.push_back({5, L::kBlockWheelbase, D::Hitch4});
        t.kinds.push_back({6, 3});
        AddBody(p, 6, 4);
      }
      break;
    case 11:
    case 12:
    case 13:
      p.push_back({1, L::kBlockHitch, D::Hitch});
      t.kinds.push_back({2, 3});
      AddBody(p, 2, 2);
      p.push_back({2, L::kBlockHitch, D::Hitch2});
      t.kinds.push_back({3, 3});
      AddBody(p, 3, 3);
      break;
    default:
      break;
  }
  return t;
}

// Trims blanks (and only blanks) at both ends.
std::string TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

// Stores a text trimmed, in Windows-1252, cut to the field and padded with blanks.
void PutText(RawRecord& raw, std::size_t offset, std::size_t length, std::string_view utf8) {
  std::string bytes = Utf8ToCp1252(TrimBlanks(utf8));
  bytes.resize(std::min(bytes.size(), length));
  bytes.resize(length, ' ');
  std::copy(bytes.begin(), bytes.end(), raw.begin() + offset);
}

// A text field as stored, in UTF-8, nothing trimmed.
std::string GetText(const RawRecord& raw, std::size_t offset, std::size_t length) {
  return Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(raw.data() + offset), length));
}

}  // namespace

std::string layout::NameField(const RawRecord& raw) { return GetText(raw, kName, kNameLength); }

RawRecord EncodeVehicleRecord(const VehicleRecord& vehicle) {
  RawRecord raw{};
  std::uint8_t* bytes = raw.data();
  PutText(raw, L::kName, L::kNameLength, vehicle.Name);
  PutText(raw, L::kDescription, L::kDescriptionLength, vehicle.Description);
  PutInt16(bytes, L::kFreeFlag, L::kInUse);
  PutInt16(bytes, L::kType, vehicle.Type);
  PutDouble(bytes, L::kMaxTurningAngle, vehicle[D::MaxTurningAngle]);
  PutDouble(bytes, L::kMaxSegmentAngle, vehicle[D::MaxSegmentAngle]);
  PutInt16(bytes, L::kUnit, vehicle.Unit);
  PutDouble(bytes, L::kLockToLockTime, vehicle[D::LockToLockTime]);
  const TypeLayout type = LayoutOf(vehicle.Type);
  for (const BlockKind& k : type.kinds)
    PutInt16(bytes, L::BlockStart(k.block) + L::kBlockKind, k.kind);
  for (const Placement& p : type.placements)
    PutDouble(bytes, L::BlockStart(p.block) + p.field, vehicle[p.dimension]);
  return raw;
}

VehicleRecord DecodeVehicleRecord(const RawRecord& raw) {
  // Fields the type does not use are not stored; they keep the window's defaults.
  VehicleRecord vehicle = VehicleRecord::Defaults();
  const std::uint8_t* bytes = raw.data();
  vehicle.Name = TrimBlanks(GetText(raw, L::kName, L::kNameLength));
  vehicle.Description = TrimBlanks(GetText(raw, L::kDescription, L::kDescriptionLength));
  vehicle.Type = GetInt16(bytes, L::kType);
  vehicle.Unit = GetInt16(bytes, L::kUnit);
  vehicle[D::MaxTurningAngle] = GetDouble(bytes, L::kMaxTurningAngle);
  vehicle[D::MaxSegmentAngle] = GetDouble(bytes, L::kMaxSegmentAngle);
  vehicle[D::LockToLockTime] = GetDouble(bytes, L::kLockToLockTime);
  for (const Placement& p : LayoutOf(vehicle.Type).placements)
    if (p.readBack) vehicle[p.dimension] = GetDouble(bytes, L::BlockStart(p.block) + p.field);
  return vehicle;
}

std::int16_t RecordFreeFlag(const RawRecord& raw) { return GetInt16(raw.data(), L::kFreeFlag); }

}  // namespace veerline::library
