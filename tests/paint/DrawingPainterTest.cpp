#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <string>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfReader.h"
#include "paint/AciColors.h"
#include "paint/DrawingPainter.h"
#include "paint/LinetypeDashes.h"
#include "paint/PictureCache.h"
#include "paint/ScaleBar.h"

namespace veerline::paint {
namespace {

using cad::DrawingEntity;
using cad::DrawingModel;
using cad::EntityKind;

DrawingEntity& AddLine(cad::DrawingBlock& block, double x1, double y1, double x2, double y2,
                       int colour) {
  DrawingEntity& line = block.AddEntity(EntityKind::Line);
  line.Data().Start = {x1, y1, 0};
  line.Data().End = {x2, y2, 0};
  line.Data().ColorIndex = colour;
  return line;
}

cad::DrawingBlock& AddBlock(DrawingModel& model, const std::string& name) {
  model.AddBlock({0, 0, 0}, name);
  return *model.FindBlock(name);
}

DrawingEntity& AddInsert(DrawingModel& model, const std::string& block, double x, double y,
                         double scale, double rotationDeg) {
  DrawingEntity& insert = model.ModelSpace().AddEntity(EntityKind::Insert);
  insert.Data().BlockName = block;
  insert.Data().Insertion = {x, y, 0};
  insert.Data().ScaleX = insert.Data().ScaleY = scale;
  insert.Data().RotationDeg = rotationDeg;
  return insert;
}

bool NearlyEqual(const QPointF& a, const QPointF& b) {
  return std::abs(a.x() - b.x()) < 1e-9 && std::abs(a.y() - b.y()) < 1e-9;
}

bool AnyPixel(const QImage& image, const QRect& area, const QColor& colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == colour) return true;
  return false;
}

RenderOptions Crisp() {
  RenderOptions options;
  options.antialiasing = false;
  return options;
}

TEST(AciColors, PrimaryIndicesAndBackgroundDependentSeven) {
  EXPECT_EQ(AciColor(1, false), QColor(255, 0, 0));
  EXPECT_EQ(AciColor(5, true), QColor(0, 0, 255));
  EXPECT_EQ(AciColor(7, false), QColor(0, 0, 0));
  EXPECT_EQ(AciColor(7, true), QColor(255, 255, 255));
  EXPECT_EQ(AciColor(256, true), QColor(255, 255, 255));
  EXPECT_EQ(AciColor(10, false), QColor(255, 0, 0));
  EXPECT_EQ(AciColor(250, false), QColor(51, 51, 51));
}

// A wipeout hides the line drawn before it, not the one after; a true-colour
// white line on the white picture is drawn black, as colour 7 is.
TEST(RenderDrawing, WipeoutsMaskAndColoursNearTheBackgroundShow) {
  std::string text =
      "0|SECTION|2|ENTITIES|0|LINE|8|0|62|1|10|0|20|5|11|20|21|5|"
      "0|WIPEOUT|8|0|10|5|20|0|30|0|11|1|21|0|31|0|12|0|22|1|32|0|13|10|23|10|70|7|71|1|91|2|"
      "14|-0.5|24|-0.5|14|9.5|24|9.5|"
      "0|LINE|8|0|62|5|10|10|20|0|11|10|21|10|"
      "0|LINE|8|0|420|16777215|10|0|20|8|11|20|21|8|0|ENDSEC|"
      "0|SECTION|2|OBJECTS|0|WIPEOUTVARIABLES|5|99|70|0|0|ENDSEC|0|EOF|";
  std::replace(text.begin(), text.end(), '|', '\n');
  auto model = cad::ReadDxfText(text, "wipeout.dxf");
  RenderOptions options = Crisp();
  options.scaleBar = false;
  const QSize size(220, 220);
  const QImage image = RenderDrawing(*model, size, options);
  DrawingPainter view(*model);
  view.ZoomToExtents(size, options);
  auto at = [&](double x, double y) {
    const QPoint p = view.View().ToScreen().map(QPointF(x, y)).toPoint();
    return image.pixelColor(p);
  };
  EXPECT_EQ(at(2, 5), QColor(255, 0, 0));
  EXPECT_EQ(at(7, 5), QColor(255, 255, 255));  // under the wipeout
  EXPECT_EQ(at(10, 3), QColor(0, 0, 255));     // drawn after it
  EXPECT_EQ(at(2, 8), QColor(0, 0, 0));
  EXPECT_EQ(VisibleOn(qRgb(250, 250, 250), false), qRgb(0, 0, 0));
  EXPECT_EQ(VisibleOn(qRgb(8, 8, 8), true), qRgb(255, 255, 255));
  EXPECT_EQ(VisibleOn(qRgb(255, 255, 0), false), qRgb(255, 255, 0));
}

TEST(ScaleBar, LengthIsTheLargestRoundValueNotAbove) {
  EXPECT_EQ(ScaleBarLength(7), 5);
  EXPECT_EQ(ScaleBarLength(10), 10);
  EXPECT_EQ(ScaleBarLength(19.9), 10);
  EXPECT_EQ(ScaleBarLength(31.25), 20);
  EXPECT_DOUBLE_EQ(ScaleBarLength(0.3), 0.2);
  EXPECT_EQ(ScaleBarLength(0), 0);
  EXPECT_EQ(ScaleBarLength(NAN), 0);
}

TEST(ViewTransform, ZoomAndPanKeepTheMappingConsistent) {
  ViewTransform view;
  view.ZoomToExtents(QRectF(0, 0, 100, 50), {200, 200}, 20);
  EXPECT_DOUBLE_EQ(view.PixelsPerUnit(), 1.6);
  EXPECT_TRUE(NearlyEqual(view.WorldToScreen({50, 25}), {100, 100}));
  EXPECT_TRUE(NearlyEqual(view.WorldToScreen({0, 50}), {20, 60}));  // y grows upward
  const QPointF anchor(37, 81);
  const QPointF world = view.ScreenToWorld(anchor);
  view.ZoomAt(anchor, 2.5);
  EXPECT_TRUE(NearlyEqual(view.WorldToScreen(world), anchor));
  view.Pan({10, -4});
  EXPECT_TRUE(NearlyEqual(view.WorldToScreen(world), anchor + QPointF(10, -4)));
  EXPECT_TRUE(NearlyEqual(view.ToScreen().map(world), view.WorldToScreen(world)));
  view.ZoomAt(anchor, 0);  // ignored
  view.ZoomAt(anchor, NAN);
  EXPECT_DOUBLE_EQ(view.PixelsPerUnit(), 4);
}

TEST(RenderDrawing, RedLineAndScaleBar) {
  DrawingModel model;
  AddLine(model.ModelSpace(), 0, 0, 100, 0, 1);
  const QImage image = RenderDrawing(model, {200, 100}, Crisp());
  ASSERT_EQ(image.size(), QSize(200, 100));
  // 100 units fit into 160 pixels, centred on row 45 above the scale bar's strip.
  EXPECT_EQ(image.pixelColor(100, 45), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(25, 45), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(100, 35), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(10, 45), QColor(255, 255, 255));
  // Scale bar: 20 units, 32 pixels, along the bottom left corner.
  EXPECT_TRUE(AnyPixel(image, QRect(20, 86, 1, 4), QColor(0, 0, 0)));
  EXPECT_TRUE(AnyPixel(image, QRect(42, 86, 1, 4), QColor(0, 0, 0)));
  EXPECT_FALSE(AnyPixel(image, QRect(47, 86, 1, 4), QColor(0, 0, 0)));
}

TEST(RenderDrawing, DarkBackgroundWidthsAndEmptyDrawings) {
  DrawingModel model;
  DrawingEntity& wide = model.ModelSpace().AddEntity(EntityKind::LwPolyline);
  wide.Data().ColorIndex = 7;
  wide.Data().Vertices = {{0, 0, 0, 0, 10, 10}, {100, 0, 0, 0, 10, 10}};
  RenderOptions options = Crisp();
  options.darkBackground = true;
  const QImage image = RenderDrawing(model, {200, 100}, options);
  // 110 units across (ends widened by half the width) fit into 160 pixels, so
  // the width of 10 is about 14.5 pixels, centred on row 45.
  EXPECT_EQ(image.pixelColor(100, 45), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(100, 39), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(100, 30), QColor(0, 0, 0));

  DrawingModel empty;
  const QImage blank = RenderDrawing(empty, {50, 40});
  EXPECT_EQ(blank.size(), QSize(50, 40));
  EXPECT_EQ(blank.pixelColor(25, 20), QColor(255, 255, 255));
  EXPECT_TRUE(RenderDrawing(empty, {0, 0}).isNull());
}

TEST(DrawingPainter, HitTestPicksTheNearestEntity) {
  DrawingModel model;
  const std::string low = AddLine(model.ModelSpace(), 0, 0, 100, 0, 1).Handle();
  const std::string high = AddLine(model.ModelSpace(), 0, 50, 100, 50, 3).Handle();
  AddLine(AddBlock(model, "B"), 0, 0, 10, 0, 0);
  const std::string insert = AddInsert(model, "B", 200, 25, 1, 0).Handle();
  DrawingPainter painter(model);
  painter.ZoomToExtents({420, 200}, RenderOptions{});
  const ViewTransform& view = painter.View();
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 1}), 5), low);
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 49}), 5), high);
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({205, 25}), 5), insert);
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 25}), 5), std::nullopt);
  // Both within a wide tolerance: the nearer one.
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 30}), 1000), high);
}

