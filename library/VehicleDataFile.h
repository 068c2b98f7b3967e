#pragma once

// The vehicle library file: fixed-length little-endian records of 1634 bytes.
// Every operation opens the file, does its work and closes it again before it
// returns, also when it fails. A write touches only its own record's bytes.

#include <array>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/VehicleModel.h"

namespace veerline::library {

inline constexpr std::size_t kRecordLength = 1634;
inline constexpr std::int32_t kMaxRecords = 32767;

using RawRecord = std::array<std::uint8_t, kRecordLength>;

// A file operation that failed; the text is the system's reason.
class LibraryFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A failure the operating system reports on the file (no permission, a full
// disk...); what() is the system's reason.
class LibrarySystemError : public LibraryFileError {
 public:
  using LibraryFileError::LibraryFileError;
};

struct ListedVehicle {
  std::string name;     // the 100-byte name field as read (UTF-8), trailing blanks included
  std::int32_t record;  // 1-based record number
};

// A stored vehicle with its record number.
struct NumberedVehicle {
  std::int32_t record;
  VehicleRecord vehicle;
};

RawRecord EncodeVehicleRecord(const VehicleRecord& vehicle);
VehicleRecord DecodeVehicleRecord(const RawRecord& raw);
// The free flag of a raw record: 0 in use, -1 free (other values: neither).
std::int16_t RecordFreeFlag(const RawRecord& raw);

// Whether a record can belong to a vehicle library: its name field holds text
// (no control characters besides zero padding), its description text that may
// break lines, and no text runs on into its free flag. A drawing, a picture or
// any other file read as records fails this at once.
bool IsLibraryRecord(const RawRecord& raw);
// Throws LibraryFileError naming the first record, a partial last one
// included, that cannot belong to a vehicle library. The writes below refuse
// such a file the same way before they change a byte of it.
void CheckVehicleLibrary(const std::filesystem::path& file);

VehicleRecord ReadVehicleRecord(const std::filesystem::path& file, std::int32_t record);
std::vector<ListedVehicle> ListVehicleRecords(const std::filesystem::path& file);
void WriteVehicleRecord(const std::filesystem::path& file, const VehicleRecord& vehicle,
                        std::int32_t record);
// Reuses the first free slot or appends; returns the record number used.
std::int32_t AddVehicleRecord(const std::filesystem::path& file, const VehicleRecord& vehicle);
void DeleteVehicleRecord(const std::filesystem::path& file, std::int32_t record);

// Every record in use, decoded, in record order (one pass over the file).
std::vector<NumberedVehicle> ReadVehiclesInUse(const std::filesystem::path& file);
// How many vehicles can still be added: free slots plus the records the file
// may grow by before it holds kMaxRecords.
std::int32_t RecordsAddable(const std::filesystem::path& file);

}  // namespace veerline::library
