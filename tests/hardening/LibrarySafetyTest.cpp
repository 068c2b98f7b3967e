// The vehicle library under stress: the largest library, two processes
// writing one record at once, and writes the system refuses part-way.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../library/TempLibrary.h"
#include "library/VehicleDataFile.h"

namespace veerline::library {
namespace {

using testing::TempFolder;

// The whole file in one read (the library may be 53 MB).
std::string ReadBytes(const std::filesystem::path& file) {
  std::string bytes(std::filesystem::file_size(file), '\0');
  std::FILE* f = std::fopen(file.c_str(), "rb");
  if (f == nullptr) return {};
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  return bytes;
}

VehicleRecord Numbered(int n, int type = 2) {
  static const VehicleRecord defaults = VehicleRecord::Defaults();
  VehicleRecord v = defaults;
  v.Name = "Vehicle " + std::to_string(n);
  v.Description = std::string(200, static_cast<char>('a' + n % 26));
  v.Type = static_cast<std::int16_t>(type);
  v.Unit = 1;
  v[Dimension::Wheelbase] = 3 + n * 0.001;
  return v;
}

// A library of `count` distinct records in use, written in one go.
void WriteLibrary(const std::filesystem::path& file, int count) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (int n = 1; n <= count; ++n) {
    const RawRecord raw = EncodeVehicleRecord(Numbered(n));
    out.write(reinterpret_cast<const char*>(raw.data()), raw.size());
  }
}

// Runs the body in a child process and returns what it wrote to its pipe;
// the child's exit status must be 0.
std::string InChild(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "pipe failed";
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string out;
    try {
      out = body();
    } catch (const std::exception& e) {
      out = std::string("unexpected: ") + e.what();
    }
    const ssize_t written = write(fds[1], out.data(), out.size());
    _exit(written == static_cast<ssize_t>(out.size()) ? 0 : 1);
  }
  close(fds[1]);
  std::string result;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  return result;
}

TEST(LibrarySafety, LargestLibraryListsLoadsAndRefusesOneMore) {
  TempFolder folder;
  const auto file = folder / "full.vdt";
  WriteLibrary(file, kMaxRecords);

  const auto listed = ListVehicleRecords(file);
  ASSERT_EQ(listed.size(), static_cast<std::size_t>(kMaxRecords));
  EXPECT_EQ(listed.back().record, kMaxRecords);
  EXPECT_EQ(listed.back().name.substr(0, 14), "Vehicle 32767 ");
  EXPECT_EQ(ReadVehicleRecord(file, 1), Numbered(1));
  EXPECT_EQ(ReadVehicleRecord(file, kMaxRecords), Numbered(kMaxRecords));
  EXPECT_EQ(ReadVehiclesInUse(file).size(), static_cast<std::size_t>(kMaxRecords));
  EXPECT_EQ(RecordsAddable(file), 0);

  const auto before = ReadBytes(file);
  try {
    AddVehicleRecord(file, Numbered(0));
    FAIL() << "a full library took another vehicle";
  } catch (const LibraryFileError& e) {
    EXPECT_STREQ(e.what(), "Overflow: the vehicle library already holds 32767 records");
  }
  EXPECT_TRUE(ReadBytes(file) == before) << "the refused add changed the file";
}

// Two processes write different vehicles to the same record over and over
// while this one reads it: every read and the final record is one of the two
// whole vehicles, never a mixture.
TEST(LibrarySafety, TwoProcessesWritingOneRecordNeverTearIt) {
  TempFolder folder;
  const auto file = folder / "shared.vdt";
  WriteLibrary(file, 3);
  const VehicleRecord a = Numbered(100, 10), b = Numbered(200, 1);
  const RawRecord rawA = EncodeVehicleRecord(a), rawB = EncodeVehicleRecord(b);
  constexpr int kWrites = 400;

  std::vector<pid_t> writers;
  for (const VehicleRecord* v : {&a, &b}) {
    const pid_t pid = fork();
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kWrites; ++i) {
        try {
          WriteVehicleRecord(file, *v, 2);
        } catch (const LibraryFileError&) {
          ++failures;
        }
      }
      _exit(failures == 0 ? 0 : 1);
    }
    writers.push_back(pid);
  }
  int reads = 0, torn = 0;
  for (bool running = true; running;) {
    const RawRecord raw = EncodeVehicleRecord(ReadVehicleRecord(file, 2));
    ++reads;
    if (raw != rawA && raw != rawB && raw != EncodeVehicleRecord(Numbered(2))) ++torn;
    running = false;
    for (pid_t pid : writers) running |= waitpid(pid, nullptr, WNOHANG) == 0;
  }
  for (pid_t pid : writers) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  EXPECT_EQ(torn, 0) << "of " << reads << " reads";
  const VehicleRecord last = ReadVehicleRecord(file, 2);
  EXPECT_TRUE(last == a || last == b);
  EXPECT_EQ(ReadVehicleRecord(file, 1), Numbered(1));
  EXPECT_EQ(ReadVehicleRecord(file, 3), Numbered(3));
  EXPECT_EQ(std::filesystem::file_size(file), 3u * kRecordLength);
}

