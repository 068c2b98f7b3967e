#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "engine/SafeSave.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace veerline {
namespace {

namespace fs = std::filesystem;

struct Folder {
  Folder() {
    path = fs::temp_directory_path() /
           ("veerline-save-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(path), {}));
  }
  fs::path path;
};

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

#ifndef _WIN32
// A save through a link replaces the file it names, with that file's
// permissions, and leaves the link a link.
TEST(SaveFileSafely, WritesThroughALinkAndKeepsThePermissions) {
  Folder folder;
  const fs::path target = folder.path / "drawing.dxf", link = folder.path / "link.dxf";
  Put(target, "old");
  fs::permissions(target, fs::perms(0640));
  fs::create_symlink("drawing.dxf", link);
  SaveFileSafely(link, "new");
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Read(target), "new");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms(0640));
  EXPECT_EQ(folder.Entries(), 2u);  // no temporary file left

  SaveFileSafely(folder.path / "fresh.txt", "made");
  EXPECT_EQ(Read(folder.path / "fresh.txt"), "made");
}
#endif

// Every failing save leaves the old file as it was and no temporary file.
TEST(SaveFileSafely, FailuresLeaveTheOldFileAndNoTemporaryFile) {
  Folder folder;
  const fs::path file = folder.path / "report.json";
  Put(file, "old");
  EXPECT_THROW(SaveFileSafely(file,
                              [](const SavePieces& put) {
                                put("half");
                                throw std::runtime_error("the writer failed");
                              }),
               std::runtime_error);
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(folder.Entries(), 1u);
  // The content is whole, but what the save waited on before replacing failed.
  EXPECT_THROW(SaveFileSafely(
                   file, [](const SavePieces& put) { put("whole"); },
                   [] { throw std::runtime_error("the drawing was not saved"); }),
               std::runtime_error);
  EXPECT_EQ(Read(file), "old");
  EXPECT_EQ(folder.Entries(), 1u);

  // The rename fails: a folder stands where the file should go.
  fs::create_directories(folder.path / "taken" / "inside");
  EXPECT_THROW(SaveFileSafely(folder.path / "taken", "text"), SaveError);
  EXPECT_TRUE(fs::exists(folder.path / "taken" / "inside"));
  EXPECT_EQ(folder.Entries(), 2u);

  try {
    SaveFileSafely(folder.path / "missing" / "x.png", "text");
    ADD_FAILURE() << "saved into a missing folder";
  } catch (const SaveError& error) {
    EXPECT_NE(std::string(error.what()).find("x.png"), std::string::npos);
  }
#ifndef _WIN32
  if (::geteuid() != 0) {  // the superuser may write into any folder
    fs::permissions(folder.path, fs::perms(0555));
    EXPECT_THROW(SaveFileSafely(file, "new"), SaveError);
    fs::permissions(folder.path, fs::perms(0755));
    EXPECT_EQ(Read(file), "old");
    EXPECT_EQ(folder.Entries(), 2u);
  }
#endif
}

}  // namespace
}  // namespace veerline
