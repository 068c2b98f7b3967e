// "veerline-cli fleet": its rows carry the figures of single runs of the same
// vehicles, a vehicle that cannot make the turn is reported as such, and a
// name that is not in the library is refused before anything runs.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string kCli = VEERLINE_BINARY_DIR "/bin/veerline-cli";
const std::string kLibrary = VEERLINE_BINARY_DIR "/bin/AASHTO-2018-Metric.vdt";
const std::string kDrawing = VEERLINE_SOURCE_DIR "/examples/drawings/junction90.dxf";

int Status(const std::string& command) {
  const int raw = std::system(command.c_str());
#ifdef _WIN32
  return raw;
#else
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

json ReadJson(const fs::path& file) {
  std::ifstream in(file);
  return json::parse(in);
}

class FleetCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("veerline-fleet-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string Quiet() const { return " >" + (dir / "out.txt").string() + " 2>" + (dir / "err.txt").string(); }
  fs::path dir;
};

TEST_F(FleetCliTest, RowsEqualSingleRunsAndAVehicleTooLongForTheTurnIsReported) {
  const char* const vehicles[] = {"P Passenger car", "WB-20 Interstate semitrailer",
                                  "WB-28D Rocky Mountain double-semitrailer/trailer"};
  std::string chosen;
  for (const char* v : vehicles) chosen += std::string(" --vehicle \"") + v + "\"";
  ASSERT_EQ(Status(kCli + " fleet " + kDrawing + " --library " + kLibrary + chosen +
                   " --seed 7 --speed 2 --jobs 2 --out-dir " + (dir / "fleet").string() + Quiet()),
            0);
  for (const char* file : {"fleet.json", "fleet.csv", "fleet.html"})
    EXPECT_TRUE(fs::exists(dir / "fleet" / file)) << file;
  const json rows = ReadJson(dir / "fleet/fleet.json")["rows"];
  ASSERT_EQ(rows.size(), 3u);

  for (const json& row : rows) {
    SCOPED_TRACE(row["vehicle"].get<std::string>());
    const fs::path report = dir / "single.json";
    Status(kCli + " run " + kDrawing + " --library " + kLibrary + " --vehicle \"" +
           row["vehicle"].get<std::string>() + "\" --seed 7 --speed 2 --report " + report.string() + Quiet());
    const json single = ReadJson(report);
    for (const char* key : {"outcome", "stopStation", "maxSteeringAngle", "maxArticulationAngle",
                            "lowestSpeed", "sweptWidth"})
      EXPECT_EQ(row[key], single[key]) << key;
    EXPECT_EQ(row["clearance.minimumDistance"], single["clearance"]["minimumDistance"]);
  }
  EXPECT_EQ(rows[0]["verdict"], "fits");
  EXPECT_GT(rows[1]["sweptWidth"].get<double>(), 2.6);
  // The Rocky Mountain double needs a radius of 23.8 m: it stops at its lock.
  EXPECT_EQ(rows[2]["outcome"], "front-wheel");
  EXPECT_EQ(rows[2]["verdict"].get<std::string>().rfind("steering limit at ", 0), 0u);
  EXPECT_FALSE(rows[2]["reason"].get<std::string>().empty());

  std::ifstream html(dir / "fleet/fleet.html");
  std::stringstream page;
  page << html.rdbuf();
  std::size_t thumbnails = 0;
  for (auto at = page.str().find("data:image/png;base64,"); at != std::string::npos;
       at = page.str().find("data:image/png;base64,", at + 1))
    ++thumbnails;
  EXPECT_EQ(thumbnails, 3u);
}

TEST_F(FleetCliTest, UnknownVehicleIsRefusedBeforeAnythingRuns) {
  EXPECT_EQ(Status(kCli + " fleet " + kDrawing + " --library " + kLibrary +
                   " --vehicle Nothing --out-dir " + (dir / "fleet").string() + Quiet()),
            2);
  EXPECT_FALSE(fs::exists(dir / "fleet" / "fleet.json"));
}

}  // namespace