// A path pick takes the polyline within reach over a nearer line, and a click
// inside a filled area or a text's box is on it.
TEST(DrawingPainter, PathPickPrefersPolylinesAndAreasCountInside) {
  DrawingModel model;
  const std::string line = AddLine(model.ModelSpace(), 0, 0, 100, 0, 1).Handle();
  DrawingEntity& path = model.ModelSpace().AddEntity(EntityKind::LwPolyline);
  path.Data().Vertices = {{0, 4, 0, 0, 0, 0}, {100, 4, 0, 0, 0, 0}};
  DrawingEntity& wide = model.ModelSpace().AddEntity(EntityKind::LwPolyline);
  wide.Data().Vertices = {{0, 50, 0, 0, 20, 20}, {100, 50, 0, 0, 20, 20}};
  DrawingPainter painter(model);
  painter.ZoomToExtents({420, 200}, RenderOptions{});
  const ViewTransform& view = painter.View();
  const double tolerance = 3 * painter.View().PixelsPerUnit();  // 3 units in pixels
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 1.5}), tolerance), line);
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 1.5}), tolerance, true), path.Handle());
  EXPECT_EQ(painter.HitTest(view.WorldToScreen({50, 57}), 1), wide.Handle());
}

TEST(LinetypeDashes, PatternsBecomePixelDashesStartingWithADash) {
  const auto dashed = DashesOnScreen({1.2, -0.6}, 10);
  ASSERT_TRUE(dashed);
  EXPECT_EQ(dashed->Pattern, (QList<qreal>{12, 6}));
  EXPECT_EQ(dashed->Offset, 0);
  // A leading gap moves to the end; a dot (zero) joins the dash before it.
  const auto shifted = DashesOnScreen({-0.5, 1, 0}, 10);
  ASSERT_TRUE(shifted);
  EXPECT_EQ(shifted->Pattern, (QList<qreal>{11, 5}));
  EXPECT_EQ(shifted->Offset, 11);
  EXPECT_FALSE(DashesOnScreen({1.2, -0.6}, 1));  // under four pixels: solid
  EXPECT_FALSE(DashesOnScreen({2}, 10));         // no gap
}

