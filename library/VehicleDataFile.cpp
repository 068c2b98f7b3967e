#include "library/VehicleDataFile.h"

#include <optional>
#include <system_error>

#include "library/LibraryFile.h"
#include "library/LittleEndian.h"
#include "library/RecordLayout.h"

namespace veerline::library {
namespace {

using Access = LibraryFile::Access;

// First record among 1..count whose free flag marks a free slot; 0 when none.
std::int32_t FirstFreeSlot(LibraryFile& file, std::int32_t count) {
  for (std::int32_t record = 1; record <= count; ++record)
    if (RecordFreeFlag(file.ReadRecord(record)) == layout::kFree) return record;
  return 0;
}

// Overwrites one existing record. When the write fails part-way, the record's
// old bytes are put back (as far as the file still allows) so that no half
// record is left behind; the original failure is reported.
void OverwriteRecord(LibraryFile& file, std::int32_t record, const RawRecord& raw) {
  const RawRecord old = file.ReadRecord(record);
  try {
    file.WriteRecord(record, raw);
    file.Close();
  } catch (const LibraryFileError&) {
    try {
      file.WriteRecord(record, old);
    } catch (const LibraryFileError&) {
    }
    throw;
  }
}

// Appends a record after the last one. When that fails the file is cut back
// to its old length, so a failed append leaves no partial record.
void AppendRecord(const std::filesystem::path& path, std::optional<LibraryFile>& file,
                  std::int32_t record, std::uint64_t oldSize, const RawRecord& raw) {
  try {
    file->WriteRecord(record, raw);
    file->Close();
  } catch (const LibraryFileError&) {
    // Cut back while the file is still locked, so no other add slips in between.
    file->AbandonAndTruncate(oldSize);
#ifdef _WIN32
    file.reset();
    std::error_code ignored;
    std::filesystem::resize_file(path, oldSize, ignored);
#else
    (void)path;
#endif
    throw;
  }
}

}  // namespace

VehicleRecord ReadVehicleRecord(const std::filesystem::path& path, std::int32_t record) {
  LibraryFile file(path, Access::Read);
  CheckRecordNumber(record, file.RecordCount());
  return DecodeVehicleRecord(file.ReadRecord(record));
}

std::vector<ListedVehicle> ListVehicleRecords(const std::filesystem::path& path) {
  LibraryFile file(path, Access::Read);
  const std::int32_t count = file.RecordCount();
  std::vector<ListedVehicle> listed;
  for (std::int32_t record = 1; record <= count; ++record) {
    const RawRecord raw = file.ReadRecord(record);
    if (RecordFreeFlag(raw) == layout::kInUse) listed.push_back({layout::NameField(raw), record});
  }
  return listed;
}

std::vector<NumberedVehicle> ReadVehiclesInUse(const std::filesystem::path& path) {
  LibraryFile file(path, Access::Read);
  const std::int32_t count = file.RecordCount();
  std::vector<NumberedVehicle> vehicles;
  for (std::int32_t record = 1; record <= count; ++record) {
    const RawRecord raw = file.ReadRecord(record);
    if (RecordFreeFlag(raw) == layout::kInUse)
      vehicles.push_back({record, DecodeVehicleRecord(raw)});
  }
  return vehicles;
}

std::int32_t RecordsAddable(const std::filesystem::path& path) {
  LibraryFile file(path, Access::Read);
  const std::int32_t count = file.RecordCount();
  std::int32_t freeSlots = 0;
  for (std::int32_t record = 1; record <= count; ++record)
    if (RecordFreeFlag(file.ReadRecord(record)) == layout::kFree) ++freeSlots;
  return freeSlots + (kMaxRecords - count);
}

void WriteVehicleRecord(const std::filesystem::path& path, const VehicleRecord& vehicle,
                        std::int32_t record) {
  const RawRecord raw = EncodeVehicleRecord(vehicle);
  LibraryFile file(path, Access::ReadWrite);
  CheckRecordNumber(record, file.RecordCount());
  OverwriteRecord(file, record, raw);
}

std::int32_t AddVehicleRecord(const std::filesystem::path& path, const VehicleRecord& vehicle) {
  const RawRecord raw = EncodeVehicleRecord(vehicle);
  std::optional<LibraryFile> file(std::in_place, path, Access::ReadWrite);
  const std::uint64_t size = file->Size();
  const std::int32_t count = RoundedRecordCount(size);
  if (const std::int32_t freeSlot = FirstFreeSlot(*file, count); freeSlot != 0) {
    OverwriteRecord(*file, freeSlot, raw);
    return freeSlot;
  }
  if (count >= kMaxRecords)
    throw LibraryFileError("Overflow: the vehicle library already holds 32767 records");
  AppendRecord(path, file, count + 1, size, raw);
  return count + 1;
}

void DeleteVehicleRecord(const std::filesystem::path& path, std::int32_t record) {
  LibraryFile file(path, Access::ReadWrite);
  CheckRecordNumber(record, file.RecordCount());
  RawRecord raw = file.ReadRecord(record);
  PutInt16(raw.data(), layout::kFreeFlag, layout::kFree);
  OverwriteRecord(file, record, raw);
}

}  // namespace veerline::library
