#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string kCli = VEERLINE_BINARY_DIR "/bin/veerline-cli";
const std::string kLibrary = VEERLINE_BINARY_DIR "/bin/DefaultVehicles.vdt";
const double kPi = 4.0 * std::atan(1.0);

using Vertex = std::array<double, 3>;  // x, y, bulge of the segment that starts there
using Polyline = std::pair<std::string, std::vector<Vertex>>;

// Reverse legs, cusps and exact tracking through `veerline-cli run --leg`.
class ManoeuvreCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() / ("veerline-manoeuvre-" + std::string(info->name()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string File(const std::string& name) const { return (dir / name).string(); }

  // Writes the polylines as a drawing and runs the tool on it; the exit status.
  int Run(const std::vector<Polyline>& paths, const std::string& args) {
    std::ofstream dxf(File("in.dxf"), std::ios::binary);
    dxf.precision(17);
    dxf << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
    for (const auto& [handle, points] : paths) {
      dxf << "0\nLWPOLYLINE\n5\n" << handle << "\n100\nAcDbEntity\n8\nPath\n100\nAcDbPolyline\n90\n"
          << points.size() << "\n70\n0\n";
      for (const auto& p : points) {
        dxf << "10\n" << p[0] << "\n20\n" << p[1] << "\n";
        if (p[2] != 0) dxf << "42\n" << p[2] << "\n";
      }
    }
    dxf << "0\nENDSEC\n0\nEOF\n";
    dxf.close();
    fs::remove(File("report.json"));
    const std::string command = kCli + " run " + File("in.dxf") + " " + args + " --report " +
                                File("report.json") + " --seed 1 2>" + File("err.txt") + " >" +
                                File("out.txt");
    const int raw = std::system(command.c_str());
#ifdef _WIN32
    return raw;
#else
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
  }

  // The report, checked to be laid out exactly as its tree dumps.
  json Report() const {
    std::ifstream in(File("report.json"));
    std::stringstream text;
    text << in.rdbuf();
    json report = json::parse(text.str());
    EXPECT_EQ(report.dump(1) + "\n", text.str());
    return report;
  }
  std::string Err() const {
    std::ifstream in(File("err.txt"));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string Vehicle(const std::string& name, const std::string& text) const {
    std::ofstream(File(name)) << text;
    return " --vehicle-json " + File(name);
  }

  fs::path dir;
};

double Radius(const json& point, double cx, double cy) {
  return std::hypot(point[0].get<double>() - cx, point[1].get<double>() - cy);
}

struct Point {
  double x = 0, y = 0;
};

// From (x0, 0) east to (x1, 0), then a counter-clockwise quarter arc of radius r
// into +y: the centre is (x1, r).
std::vector<Vertex> StraightThenArc(double x0, double x1, double r, int easingArcs = 0,
                                    Point* centre = nullptr) {
  std::vector<Vertex> points{{x0, 0, 0}};
  double x = x1, y = 0, heading = 0;
  // An easing: short arcs whose curvature grows in steps up to 1/r, 1 m each.
  for (int k = 1; k <= easingArcs; ++k) {
    const double radius = r * easingArcs / k, turn = 1.0 / radius;
    points.push_back({x, y, std::tan(turn / 4)});
    x += radius * (std::sin(heading + turn) - std::sin(heading));
    y -= radius * (std::cos(heading + turn) - std::cos(heading));
    heading += turn;
  }
  const double rest = kPi / 2 - heading;
  points.push_back({x, y, std::tan(rest / 4)});
  const double cx = x - r * std::sin(heading), cy = y + r * std::cos(heading);
  if (centre != nullptr) *centre = {cx, cy};
  points.push_back({cx + r * std::sin(kPi / 2), cy - r * std::cos(kPi / 2), 0});
  return points;
}

TEST_F(ManoeuvreCliTest, RigidTruckReversesWithItsRearAxleOnAnArc) {
  const double r = 15, wb = 6.1;
  const std::string truck = Vehicle("truck.json", R"({"Name":"T","Type":1,"Unit":1,
    "MaxTurningAngle":35,"MaxSegmentAngle":70,"LockToLockTime":6,"Front":1.2,"Wheelbase":6.1,
    "Back":1.8,"VehicleWidth":2.44,"WheelWidth":2.44})");
  ASSERT_EQ(Run({{"A1", StraightThenArc(0, 20, r)}}, "--leg reverse:A1 --speed 0" + truck), 0)
      << Err();
  const json report = Report();
  EXPECT_EQ(report["outcome"], "completed");
  ASSERT_EQ(report["legs"].size(), 1u);
  EXPECT_EQ(report["legs"][0]["direction"], "reverse");
  EXPECT_LT(report["legs"][0]["maxPathDeviation"].get<double>(), 1e-3);
  const json& axles = report["axles"];
  ASSERT_EQ(axles.size(), report["stations"].size());
  int onArc = 0;
  for (std::size_t i = 0; i < axles.size(); ++i) {
    const json& rear = axles[i][0];
    const double x = rear[0], y = rear[1];
    const double off = x <= 20 ? std::fabs(y) : std::fabs(Radius(rear, 20, r) - r);
    ASSERT_LT(off, 1e-3) << "station " << i;
    EXPECT_EQ(report["direction"][i], "reverse");
    // The truck faces away from its travel, so its front axle is behind on the arc.
    if (x > 20 + 3 && y > 0.5) {
      ++onArc;
      EXPECT_NEAR(Radius(report["stations"][i], 20, r), std::hypot(r, wb), 0.01) << i;
    }
  }
  EXPECT_GT(onArc, 50);
}

TEST_F(ManoeuvreCliTest, SemitrailerReversesRoundAnArcInSteadyState) {
  const double r = 25, l2 = 12;
  const std::string semi = Vehicle("semi.json", R"({"Name":"S","Type":2,"Unit":1,
    "MaxTurningAngle":40,"MaxSegmentAngle":70,"LockToLockTime":6,"Front":1.2,"Wheelbase":4,
    "Back":0.8,"Hitch":0,"Front2":1.5,"Wheelbase2":12,"Back2":1.5,"VehicleWidth":2.5,
    "WheelWidth":2.5,"VehicleWidth2":2.5,"WheelWidth2":2.5})");
  Point centre;
  ASSERT_EQ(Run({{"A1", StraightThenArc(0, 20, r, 30, &centre)}}, "--leg reverse:A1 --speed 0" + semi),
            0)
      << Err();
  const json report = Report();
  ASSERT_EQ(report["outcome"], "completed");
  const json& axles = report["axles"];
  const json& line = report["legs"][0];
  // Steady state: the last third of the arc, past the easing and a trailer length.
  const std::size_t last = line["lastStation"];
  int steady = 0;
  const double centreX = centre.x, centreY = centre.y;
  for (std::size_t i = last - 60; i <= last - 10; ++i) {
    ++steady;
    EXPECT_NEAR(Radius(axles[i][1], centreX, centreY), r, 0.05) << i;
    EXPECT_NEAR(Radius(axles[i][0], centreX, centreY), std::hypot(r, l2), 0.05) << i;
    double articulation = axles[i][0][2].get<double>() - axles[i][1][2].get<double>();
    articulation = std::remainder(articulation, 360.0);
    EXPECT_NEAR(std::fabs(articulation), std::atan(l2 / r) * 180 / kPi, 0.5) << i;
  }
  EXPECT_EQ(steady, 51);
}