// Whether every pixel of `a` has its colour in `b` at most one pixel away.
bool WithinAPixel(const QImage& a, const QImage& b) {
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy) {
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          found = b.valid(x + dx, y + dy) && b.pixel(x + dx, y + dy) == a.pixel(x, y);
        }
      }
      if (!found) return false;
    }
  }
  return true;
}

// A pan moves the kept picture and paints the uncovered strips: the result is
// the picture a whole repaint gives.
TEST(PictureCache, APannedPictureEqualsAWholeRepaint) {
  DrawingModel model;
  for (int i = 0; i < 40; ++i) AddLine(model.ModelSpace(), 3 * i, 0, 3 * i + 2, 30 - i, 1 + i % 6);
  DrawingPainter painter(model);
  RenderOptions options = Crisp();
  options.scaleBar = false;
  const QSize size(300, 200);
  painter.ZoomToExtents(size, options);
  PictureCache cache;
  cache.Picture(painter, size, options);
  painter.View().Pan({17, -9});
  const QImage panned = cache.Picture(painter, size, options);
  QImage whole(size, QImage::Format_RGB32);
  QPainter p(&whole);
  painter.Paint(p, size, options);
  p.end();
  // Pixel for pixel up to rounding: a line on a pixel's edge may land on
  // either side, but nothing is missing or out of place.
  EXPECT_TRUE(WithinAPixel(panned, whole));
  EXPECT_TRUE(WithinAPixel(whole, panned));
}

}  // namespace
}  // namespace veerline::paint
