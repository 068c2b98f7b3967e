#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string kCli = VEERLINE_BINARY_DIR "/bin/veerline-cli";

// A straight 40 m path, a kerb 2.0 beside it from x = 10 to 30 and a marking
// line across it on a layer that is not chosen.
constexpr const char* kStreet =
    "0\nSECTION\n2\nENTITIES\n"
    "0\nLWPOLYLINE\n5\n2F\n100\nAcDbEntity\n8\nPath\n100\nAcDbPolyline\n90\n2\n70\n0\n"
    "10\n0\n20\n0\n10\n40\n20\n0\n"
    "0\nLINE\n5\n30\n100\nAcDbEntity\n8\nKerb\n100\nAcDbLine\n10\n10\n20\n2\n30\n0\n11\n30\n21\n2\n"
    "31\n0\n"
    "0\nLINE\n5\n31\n100\nAcDbEntity\n8\nMarking\n100\nAcDbLine\n10\n20\n20\n-"
    "5\n30\n0\n11\n20\n21\n5\n31\n0\n"
    "0\nENDSEC\n0\nEOF\n";

constexpr const char* kTruck = R"({"Name":"Test truck","Type":1,"Unit":1,"MaxTurningAngle":40,
    "MaxSegmentAngle":70,"LockToLockTime":8,"Front":1.4,"Wheelbase":5.6,"Back":2.6,
    "VehicleWidth":2.6,"WheelWidth":2.55})";

class ClearanceCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of its own per test, so that tests may run at the same time.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("veerline-cli-clearance-" + std::string(info->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(File("street.dxf"), std::ios::binary) << kStreet;
    std::ofstream(File("truck.json"), std::ios::binary) << kTruck;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string File(const std::string& name) const { return (dir / name).string(); }

  // Runs the street with the truck and the extra arguments; the exit status.
  int Run(const std::string& args) const {
    const std::string command = kCli + " run " + File("street.dxf") + " --vehicle-json " +
                                File("truck.json") + " " + args + " >" + File("out.txt") + " 2>&1";
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    return raw;
#else
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  }

  fs::path dir;
};

TEST_F(ClearanceCliTest, ReportListsTheKerbWithinTheMarginAndConflictsFailOnRequest) {
  const std::string check =
      "--obstacle-layer Kerb --obstacle-layer Marking --clearance 1 --report " +
      File("report.json");
  ASSERT_EQ(Run(check), 0);
  std::ifstream in(File("report.json"));
  const json clearance = json::parse(in)["clearance"];
  EXPECT_EQ(clearance["layers"], json::array({"Kerb", "Marking"}));
  EXPECT_EQ(clearance["margin"], 1.0);
  EXPECT_EQ(clearance["minimumDistance"], 0.0);  // the marking line crosses the path
  ASSERT_EQ(clearance["conflicts"].size(), 2u);
  const json& kerb = clearance["conflicts"][1];
  EXPECT_EQ(kerb["handle"], "30");
  EXPECT_EQ(kerb["layer"], "Kerb");
  EXPECT_NEAR(kerb["minimumDistance"].get<double>(), 0.7, 1e-9);
  EXPECT_NEAR(kerb["y"].get<double>(), 2.0, 1e-12);
  EXPECT_EQ(Run(check + " --fail-on-conflict"), 3);
  // Only the kerb, 0.7 away: nothing within a margin of 0.5.
  EXPECT_EQ(Run("--obstacle-layer Kerb --clearance 0.5 --fail-on-conflict"), 0);
}

TEST_F(ClearanceCliTest, UnknownLayerOrBadMarginIsRefused) {
  EXPECT_EQ(Run("--obstacle-layer Kerbs --out " + File("result.dxf")), 2);
  EXPECT_FALSE(fs::exists(File("result.dxf")));
  EXPECT_EQ(Run("--obstacle-layer Kerb --clearance -1"), 2);
  EXPECT_EQ(Run("--obstacle-layer Kerb --clearance wide"), 2);
}

}  // namespace
