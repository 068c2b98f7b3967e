#pragma once

// Byte positions inside one 1634-byte library record: a 494-byte head and six
// 190-byte segment blocks. Fields not named here are reserved and stay zero.

#include <cstddef>
#include <string>

#include "library/VehicleDataFile.h"

namespace veerline::library::layout {

inline constexpr std::size_t kName = 0;
inline constexpr std::size_t kNameLength = 100;
inline constexpr std::size_t kDescription = 100;
inline constexpr std::size_t kDescriptionLength = 250;
inline constexpr std::size_t kFreeFlag = 350;
inline constexpr std::size_t kType = 352;
inline constexpr std::size_t kMaxTurningAngle = 354;
inline constexpr std::size_t kMaxSegmentAngle = 362;
inline constexpr std::size_t kLockToLockTime = 374;
inline constexpr std::size_t kUnit = 490;

inline constexpr std::size_t kFirstBlock = 494;
inline constexpr std::size_t kBlockLength = 190;
inline constexpr int kBlockCount = 6;

// Offsets within a segment block.
inline constexpr std::size_t kBlockKind = 0;
inline constexpr std::size_t kBlockWheelWidth = 2;
inline constexpr std::size_t kBlockVehicleWidth = 10;
inline constexpr std::size_t kBlockFront = 18;
inline constexpr std::size_t kBlockWheelbase = 26;
inline constexpr std::size_t kBlockBack = 34;
inline constexpr std::size_t kBlockHitch = 42;

// Start of segment block S1..S6 within the record.
constexpr std::size_t BlockStart(int block) { return kFirstBlock + kBlockLength * (block - 1); }

inline constexpr std::int16_t kInUse = 0;
inline constexpr std::int16_t kFree = -1;

// The name field as stored, turned into UTF-8 with its blanks kept.
std::string NameField(const RawRecord& raw);

}  // namespace veerline::library::layout
