#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <sstream>
#include <string>

#include "cad/dxf/DxfReader.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kCli = VEERLINE_BINARY_DIR "/bin/veerline-cli";
const fs::path kSite = VEERLINE_SOURCE_DIR "/examples/drawings/junction90.dxf";

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Result {
  int status = -1;
  std::string out, err;
};

// A folder of its own for each test, holding a copy of a site drawing.
class PathCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("veerline-path-" + std::string(info->name()));
    fs::remove_all(dir);
    fs::create_directories(dir / "io");
    fs::copy_file(kSite, File("site.dxf"));
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string File(const std::string& name) const { return (dir / name).string(); }

  Result Cli(const std::string& args) const {
    const std::string command =
        kCli + " " + args + " >" + File("io/stdout.txt") + " 2>" + File("io/stderr.txt");
    const int raw = std::system(command.c_str());
    Result result;
#ifdef _WIN32
    result.status = raw;
#else
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    result.out = ReadAll(File("io/stdout.txt"));
    result.err = ReadAll(File("io/stderr.txt"));
    return result;
  }

  fs::path dir;
};

// The exact rounded path goes to layer Path of a copy, and a truck at speed 0 drives it.
TEST_F(PathCliTest, AddedPathIsExactAndDrivable) {
  const auto result = Cli("path " + File("site.dxf") +
                          " --points \"0,0 50,0 50,40 90,40\" --radius 12 --out " + File("p.dxf"));
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadAll(File("site.dxf")), ReadAll(kSite));

  const auto drawing = veerline::cad::ReadDxfFile(File("p.dxf"));
  const std::string handle = result.out.substr(0, result.out.find('\n'));
  const auto* path = drawing->FindEntity(handle);
  ASSERT_NE(path, nullptr) << result.out;
  EXPECT_EQ(path->Layer(), "Path");
  ASSERT_NE(drawing->FindLayer("Path"), nullptr);
  const double b = std::tan(std::numbers::pi / 8);
  const double expected[][3] = {{0, 0, 0},    {38, 0, b},  {50, 12, 0},
                                {50, 28, -b}, {62, 40, 0}, {90, 40, 0}};
  const auto& vertices = path->Data().Vertices;
  ASSERT_EQ(vertices.size(), std::size(expected));
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    EXPECT_NEAR(vertices[i].X, expected[i][0], 1e-9) << i;
    EXPECT_NEAR(vertices[i].Y, expected[i][1], 1e-9) << i;
    EXPECT_NEAR(vertices[i].Bulge, expected[i][2], 1e-12) << i;
  }

  std::ofstream(File("truck.json")) << R"({"Name":"Test truck","Type":1,"Unit":1,
    "MaxTurningAngle":40,"MaxSegmentAngle":70,"LockToLockTime":8,"Front":1.4,"Wheelbase":5.6,
    "Back":2.6,"VehicleWidth":2.6,"WheelWidth":2.55})";
  const auto run = Cli("run " + File("p.dxf") + " --path " + handle + " --vehicle-json " +
                       File("truck.json") + " --speed 0 --report " + File("io/report.json"));
  ASSERT_EQ(run.status, 0) << run.err;
  std::ifstream report(File("io/report.json"));
  EXPECT_EQ(nlohmann::json::parse(report)["outcome"], "completed");
}

// A right-angle corner driven by the WB-20 at 15 km/h: a run at that speed
// completes, one at 25 km/h stops where the wheel cannot keep up.
TEST_F(PathCliTest, DrivenPathKeepsUpWithTheWheelAtItsSpeed) {
  const std::string vehicle = " --library " VEERLINE_BINARY_DIR
                              "/bin/AASHTO-2018-Metric.vdt --vehicle \"WB-20 Interstate semitrailer\"";
  const auto result = Cli("path " + File("site.dxf") + " --points \"0,0 60,0 60,60\" --drive" +
                          vehicle + " --speed 15 --out " + File("p.dxf"));
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string handle = result.out.substr(0, result.out.find('\n'));
  EXPECT_NE(result.out.find("corner at point 2: radius "), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(", easing in 15."), std::string::npos) << result.out;
  for (const auto& [speed, outcome] : {std::pair{"15", "completed"}, {"25", "lock-to-lock"}}) {
    const auto run = Cli("run " + File("p.dxf") + " --path " + handle + vehicle + " --speed " +
                         speed + " --report " + File("io/report.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    std::ifstream report(File("io/report.json"));
    EXPECT_EQ(nlohmann::json::parse(report)["outcome"], outcome) << speed;
  }
  EXPECT_EQ(Cli("path " + File("site.dxf") + " --points \"0,0 20,0 20,20\" --drive" + vehicle +
                " --speed 15")
                .status,
            2);
}

TEST_F(PathCliTest, RefusalsExitTwoAndWriteNothing) {
  const std::string original = ReadAll(File("site.dxf"));
  for (const std::string args :
       {"--points \"0,0 10,0 10,10\" --radius 15", "--points \"0,0 1O,0\" --radius 5",
        "--points \"0,0 5\" --radius 5", "--points \"3,4 3,4\" --radius 5",
        "--points \"0,0 10,0\" --radius x"}) {
    const auto result = Cli("path " + File("site.dxf") + " " + args);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_NE(result.err.find("veerline-cli: "), std::string::npos) << args;
    EXPECT_TRUE(result.out.empty()) << args;
    EXPECT_EQ(ReadAll(File("site.dxf")), original) << args;
  }
  // Only site.dxf and the io folder: no output and no temporary file left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

}  // namespace
