#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cad/PathReading.h"
#include "tests/engine/SweepTestHost.h"

namespace veerline {
namespace {

using ReadingHost = sweeptest::RecordingHost;

// An entity with only the members every entity has, like a picked circle.
class PlainEntity : public cad::CadEntity {
 public:
  std::string Handle() const override { return "1F"; }
  int EntityType() const override { return cad::kEntityCircle; }
  std::string Layer() const override { return "0"; }
  void SetLayer(const std::string&) override {}
  int ColorIndex() const override { return cad::kColorByLayer; }
  void SetColorIndex(int) override {}
};

// A lightweight polyline; a failure to throw can be set for any read.
class FakePolyline : public PlainEntity {
 public:
  struct Vertex {
    double x, y, bulge;
  };
  FakePolyline(std::vector<Vertex> vertices, bool closed)
      : vertices(std::move(vertices)), closed(closed) {}
  int EntityType() const override { return cad::kEntityLightWeightPolyline; }
  bool Closed() const override {
    if (failure) throw *failure;
    return closed;
  }
  int CoordinateCount() const override { return static_cast<int>(vertices.size()); }
  cad::CadPoint Coordinate(int i) const override { return {vertices[i].x, vertices[i].y, 7}; }
  double GetBulge(int i) const override { return vertices[i].bulge; }

  std::vector<Vertex> vertices;
  bool closed;
  std::optional<cad::CadError> failure;
};

struct Reading {
  RunState state;
  ReadingHost host;
  double pathLength = 0;
};

TEST(ReadPathPolyline, ClosedPolylineGetsItsClosingRow) {
  const FakePolyline square({{0, 0, 0}, {10, 0, 0.5}, {10, 10, 0}, {0, 10, 0}}, true);
  const PathPolyline path = ReadPathPolyline(square);
  ASSERT_EQ(path.vertices.size(), 5u);
  EXPECT_EQ(path.vertices[1].Bulge, 0.5);
  EXPECT_EQ(path.vertices[4].X, 0);
  EXPECT_EQ(path.vertices[4].Y, 0);
  EXPECT_EQ(path.vertices[4].Bulge, 0);
}

TEST(Prepare_VehiclePath, ClosedSquareIsFortyLong) {
  FakePolyline square({{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, true);
  Reading r;
  Prepare_VehiclePath(square, 0.2, r.pathLength, r.state, r.host);
  EXPECT_DOUBLE_EQ(r.pathLength, 40);
  // 200 steps of 0.2 added one by one overshoot 40, so the end station is not reached.
  EXPECT_EQ(r.state.stations.size(), 200u);
  EXPECT_TRUE(r.host.messages.empty());
  EXPECT_EQ(r.host.status.back(), " ");
}

TEST(Prepare_VehiclePath, AddsToTheLengthPassedIn) {
  FakePolyline line({{0, 0, 0}, {3, 4, 0}}, false);
  Reading r;
  r.pathLength = 1;
  Prepare_VehiclePath(line, 1, r.pathLength, r.state, r.host);
  EXPECT_DOUBLE_EQ(r.pathLength, 6);
}

TEST(Prepare_VehiclePath, EntityWithoutCoordinatesIsTheWrongType) {
  PlainEntity circle;
  Reading r;
  r.state.stations.push_back({});
  Prepare_VehiclePath(circle, 0.2, r.pathLength, r.state, r.host);
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0].kind, MessageKind::Warning);
  EXPECT_EQ(r.host.messages[0].title, "Wrong type of element");
  EXPECT_EQ(r.host.messages[0].text,
            "You have selected wrong type of path element, need to be a Polyline!\r\r");
  EXPECT_EQ(r.pathLength, 0);
  EXPECT_TRUE(r.state.stations.empty());
}

TEST(Prepare_VehiclePath, FailuresByKind) {
  struct Row {
    cad::CadError error;
    const char* title;
    const char* text;
  };
  const Row rows[] = {
      {cad::CadError::NotRunning(), "Reading from drawing",
       "IntelliCAD is not running, or wrong version!\r\rIf running on Vista or Windows 7, make "
       "sure to run IntelliCad as administrator!"},
      {cad::CadError::MemberNotSupported("Closed"), "Wrong type of element",
       "You have selected wrong type of path element, need to be a Polyline!\r\r"},
      {cad::CadError::Other(-2147418113, "Catastrophic failure"), "Veerline",
       "Catastrophic failure"},
  };
  for (const Row& row : rows) {
    FakePolyline line({{0, 0, 0}, {10, 0, 0}}, false);
    line.failure = row.error;
    Reading r;
    Prepare_VehiclePath(line, 0.2, r.pathLength, r.state, r.host);
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_EQ(r.host.messages[0].title, row.title);
    EXPECT_EQ(r.host.messages[0].text, row.text);
    EXPECT_TRUE(r.state.stations.empty());
  }
}

TEST(Prepare_VehiclePath, PathTooLongForTheStationCountIsReportedAndNotPrepared) {
  FakePolyline line({{0, 0, 0}, {7000, 0, 0}}, false);
  Reading r;
  Prepare_VehiclePath(line, 0.2, r.pathLength, r.state, r.host);
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0].title, "Veerline");
  EXPECT_EQ(r.host.messages[0].text.rfind("The path is 7000 m long (35000 calculation steps", 0), 0u);
  EXPECT_TRUE(r.state.stations.empty());
  EXPECT_EQ(r.pathLength, 0);
}

TEST(Prepare_VehiclePath, NonFiniteVertexIsReportedAndNotPrepared) {
  FakePolyline line({{0, 0, 0}, {std::numeric_limits<double>::infinity(), 0, 0}}, false);
  Reading r;
  Prepare_VehiclePath(line, 0.2, r.pathLength, r.state, r.host);
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0].title, "Veerline");
  EXPECT_TRUE(r.state.stations.empty());
  EXPECT_EQ(r.pathLength, 0);
}

}  // namespace
}  // namespace veerline
