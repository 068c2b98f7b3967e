#include "library/VehicleDataFile.h"

#include <optional>
#include <string>
#include <system_error>

#include "library/LibraryFile.h"
#include "library/LittleEndian.h"
#include "library/RecordLayout.h"

namespace veerline::library {
namespace {

using Access = LibraryFile::Access;

// Refuses a file that is not a vehicle library, naming the record that gave it away.
void CheckLibraryRecord(const std::filesystem::path& path, const RawRecord& raw,
                        std::int32_t record) {
  if (IsLibraryRecord(raw)) return;
  throw LibraryFileError("The file " + path.filename().string() +
                         " is not a vehicle library: record " + std::to_string(record) +
                         " holds neither a vehicle nor a free slot");
}

// Number of records the file's bytes reach into, a partial last one included.
std::int32_t RecordsPresent(std::uint64_t size) {
  return static_cast<std::int32_t>((size + kRecordLength - 1) / kRecordLength);
}

// Checks every record the file's bytes reach into and returns the first free
// slot among records 1..count; 0 when there is none.
std::int32_t FirstFreeSlot(const std::filesystem::path& path, LibraryFile& file, std::int32_t count,
                           std::uint64_t size) {
  std::int32_t freeSlot = 0;
  for (std::int32_t record = 1; record <= RecordsPresent(size); ++record) {
    const RawRecord raw = file.ReadRecord(record);
    CheckLibraryRecord(path, raw, record);
    if (freeSlot == 0 && record <= count && RecordFreeFlag(raw) == layout::kFree) freeSlot = record;
  }
  return freeSlot;
}

bool IsTextByte(std::uint8_t byte, bool lineBreaks) {
  if (byte == 0 || (byte >= 0x20 && byte != 0x7F)) return true;
  return lineBreaks && (byte == '\r' || byte == '\n' || byte == '\t');
}

bool IsTextField(const RawRecord& raw, std::size_t offset, std::size_t length, bool lineBreaks) {
  for (std::size_t i = offset; i < offset + length; ++i)
    if (!IsTextByte(raw[i], lineBreaks)) return false;
  return true;
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

bool IsLibraryRecord(const RawRecord& raw) {
  const auto printable = [](std::uint8_t byte) { return byte >= 0x20 && byte < 0x7F; };
  const bool textInFlag =
      printable(raw[layout::kFreeFlag]) && printable(raw[layout::kFreeFlag + 1]);
  return IsTextField(raw, layout::kName, layout::kNameLength, false) &&
         IsTextField(raw, layout::kDescription, layout::kDescriptionLength, true) && !textInFlag;
}

void CheckVehicleLibrary(const std::filesystem::path& path) {
  LibraryFile file(path, Access::Read);
  const std::uint64_t size = file.Size();
  FirstFreeSlot(path, file, RoundedRecordCount(size), size);
}

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
  CheckLibraryRecord(path, file.ReadRecord(record), record);
  OverwriteRecord(file, record, raw);
}

std::int32_t AddVehicleRecord(const std::filesystem::path& path, const VehicleRecord& vehicle) {
  const RawRecord raw = EncodeVehicleRecord(vehicle);
  std::optional<LibraryFile> file(std::in_place, path, Access::ReadWrite);
  const std::uint64_t size = file->Size();
  const std::int32_t count = RoundedRecordCount(size);
  if (const std::int32_t freeSlot = FirstFreeSlot(path, *file, count, size); freeSlot != 0) {
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
  CheckLibraryRecord(path, raw, record);
  PutInt16(raw.data(), layout::kFreeFlag, layout::kFree);
  OverwriteRecord(file, record, raw);
}

}  // namespace veerline::library