// Two processes adding vehicles at once: every add gets its own record, so
// no vehicle is lost and none is written over another.
TEST(LibrarySafety, TwoProcessesAddingKeepEveryVehicle) {
  TempFolder folder;
  const auto file = folder / "shared.vdt";
  WriteLibrary(file, 1);
  constexpr int kAdds = 150;
  std::vector<pid_t> adders;
  for (const int base : {1000, 2000}) {
    const pid_t pid = fork();
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kAdds; ++i) {
        try {
          AddVehicleRecord(file, Numbered(base + i));
        } catch (const LibraryFileError&) {
          ++failures;
        }
      }
      _exit(failures == 0 ? 0 : 1);
    }
    adders.push_back(pid);
  }
  for (pid_t pid : adders) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  const auto stored = ReadVehiclesInUse(file);
  EXPECT_EQ(stored.size(), 1u + 2 * kAdds);
  std::set<std::string> names;
  for (const auto& v : stored) names.insert(v.vehicle.Name);
  EXPECT_EQ(names.size(), stored.size()) << "a vehicle was written twice or torn";
  EXPECT_EQ(std::filesystem::file_size(file), (1u + 2 * kAdds) * kRecordLength);
}

// Appending past the file size limit fails the way a full disk does: the
// system's reason is reported and the file keeps its old length and bytes.
TEST(LibrarySafety, FullDiskDuringAnAppendLeavesTheFileAsItWas) {
  TempFolder folder;
  const auto file = folder / "lib.vdt";
  WriteLibrary(file, 2);
  const auto before = ReadBytes(file);
  for (const rlim_t room : {rlim_t{0}, rlim_t{100}, rlim_t{1633}}) {
    SCOPED_TRACE(room);
    const std::string reason = InChild([&]() -> std::string {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{before.size() + room, before.size() + room};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit failed";
      try {
        AddVehicleRecord(file, Numbered(9));
        return "the append succeeded";
      } catch (const LibraryFileError& e) {
        return e.what();
      }
    });
    EXPECT_EQ(reason, std::strerror(EFBIG));
    EXPECT_TRUE(ReadBytes(file) == before)
        << "file changed, size " << std::filesystem::file_size(file);
  }
  // Within the limit, overwriting an existing record still works.
  const std::string overwrite = InChild([&]() -> std::string {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{before.size(), before.size()};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit failed";
    WriteVehicleRecord(file, Numbered(7), 2);
    return "ok";
  });
  EXPECT_EQ(overwrite, "ok");
  EXPECT_EQ(ReadVehicleRecord(file, 2), Numbered(7));
}

// A file the user may not write: every kind of write reports the system's
// reason and leaves the bytes alone.
TEST(LibrarySafety, ReadOnlyFileRefusesEveryWrite) {
  TempFolder folder;
  chmod(folder.path().c_str(), 0755);
  const auto file = folder / "ro.vdt";
  WriteLibrary(file, 2);
  chmod(file.c_str(), 0444);
  const auto before = ReadBytes(file);
  const std::string reasons = InChild([&]() -> std::string {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return "setuid failed";
    std::string out;
    const std::vector<std::function<void()>> writes{
        [&] { WriteVehicleRecord(file, Numbered(5), 1); },
        [&] { AddVehicleRecord(file, Numbered(5)); },
        [&] { DeleteVehicleRecord(file, 2); },
    };
    for (const auto& w : writes) {
      try {
        w();
        out += "written;";
      } catch (const LibraryFileError& e) {
        out += std::string(e.what()) + ";";
      }
    }
    // Reading still works.
    out += ListVehicleRecords(file).size() == 2 ? "listed" : "not listed";
    return out;
  });
  const std::string denied = std::strerror(EACCES);
  EXPECT_EQ(reasons, denied + ";" + denied + ";" + denied + ";listed");
  EXPECT_TRUE(ReadBytes(file) == before);
}

}  // namespace
}  // namespace veerline::library
