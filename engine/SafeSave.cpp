#include "engine/SafeSave.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace veerline {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& reason) {
  throw SaveError(path.string() + ": cannot be saved (" + reason + ")");
}

// A name for the temporary file beside the target that no other save uses.
std::filesystem::path TemporaryName(const std::filesystem::path& target, int attempt) {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  std::string name = "." + target.filename().string() + ".save-" +
                     std::to_string(static_cast<unsigned long long>(ticks) % 1000000007ull) + "-" +
                     std::to_string(counter++) + "-" + std::to_string(attempt);
  return target.parent_path() / name;
}

#ifndef _WIN32
// Flushes a folder's entries (the new name after a rename) to the disk.
void SyncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // a folder that cannot be opened cannot be flushed either
  (void)::fsync(fd);
  ::close(fd);
}

// Writes all of the piece, going on after short writes and interruptions.
bool WriteAll(int fd, std::string_view piece) {
  while (!piece.empty()) {
    ssize_t written = ::write(fd, piece.data(), piece.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    piece.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}
#endif

}  // namespace

std::filesystem::path SaveTarget(const std::filesystem::path& path) {
  std::filesystem::path target = path;
  std::error_code ec;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, ec); ++hops) {
    std::filesystem::path next = std::filesystem::read_symlink(target, ec);
    if (ec) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

#ifndef _WIN32
void SaveFileSafely(const std::filesystem::path& path,
                    const std::function<void(const SavePieces&)>& produce,
                    const std::function<void()>& beforeReplace) {
  const std::filesystem::path target = SaveTarget(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = TemporaryName(target, attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) Fail(path, std::strerror(errno));

  // From here on every way out removes the temporary file.
  auto abandon = [&](int error) {
    if (fd >= 0) ::close(fd);
    fd = -1;
    ::unlink(temporary.c_str());
    return error;
  };
  int writeError = 0;
  try {
    produce([&](std::string_view piece) {
      if (writeError == 0 && !WriteAll(fd, piece)) writeError = errno == 0 ? EIO : errno;
    });
  } catch (...) {
    abandon(0);
    throw;
  }
  if (writeError != 0) Fail(path, std::strerror(abandon(writeError)));
  if (exists) {
    // The old file's permissions; its owner only where the system lets us.
    if (::fchmod(fd, old.st_mode & 07777) != 0) Fail(path, std::strerror(abandon(errno)));
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
      (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);  // the group at least, if ours
    }
  }
  if (::fsync(fd) != 0) Fail(path, std::strerror(abandon(errno)));
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) Fail(path, std::strerror(abandon(errno)));
  SyncFolder(target.parent_path());
  if (beforeReplace) {
    try {
      beforeReplace();
    } catch (...) {
      abandon(0);
      throw;
    }
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) Fail(path, std::strerror(abandon(errno)));
  SyncFolder(target.parent_path());
}
#else
void SaveFileSafely(const std::filesystem::path& path,
                    const std::function<void(const SavePieces&)>& produce,
                    const std::function<void()>& beforeReplace) {
  const std::filesystem::path target = SaveTarget(path);
  std::error_code ec;
  const std::filesystem::path temporary = TemporaryName(target, 0);
  auto abandon = [&] { std::filesystem::remove(temporary, ec); };
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) Fail(path, "the folder is missing or not writable");
    try {
      produce([&](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      });
    } catch (...) {
      out.close();
      abandon();
      throw;
    }
    out.flush();
    if (!out) {
      out.close();
      abandon();
      Fail(path, "writing failed");
    }
  }
  if (beforeReplace) {
    try {
      beforeReplace();
    } catch (...) {
      abandon();
      throw;
    }
  }
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    abandon();
    Fail(path, ec.message());
  }
}
#endif

void SaveFileSafely(const std::filesystem::path& path, std::string_view content) {
  SaveFileSafely(path, [content](const SavePieces& put) { put(content); });
}

}  // namespace veerline
