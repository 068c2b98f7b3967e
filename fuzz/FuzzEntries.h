#pragma once

// One entry function per fuzz target. Each takes arbitrary bytes, drives the
// code under test the way a user's file or field would, and returns an empty
// text when everything held, or a description of the broken property. Memory
// faults are left to the sanitizers. The fuzzers and the hardening tests both
// call these, so every saved crash input replays through the same code.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/RunState.h"

namespace veerline::fuzz {

// What every run must leave behind, whatever its outcome: finite stations,
// tracks, sweep and side-line tables and envelope points, and no sweep-table
// point at the origin (the fallback of a failed geometry step). Empty when it
// holds, else what broke.
std::string CheckRunState(const RunState& state);

// Reads the bytes as a DXF drawing; a DxfError is an expected outcome.
std::string FuzzDxfReader(const std::uint8_t* data, std::size_t size);

// Writes the bytes as a vehicle library file, lists it, reads every listed
// record and counts the free places; also decodes the first 1634 bytes as one
// record. File errors with the system's reason are expected outcomes.
std::string FuzzVehicleFile(const std::uint8_t* data, std::size_t size);

// Parses the bytes as a field text with point and comma symbols; a number
// that parses must survive FormatFieldNumber and a second parse.
std::string FuzzNumberRule(const std::uint8_t* data, std::size_t size);

// Decodes a vehicle, run options and a path polyline of at most 300 metres
// from the bytes and runs the Execute button against an in-memory drawing.
// Whatever the outcome, the run state must hold finite numbers only and no
// sweep-table point may fall back to the origin.
std::string FuzzWholeRun(const std::uint8_t* data, std::size_t size);

}  // namespace veerline::fuzz
