#pragma once

// The open library file of one operation: opened (and created empty when
// missing) on construction, closed on destruction, whatever happened between.
// While it is open the file is locked against other operations, in this or
// another program: shared for reading, exclusive for writing, so that an
// operation never sees another's half-done work and two adds never pick the
// same record.

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "library/VehicleDataFile.h"

namespace veerline::library {

class LibraryFile {
 public:
  enum class Access { Read, ReadWrite };

  // Throws LibraryFileError with the system's reason when the file cannot be opened.
  LibraryFile(const std::filesystem::path& path, Access access);
  ~LibraryFile();
  LibraryFile(const LibraryFile&) = delete;
  LibraryFile& operator=(const LibraryFile&) = delete;

  // Length of the file in bytes.
  std::uint64_t Size();
  // Number of records: the length divided by the record length, rounded to
  // the nearest whole number with ties to even. More than kMaxRecords throws.
  std::int32_t RecordCount();
  // Reads record 1..RecordCount(). The bytes of a partial last record that lie
  // past the end of the file read as zeros.
  RawRecord ReadRecord(std::int32_t record);
  // Writes all bytes of one record at its place in one call and flushes them.
  void WriteRecord(std::int32_t record, const RawRecord& raw);
  // Closes the file, reporting a failure of the final flush.
  void Close();
  // Drops whatever is still buffered and cuts the file back to the length,
  // keeping the lock; for undoing a failed append. Failures are ignored.
  void AbandonAndTruncate(std::uint64_t length);

 private:
  void Seek(std::uint64_t offset);

  std::FILE* mFile = nullptr;
  int mLock = -1;  // descriptor that holds the lock, -1 where locks are not used
};

// Throws LibraryFileError with the text of the given errno value.
[[noreturn]] void ThrowSystemError(int error);

// Throws LibraryFileError unless the record number is 1..count.
void CheckRecordNumber(std::int32_t record, std::int32_t count);

// Record count for a file length: whole records, a remainder of more than half
// a record counts as one more, exactly half only when that makes the count even.
std::int32_t RoundedRecordCount(std::uint64_t length);

}  // namespace veerline::library
