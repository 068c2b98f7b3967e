// Replays every saved fuzz finding (tests/hardening/crashes/<target>/) and the
// committed seeds (fuzz/seeds/<target>/) through the fuzz entry functions.
// Under the sanitizer build a memory fault fails the test as well.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzEntries.h"

namespace veerline::fuzz {
namespace {

using Entry = std::string (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;
  Entry entry;
};

const Target kTargets[] = {
    {"DxfReader", FuzzDxfReader},
    {"VehicleFile", FuzzVehicleFile},
    {"NumberRule", FuzzNumberRule},
    {"WholeRun", FuzzWholeRun},
};

// Every file under root/<target>, sorted so failures read the same each time.
std::vector<std::filesystem::path> InputsOf(const std::filesystem::path& root, const char* target) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(root / target, ec))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Replay(Entry entry, const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  return entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

class FuzzReplay : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SavedFindingsAndSeedsPass) {
  const Target target = GetParam();
  const std::filesystem::path source(VEERLINE_SOURCE_DIR);
  for (const auto& root : {source / "tests/hardening/crashes", source / "fuzz/seeds"}) {
    for (const auto& file : InputsOf(root, target.name)) {
      SCOPED_TRACE(file.string());
      EXPECT_EQ(Replay(target.entry, file), "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veerline::fuzz