TEST_F(ManoeuvreCliTest, TooTightReverseArcJackknifes) {
  const std::string semi = Vehicle("semi.json", R"({"Name":"S","Type":2,"Unit":1,
    "MaxTurningAngle":40,"MaxSegmentAngle":45,"LockToLockTime":6,"Front":1.2,"Wheelbase":4,
    "Back":0.8,"Hitch":0,"Front2":1.5,"Wheelbase2":12,"Back2":1.5,"VehicleWidth":2.5,
    "WheelWidth":2.5,"VehicleWidth2":2.5,"WheelWidth2":2.5})");
  // A 5 m arc asks for an articulation of atan(12 / 5) = 67 degrees.
  ASSERT_EQ(Run({{"A1", StraightThenArc(0, 20, 5, 10)}},
                "--leg reverse:A1 --speed 0 --out " + File("out.dxf") + semi),
            0)
      << Err();
  const json report = Report();
  EXPECT_EQ(report["outcome"], "articulation");
  EXPECT_GT(std::fabs(report["stopAngle"].get<double>()), 45);
  EXPECT_EQ(report["legs"][0]["outcome"], "articulation");
  std::ifstream in(File("out.dxf"));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("Turn_Reverse"), std::string::npos);
  EXPECT_NE(text.str().find("Draftkit_ErrNotes"), std::string::npos);
}

