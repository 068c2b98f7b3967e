#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
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
const std::string kLibrary = VEERLINE_BINARY_DIR "/bin/DefaultVehicles.vdt";

struct Result {
  int status = -1;
  std::string err;
};

// A folder of its own for each test, removed afterwards.
class RunCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("veerline-cli-" + std::string(info->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string File(const std::string& name) const { return (dir / name).string(); }

  void Write(const std::string& name, const std::string& text) const {
    std::ofstream(File(name), std::ios::binary) << text;
  }

  // Runs the tool with the arguments; stderr is kept.
  Result Cli(const std::string& args) const {
    const std::string errFile = File("stderr.txt");
    const std::string command = kCli + " run " + args + " 2>" + errFile + " >" + File("stdout.txt");
    Result result;
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    result.status = raw;
#else
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    std::ifstream in(errFile);
    std::stringstream text;
    text << in.rdbuf();
    result.err = text.str();
    return result;
  }

  // The report, checked to be laid out exactly as its tree dumps.
  json Report(const std::string& name) const {
    std::ifstream in(File(name));
    std::stringstream text;
    text << in.rdbuf();
    json report = json::parse(text.str());
    EXPECT_EQ(report.dump(1) + "\n", text.str());
    return report;
  }

  fs::path dir;
};

// A minimal R12-style drawing with LWPOLYLINE paths given as "x,y,bulge;..." lists.
std::string Drawing(
    const std::vector<std::pair<std::string, std::vector<std::array<double, 3>>>>& paths) {
  std::ostringstream dxf;
  dxf << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
  for (const auto& [handle, points] : paths) {
    dxf << "0\nLWPOLYLINE\n5\n"
        << handle << "\n100\nAcDbEntity\n8\nPath\n100\nAcDbPolyline\n90\n"
        << points.size() << "\n70\n0\n";
    for (const auto& p : points) {
      dxf << "10\n" << p[0] << "\n20\n" << p[1] << "\n";
      if (p[2] != 0) dxf << "42\n" << p[2] << "\n";
    }
  }
  dxf << "0\nENDSEC\n0\nEOF\n";
  return dxf.str();
}

TEST_F(RunCliTest, StraightTruckRunWritesDrawingReportAndPictures) {
  Write("straight.dxf", Drawing({{"2F", {{{0, 0, 0}, {40, 0, 0}}}}}));
  Write("truck.json", R"({"Name":"Test truck","Type":1,"Unit":1,"MaxTurningAngle":40,
    "MaxSegmentAngle":70,"LockToLockTime":8,"Front":1.4,"Wheelbase":5.6,"Back":2.6,
    "VehicleWidth":2.6,"WheelWidth":2.55})");
  const auto result =
      Cli(File("straight.dxf") + " --vehicle-json " + File("truck.json") + " --sweep --out " +
          File("out.dxf") + " --report " + File("report.json") + " --picture " + File("pic.png") +
          " --diagrams " + File("diag") + " --seed 7");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(fs::exists(File("out.dxf")));
  EXPECT_TRUE(fs::exists(File("pic.png")));
  EXPECT_TRUE(fs::exists(File("diag-turning.png")));
  EXPECT_TRUE(fs::exists(File("diag-speed.png")));

  const json report = Report("report.json");
  EXPECT_EQ(report["outcome"], "completed");
  EXPECT_TRUE(report["stopStation"].is_null());
  EXPECT_DOUBLE_EQ(report["pathLength"].get<double>(), 40.0);
  EXPECT_DOUBLE_EQ(report["calculationStep"].get<double>(), 0.2);
  EXPECT_DOUBLE_EQ(report["vehicleLength"].get<double>(), 1.4 + 5.6 + 2.6);
  EXPECT_EQ(report["stations"].size(), 200u);  // 0.2 added 200 times passes 40
  EXPECT_EQ(report["segments"].size(), 1u);
  EXPECT_EQ(report["messages"].size(), 0u);
  EXPECT_NEAR(report["maxSteeringAngle"].get<double>(), 0.0, 1e-6);
  for (const auto& row : report["tracks"]["speed"]) EXPECT_EQ(row[1], 30.0);
  // Outlines at the first and the last station only.
  EXPECT_EQ(report["outlineStations"].front(), 0);
  // The envelope of a straight run lies half the body width either side.
  ASSERT_FALSE(report["envelope"]["right"].empty());
  for (const auto& p : report["envelope"]["right"]) EXPECT_NEAR(p[1].get<double>(), -1.3, 1e-6);
  for (const auto& p : report["envelope"]["left"]) EXPECT_NEAR(p[1].get<double>(), 1.3, 1e-6);
  const auto& blocks = report["blocks"];
  EXPECT_EQ(blocks["inserted"],
            json::array({blocks["sweep"], blocks["envelope"], blocks["vehicle"]}));
}

