#include <gtest/gtest.h>

#include "FakeCad.h"
#include "cad/LimitMarks.h"

namespace veerline::cad {
namespace {

struct MarkFixture {
  FakeAttacher attacher;
  CadConnection connection{attacher};
  FakeBlock block{"vehicle"};
  FakeHost host;
  void Mark(const Point2D& a, const Point2D& v, const Point2D& b, double angle,
            double metresPerUnit = 1) {
    PlotSegmentAngleMark(a, v, b, angle, kLayerErrNotes, metresPerUnit, connection, block, host);
  }
  FakeEntity& Line() { return *block.Polylines().at(0); }
  FakeEntity& Text() { return *block.OfType(kEntityText).at(0); }
};

TEST(PlotSegmentAngleMark, UnitsInLineMeetFiveMetresAhead) {
  MarkFixture f;
  f.Mark({20, 10}, {10, 10}, {0, 10}, 0);
  EXPECT_TRUE(f.host.messages.empty());
  EXPECT_EQ(f.Line().points, (std::vector<CadPoint>{{15, 10, 0}, {10, 10, 0}, {15, 10, 0}}));
  EXPECT_EQ(f.Text().centre, (CadPoint{15, 10, 0}));
  EXPECT_EQ(f.Text().text, "0");
}

TEST(PlotSegmentAngleMark, ArmsWidthsTextAndLayerInColourOne) {
  MarkFixture f;
  // Trailer at a right angle: its arm continues the line from B through V.
  f.Mark({3, 0}, {0, 0}, {0, -7}, 90);
  FakeEntity& line = f.Line();
  ASSERT_EQ(line.points.size(), 3u);
  EXPECT_NEAR(line.points[0].X, 5, 1e-12);
  EXPECT_NEAR(line.points[2].Y, 5, 1e-12);
  EXPECT_EQ(line.closed, false);
  EXPECT_EQ(line.color, 1);
  EXPECT_EQ(line.layer, "Draftkit_ErrNotes");
  EXPECT_EQ(line.widths,
            (std::vector<std::tuple<int, double, double>>{{0, 0.1, 0.1}, {1, 0.1, 0.1}}));
  EXPECT_EQ(line.calls,
            (std::vector<std::string>{"Closed", "ColorIndex", "Layer", "SetWidth", "SetWidth"}));
  FakeEntity& text = f.Text();
  EXPECT_NEAR(text.centre.X, 2.5, 1e-12);
  EXPECT_NEAR(text.centre.Y, 2.5, 1e-12);
  EXPECT_EQ(text.height, 1);
  EXPECT_EQ(text.alignment, 4);
  EXPECT_EQ(text.color, 1);
  EXPECT_EQ(text.layer, "Draftkit_ErrNotes");
  EXPECT_EQ(f.attacher.application.document.layers,
            (std::vector<std::string>{"Draftkit_ErrNotes"}));
  // A full attach reads the active document.
  EXPECT_EQ(f.attacher.application.activeDocumentReads, 1);
}

TEST(PlotSegmentAngleMark, ValueIsTheSizeRoundedHalfToEven) {
  const std::vector<std::pair<double, std::string>> cases{
      {-12.34, "12.3"}, {12.25, "12.2"}, {12.35, "12.4"}, {45, "45"}, {-0.04, "0"}};
  for (const auto& [angle, text] : cases) {
    MarkFixture f;
    f.Mark({10, 0}, {0, 0}, {-10, 1}, angle);
    EXPECT_EQ(f.Text().text, text) << angle;
  }
  MarkFixture comma;
  comma.host.symbols = NumberSymbols::CommaDecimal();
  comma.Mark({10, 0}, {0, 0}, {-10, 1}, 31.26);
  EXPECT_EQ(comma.Text().text, "31,3");
}

TEST(PlotSegmentAngleMark, MillimetreDrawingScalesTheMark) {
  MarkFixture f;
  f.Mark({20000, 0}, {0, 0}, {0, 9000}, 90, 0.001);
  EXPECT_NEAR(f.Line().points[0].X, 5000, 1e-9);
  EXPECT_NEAR(f.Line().points[2].Y, -5000, 1e-9);
  EXPECT_EQ(f.Line().widths,
            (std::vector<std::tuple<int, double, double>>{{0, 100, 100}, {1, 100, 100}}));
  EXPECT_DOUBLE_EQ(f.Text().height, 1000);
}

TEST(PlotSegmentAngleMark, CoincidentPointsAreReportedWithTheTag) {
  MarkFixture f;
  f.Mark({0, 0}, {0, 0}, {-10, 0}, 50);
  f.Mark({10, 0}, {1, 1}, {1, 1}, 50);
  EXPECT_TRUE(f.block.entities.empty());
  ASSERT_EQ(f.host.messages.size(), 2u);
  for (const auto& m : f.host.messages) {
    EXPECT_EQ(m.kind, MessageKind::Warning);
    EXPECT_EQ(m.title, "Veichle Turning Simulation");
    EXPECT_EQ(m.text, "Division by zero Plot Exceede Segment angle");
  }
}

}  // namespace
}  // namespace veerline::cad