// The WB-20 driven east past a bay, then backed west and round a 15 m quarter
// circle south into it, with no easing: the driver starts turning in early,
// keeps the trailer axle within a few decimetres of the line at walking pace
// and ends lined up in the bay; faster, the slower swing of the wheel costs
// more room but the vehicle still gets in.
TEST_F(ManoeuvreCliTest, SemitrailerBacksIntoABayRoundACorner) {
  const double trailerAxle = 25.4;  // where the first leg leaves it
  const double b = std::tan(kPi / 8);
  const std::vector<Polyline> legs{
      {"A1", {{0, 0, 0}, {45, 0, 0}}},
      {"A2", {{trailerAxle, 0, 0}, {15, 0, b}, {0, -15, 0}, {0, -40, 0}}}};
  for (const auto& [speed, room] : {std::pair{"3", 0.5}, std::pair{"10", 2.5}}) {
    const std::string args = "--leg forward:A1 --leg reverse:A2 --record 2 --library " + kLibrary;
    ASSERT_EQ(Run(legs, args + " --speed " + speed), 0)
        << Err();
    const json report = Report();
    EXPECT_EQ(report["outcome"], "completed") << speed;
    EXPECT_LT(report["legs"][1]["maxPathDeviation"].get<double>(), room) << speed;
    const json& trailer = report["axles"].back().back();
    EXPECT_NEAR(trailer[0].get<double>(), 0, 0.3) << speed;
    EXPECT_NEAR(trailer[2].get<double>(), 90, 5) << speed;
    // The envelope is the outline of the area swept: it reaches past the
    // trailer's rear in the bay and nowhere strays east of the bay's side.
    double deepest = 0, eastmost = -1e9;
    for (const char* side : {"right", "left"}) {
      ASSERT_FALSE(report["envelope"][side].empty());
      for (const json& p : report["envelope"][side]) {
        if (p[1].get<double>() < -10) eastmost = std::max(eastmost, p[0].get<double>());
        deepest = std::min(deepest, p[1].get<double>());
      }
    }
    EXPECT_LT(deepest, -41) << speed;
    EXPECT_LT(eastmost, 3) << speed;
    // Measured across the path, not from one leg's ground to the other's.
    EXPECT_GT(report["sweptWidth"].get<double>(), 2.6) << speed;
    EXPECT_LT(report["sweptWidth"].get<double>(), 20) << speed;
  }
}

// A leg from (x, y) heading h: a straight, a tangent arc of signed radius r
// through 45 degrees and 60 m straight on, so that the vehicle ends in line.
std::vector<Vertex> StraightAndBend(double x, double y, double h, double straight, double r) {
  const double turn = (r > 0 ? 1 : -1) * kPi / 4, bx = x + straight * std::cos(h),
               by = y + straight * std::sin(h);
  const double ex = bx + r * (std::sin(h + turn) - std::sin(h)),
               ey = by - r * (std::cos(h + turn) - std::cos(h));
  return {{x, y, 0},
          {bx, by, std::tan(turn / 4)},
          {ex, ey, 0},
          {ex + 60 * std::cos(h + turn), ey + 60 * std::sin(h + turn), 0}};
}