#ifndef _WIN32
// A program installed without its picture module still runs, but refuses a
// picture at once, saying what is missing, and writes nothing.
TEST_F(RunCliTest, PictureWithoutThePictureModuleIsRefusedBeforeTheRun) {
  Write("line.dxf", Drawing({{"2F", {{{0, 0, 0}, {40, 0, 0}}}}}));
  const fs::path alone = dir / "alone";
  fs::create_directories(alone);
  fs::copy_file(kCli, alone / "veerline-cli");
  fs::permissions(alone / "veerline-cli", fs::perms::owner_all);
  const std::string cli = (alone / "veerline-cli").string() + " run " + File("line.dxf") +
                          " --library " + kLibrary + " --out " + File("out.dxf");
  EXPECT_EQ(std::system((cli + " >/dev/null 2>&1").c_str()), 0);
  fs::remove(File("out.dxf"));
  const int raw = std::system((cli + " --picture " + File("p.png") + " 2>" + File("err.txt")).c_str());
  EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 2);
  std::ifstream in(File("err.txt"));
  const std::string err((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(err.find("veerline-cli-pictures"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(File("out.dxf")));
}
#endif

TEST_F(RunCliTest, SeveralPolylinesNeedAPathHandle) {
  Write("two.dxf", Drawing({{"A1", {{{0, 0, 0}, {40, 0, 0}}}}, {"B2", {{{0, 5, 0}, {40, 5, 0}}}}}));
  const auto result = Cli(File("two.dxf") + " --library " + kLibrary);
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("A1, B2"), std::string::npos) << result.err;
  EXPECT_EQ(Cli(File("two.dxf") + " --library " + kLibrary + " --path B2").status, 0);
}

TEST_F(RunCliTest, BadArgumentsGiveOneLineAndStatusTwo) {
  Write("line.dxf", Drawing({{"2F", {{{0, 0, 0}, {40, 0, 0}}}}}));
  for (const std::string args :
       {File("missing.dxf"), File("line.dxf") + " --vehicle NoSuchVehicle",
        File("line.dxf") + " --path-unit Furlong", File("line.dxf") + " --speed fast",
        File("line.dxf") + " --speed-unit knots", File("line.dxf") + " --bogus"}) {
    const auto result = Cli(args + " --library " + kLibrary);
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_FALSE(result.err.empty()) << args;
  }
  Write("garbage.dxf", "this is not a drawing\n");
  const auto garbage = Cli(File("garbage.dxf") + " --library " + kLibrary);
  EXPECT_EQ(garbage.status, 2);
  EXPECT_NE(garbage.err.find("garbage.dxf"), std::string::npos) << garbage.err;
}

TEST_F(RunCliTest, CheckThatEndsTheRunWritesNoDrawing) {
  Write("line.dxf", Drawing({{"2F", {{{0, 0, 0}, {40, 0, 0}}}}}));
  const auto result = Cli(File("line.dxf") + " --library " + kLibrary + " --speed 31 --out " +
                          File("out.dxf") + " --report " + File("report.json"));
  EXPECT_EQ(result.status, 2);
  EXPECT_FALSE(fs::exists(File("out.dxf")));
  EXPECT_NE(result.err.find("Bad value: I refuse to maneuver at this speed!"), std::string::npos)
      << result.err;
  const json report = Report("report.json");
  EXPECT_EQ(report["outcome"], "ended");
  ASSERT_EQ(report["messages"].size(), 1u);
  EXPECT_EQ(report["messages"][0]["title"], "Bad value");
}

// A path of one vertex, or of vertices that are all the same point, is
// refused with a reason, not in silence.
TEST_F(RunCliTest, PathOfLengthZeroIsRefusedWithAReason) {
  Write("one.dxf", Drawing({{"2F", {{{5, 5, 0}}}}}));
  Write("same.dxf", Drawing({{"2F", {{{5, 5, 0}, {5, 5, 0}, {5, 5, 0}}}}}));
  for (const char* name : {"one.dxf", "same.dxf"}) {
    const auto result = Cli(File(name) + " --library " + kLibrary + " --out " + File("out.dxf"));
    EXPECT_EQ(result.status, 2) << name;
    EXPECT_NE(result.err.find("The path has length 0"), std::string::npos) << name << result.err;
    EXPECT_FALSE(fs::exists(File("out.dxf")));
  }
}

TEST_F(RunCliTest, FeetPathStopReportsTheStationInFeet) {
  // A U-turn far too tight for a semitrailer, drawn and driven in feet.
  Write("uturn.dxf", Drawing({{"2F", {{{-120, 0, 0}, {0, 0, 1}, {0, 20, 0}, {-120, 20, 0}}}}}));
  Write("semi.json", R"({"Name":"Semi in feet","Type":2,"Unit":5,"MaxTurningAngle":40,
    "MaxSegmentAngle":70,"LockToLockTime":8,"Front":4.6,"Wheelbase":18.4,"Back":8.5,"Hitch":8.7,
    "Front2":3,"Wheelbase2":30.5,"Back2":6.9,"VehicleWidth":8.5,"VehicleWidth2":8.5,
    "WheelWidth":8.4,"WheelWidth2":8.4})");
  const auto result = Cli(File("uturn.dxf") + " --vehicle-json " + File("semi.json") +
                          " --speed 1 --report " + File("report.json"));
  ASSERT_EQ(result.status, 0) << result.err;
  const json report = Report("report.json");
  const std::string outcome = report["outcome"];
  ASSERT_TRUE(outcome == "front-wheel" || outcome == "articulation") << outcome;
  EXPECT_NEAR(report["calculationStep"].get<double>(), 0.2 / 0.3048, 1e-12);
  const double station = report["stopStation"];
  const double steps = station / report["calculationStep"].get<double>();
  EXPECT_NEAR(steps, std::round(steps), 1e-6);
  // The report is the last message and names the same station.
  const auto& last = report["messages"].back();
  EXPECT_EQ(last["kind"], "error");
  EXPECT_TRUE(report["envelope"]["right"].empty());
}

}  // namespace
