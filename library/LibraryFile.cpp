#include "library/LibraryFile.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace veerline::library {
namespace {

std::FILE* OpenFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wideMode(mode, mode + std::strlen(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Opens the file; a missing file is first created empty (never truncating one
// that appears meanwhile).
std::FILE* OpenOrCreate(const std::filesystem::path& path, const char* mode) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) ThrowSystemError(EISDIR);
  errno = 0;
  std::FILE* file = OpenFile(path, mode);
  if (file == nullptr && errno == ENOENT) {
    std::FILE* created = OpenFile(path, "ab");
    if (created == nullptr) ThrowSystemError(errno);
    if (std::fclose(created) != 0) ThrowSystemError(errno);
    errno = 0;
    file = OpenFile(path, mode);
  }
  if (file == nullptr) ThrowSystemError(errno);
  return file;
}

#ifndef _WIN32
// Opens a second descriptor on the file and waits for its lock. The lock
// belongs to that descriptor, so it lasts until the descriptor is closed,
// also past the stream's own close.
int LockFile(const std::filesystem::path& path, bool exclusive) {
  const int fd = ::open(path.c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) ThrowSystemError(errno);
  int result;
  do {
    result = ::flock(fd, exclusive ? LOCK_EX : LOCK_SH);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const int error = errno;
    ::close(fd);
    ThrowSystemError(error);
  }
  return fd;
}
#endif

}  // namespace

void ThrowSystemError(int error) {
  // Some failures (a short write on a full device) do not set errno.
  if (error == 0) error = EIO;
  throw LibrarySystemError(std::strerror(error));
}

void CheckRecordNumber(std::int32_t record, std::int32_t count) {
  if (record < 1 || record > count) throw LibraryFileError("Bad record number");
}

std::int32_t RoundedRecordCount(std::uint64_t length) {
  std::uint64_t count = length / kRecordLength;
  const std::uint64_t rest = length % kRecordLength;
  if (2 * rest > kRecordLength || (2 * rest == kRecordLength && count % 2 == 1)) ++count;
  if (count > static_cast<std::uint64_t>(kMaxRecords))
    throw LibraryFileError("Overflow: a vehicle library holds at most 32767 records");
  return static_cast<std::int32_t>(count);
}

LibraryFile::LibraryFile(const std::filesystem::path& path, Access access)
    : mFile(OpenOrCreate(path, access == Access::Read ? "rb" : "r+b")) {
#ifndef _WIN32
  try {
    mLock = LockFile(path, access == Access::ReadWrite);
  } catch (...) {
    std::fclose(mFile);
    throw;
  }
#endif
}

LibraryFile::~LibraryFile() {
  if (mFile != nullptr) std::fclose(mFile);
#ifndef _WIN32
  if (mLock >= 0) ::close(mLock);
#endif
}

void LibraryFile::AbandonAndTruncate(std::uint64_t length) {
  if (mFile != nullptr) {
    std::fclose(mFile);  // may fail again flushing what is left; the cut below undoes it
    mFile = nullptr;
  }
#ifndef _WIN32
  if (mLock >= 0) (void)::ftruncate(mLock, static_cast<off_t>(length));
#else
  (void)length;
#endif
}

void LibraryFile::Seek(std::uint64_t offset) {
  errno = 0;
#ifdef _WIN32
  const int result = _fseeki64(mFile, static_cast<__int64>(offset), SEEK_SET);
#else
  const int result = fseeko(mFile, static_cast<off_t>(offset), SEEK_SET);
#endif
  if (result != 0) ThrowSystemError(errno);
}

std::uint64_t LibraryFile::Size() {
  errno = 0;
#ifdef _WIN32
  if (_fseeki64(mFile, 0, SEEK_END) != 0) ThrowSystemError(errno);
  const __int64 end = _ftelli64(mFile);
#else
  if (fseeko(mFile, 0, SEEK_END) != 0) ThrowSystemError(errno);
  const off_t end = ftello(mFile);
#endif
  if (end < 0) ThrowSystemError(errno);
  return static_cast<std::uint64_t>(end);
}

std::int32_t LibraryFile::RecordCount() { return RoundedRecordCount(Size()); }

RawRecord LibraryFile::ReadRecord(std::int32_t record) {
  RawRecord raw{};
  Seek(kRecordLength * static_cast<std::uint64_t>(record - 1));
  errno = 0;
  std::fread(raw.data(), 1, raw.size(), mFile);
  if (std::ferror(mFile)) ThrowSystemError(errno);
  return raw;
}

void LibraryFile::WriteRecord(std::int32_t record, const RawRecord& raw) {
  Seek(kRecordLength * static_cast<std::uint64_t>(record - 1));
  errno = 0;
  if (std::fwrite(raw.data(), 1, raw.size(), mFile) != raw.size()) ThrowSystemError(errno);
  if (std::fflush(mFile) != 0) ThrowSystemError(errno);
  // Records are written in place (through a symbolic link, keeping the
  // file's permissions); each one reaches the disk before the call returns.
#ifdef _WIN32
  if (_commit(_fileno(mFile)) != 0) ThrowSystemError(errno);
#else
  if (::fsync(fileno(mFile)) != 0) ThrowSystemError(errno);
#endif
}

void LibraryFile::Close() {
  if (mFile == nullptr) return;
  std::FILE* file = mFile;
  mFile = nullptr;
  errno = 0;
  if (std::fclose(file) != 0) ThrowSystemError(errno);
}

}  // namespace veerline::library
