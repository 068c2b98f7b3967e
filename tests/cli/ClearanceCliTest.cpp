#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

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

  // What a command prints on its standard output.
  std::string Output(const std::string& command) const {
    std::system((command + " >" + File("tool.txt") + " 2>/dev/null").c_str());
    std::ifstream in(File("tool.txt"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path dir;
};

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

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

// The design report: its text gives the verdict and the JSON report's
// figures, its pages are the run, the vehicle, the diagrams and the
// conflicts, and every font is embedded.
TEST_F(ClearanceCliTest, DesignReportHoldsTheVerdictAndFiguresOnFourPagesWithEmbeddedFonts) {
  ASSERT_EQ(Run("--obstacle-layer Kerb --clearance 1 --report " + File("r.json") + " --pdf " +
                File("r.pdf")),
            0);
  std::ifstream in(File("r.json"));
  const json report = json::parse(in);
  const std::string text = Output("pdftotext " + File("r.pdf") + " -");
  EXPECT_NE(text.find("1 clearance conflict"), std::string::npos) << text;
  for (const std::string& figure :
       {Fixed(report["pathLength"], 2) + " m", Fixed(report["maxSteeringAngle"], 1) + "°",
        Fixed(report["lowestSpeed"], 1) + " km/h", Fixed(report["sweptWidth"], 2) + " m",
        Fixed(report["clearance"]["minimumDistance"], 2) + " m", std::string("Test truck")})
    EXPECT_NE(text.find(figure), std::string::npos) << figure;
  std::size_t at = 0;
  for (const char* page : {"Swept path on the drawing", "Vehicle", "Steering, articulation and speed",
                           "Clearance conflicts"}) {
    at = text.find(page, at);
    EXPECT_NE(at, std::string::npos) << page;
  }
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 4);
  // pdffonts: a header of two lines, then one font a line with "yes" in its emb column.
  std::istringstream fonts(Output("pdffonts " + File("r.pdf")));
  std::string line;
  int embedded = 0;
  for (int row = 0; std::getline(fonts, line); ++row) {
    if (row < 2) continue;
    std::istringstream words(line);
    std::vector<std::string> w{std::istream_iterator<std::string>(words), {}};
    ASSERT_GE(w.size(), 5u) << line;
    EXPECT_EQ(w[w.size() - 5], "yes") << line;
    ++embedded;
  }
  EXPECT_GT(embedded, 0);

  ASSERT_EQ(Run("--pdf " + File("a3.pdf") + " --paper a3 --speed 30 --animation " + File("run.mp4")),
            0);
  EXPECT_NE(Output("pdfinfo " + File("a3.pdf")).find("1191 x 842"), std::string::npos);
  // The video a player takes: H.264 at 25 frames a second, 40 m at 30 km/h lasting 4.8 s.
  const std::string video = Output("ffprobe -v error -select_streams v -show_entries "
                                   "stream=codec_name,width,height,r_frame_rate,duration -of "
                                   "default=nw=1 " + File("run.mp4"));
  for (const char* field : {"codec_name=h264", "width=1280", "height=720", "r_frame_rate=25/1",
                            "duration=4.8"})
    EXPECT_NE(video.find(field), std::string::npos) << field << "\n" << video;
  EXPECT_EQ(Run("--pdf " + File("b.pdf") + " --paper letter"), 2);
  EXPECT_FALSE(fs::exists(File("b.pdf")));
}

}  // namespace