// Forward, reverse, forward, each leg drawn where the one before left the
// vehicle; then a fourth leg drawn 3 m off, which is refused.
TEST_F(ManoeuvreCliTest, ThreeLegsJoinAtCuspsAndAGapIsRefused) {
  const std::string semi = " --library " + kLibrary + " --record 2 --speed 0 --exact";
  std::vector<Polyline> legs{{"A1", StraightAndBend(0, 0, 0, 30, 30)}};
  std::string args = "--leg forward:A1";
  json report;
  for (int leg = 2; leg <= 3; ++leg) {
    ASSERT_EQ(Run(legs, args + semi), 0) << Err();
    report = Report();
    // The next leg starts at the point it guides, along the way the vehicle then goes.
    const json& pose = report["axles"].back();
    const bool reverse = leg == 2;
    const json& start = reverse ? pose.back() : report["stations"].back();
    const json& unit = reverse ? pose.back() : pose.front();
    const double h = unit[2].get<double>() * kPi / 180 + (reverse ? kPi : 0);
    const std::string handle = "A" + std::to_string(leg);
    const double x = start[0], y = start[1];
    legs.push_back({handle, reverse ? std::vector<Vertex>{{x, y, 0}, {x + 30 * std::cos(h), y + 30 * std::sin(h), 0}}
                                    : StraightAndBend(x, y, h, 15, 30)});
    args += std::string(" --leg ") + (reverse ? "reverse:" : "forward:") + handle;
  }
  ASSERT_EQ(Run(legs, args + semi), 0) << Err();
  report = Report();
  EXPECT_EQ(report["outcome"], "completed");
  ASSERT_EQ(report["legs"].size(), 3u);
  for (std::size_t j = 0; j + 1 < 3; ++j) {
    const std::size_t a = report["legs"][j]["lastStation"];
    const std::size_t b = report["legs"][j + 1]["firstStation"];
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(report["leg"][b], j + 1);
    for (std::size_t k = 0; k < 2; ++k)
      for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(report["axles"][a][k][c].get<double>(),
                    report["axles"][b][k][c].get<double>(), 1e-6);
  }
  EXPECT_EQ(report["legs"][1]["direction"], "reverse");
  EXPECT_EQ(report["direction"][report["legs"][1]["firstStation"].get<std::size_t>()], "reverse");
  EXPECT_LT(report["legs"][1]["maxPathDeviation"].get<double>(), 1e-3);

  const json& end = report["stations"].back();
  const double x = end[0], y = end[1];
  legs.push_back({"A4", {{x + 3, y, 0}, {x + 30, y, 0}}});
  EXPECT_EQ(Run(legs, args + " --leg forward:A4 --out " + File("out.dxf") + semi), 2);
  EXPECT_NE(Err().find("Leg 4 (forward, polyline A4) starts 3"), std::string::npos) << Err();
  EXPECT_FALSE(fs::exists(File("out.dxf")));
  EXPECT_FALSE(fs::exists(File("report.json")));
}

// Minimum inside radii in a 180-degree turn at the centreline turning radius,
// against AASHTO, A Policy on Geometric Design of Highways and Streets (the
// Green Book), Table 2-2 (minimum turning radii of design vehicles) with the
// dimensions of Table 2-1, in feet. The tracks are as wide as the vehicles.
TEST_F(ManoeuvreCliTest, ExactTrackingMeetsThePublishedInsideRadii) {
  struct Case {
    const char* name;
    int type;
    double wheelbase, trailerWheelbase, width, centreline, inside;
  };
  const Case cases[] = {{"P", 7, 11, 0, 7, 21.0, 14.4},
                        {"SU-30", 1, 20, 0, 8, 38.0, 28.3},
                        {"CITY-BUS", 6, 25, 0, 8.5, 37.8, 24.5},
                        {"WB-40", 2, 12.5, 25.5, 8, 36.0, 19.3},
                        {"WB-62", 2, 19.5, 41, 8.5, 41.0, 7.4}};
  for (const Case& c : cases) {
    std::ostringstream vehicle;
    vehicle << R"({"Name":")" << c.name << R"(","Type":)" << c.type
            << R"(,"Unit":5,"MaxTurningAngle":60,"MaxSegmentAngle":89,"LockToLockTime":6,)"
            << R"("Front":3,"Wheelbase":)" << c.wheelbase << R"(,"Back":3,"Hitch":0,"Front2":3,)"
            << R"("Wheelbase2":)" << std::max(c.trailerWheelbase, 1.0) << R"(,"Back2":3,)"
            << R"("VehicleWidth":)" << c.width << R"(,"WheelWidth":)" << c.width
            << R"(,"VehicleWidth2":)" << c.width << R"(,"WheelWidth2":)" << c.width << "}";
    const double r = c.centreline;
    // 100 ft straight, the half circle about (0, r), 100 ft straight back.
    const std::vector<Vertex> path{{-100, 0, 0}, {0, 0, 1}, {0, 2 * r, 0}, {-100, 2 * r, 0}};
    for (const bool exact : {true, false}) {
      ASSERT_EQ(Run({{"A1", path}}, std::string(exact ? "--exact " : "") + "--leg forward:A1 --speed 0" +
                                         Vehicle("v.json", vehicle.str())),
                0)
          << c.name << Err();
      const json report = Report();
      double inside = 1e9;
      for (const json& station : report["axles"])
        for (const json& axle : station) inside = std::min(inside, Radius(axle, 0, r) - c.width / 2);
      if (exact) {
        EXPECT_NEAR(inside, c.inside, 0.1) << c.name;
      } else if (std::string(c.name) == "WB-62") {
        EXPECT_NEAR(inside, 6.60, 0.01);
      }
    }
  }
}

}  // namespace
