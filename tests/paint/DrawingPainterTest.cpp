#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "cad/DrawingModel.h"
#include "ui/paint/AciColors.h"
#include "ui/paint/DrawingPainter.h"
#include "ui/paint/ScaleBar.h"

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

TEST(DrawingScene, BulgeArcsTurnTheRightWay) {
  const auto ccw = BulgeArcPoints({0, 0}, {2, 0}, 1);  // half circle, counter-clockwise
  ASSERT_GE(ccw.size(), 3u);
  EXPECT_EQ(ccw.back(), QPointF(2, 0));
  for (const QPointF& p : ccw) EXPECT_NEAR(std::hypot(p.x() - 1, p.y()), 1, 1e-9);
  EXPECT_NEAR(ccw[ccw.size() / 2 - 1].y(), -1, 0.01);
  const auto cw = BulgeArcPoints({0, 0}, {2, 0}, -1);
  EXPECT_NEAR(cw[cw.size() / 2 - 1].y(), 1, 0.01);
  EXPECT_EQ(BulgeArcPoints({0, 0}, {2, 0}, 0), std::vector<QPointF>{QPointF(2, 0)});
  EXPECT_EQ(BulgeArcPoints({1, 1}, {1, 1}, 1).size(), 1u);
}

TEST(DrawingScene, BlockContentsArePlacedAndColouredByTheirReference) {
  DrawingModel model;
  AddLine(AddBlock(model, "B"), 0, 0, 1, 0, 0);  // by block, layer 0
  DrawingEntity& insert = AddInsert(model, "B", 10, 5, 2, 90);
  insert.Data().ColorIndex = 5;
  const Scene scene = BuildDrawingScene(model);
  ASSERT_EQ(scene.size(), 1u);
  EXPECT_EQ(scene[0].handle, insert.Handle());
  EXPECT_EQ(scene[0].colorIndex, 5);
  EXPECT_TRUE(NearlyEqual(scene[0].points[0], {10, 5}));
  EXPECT_TRUE(NearlyEqual(scene[0].points[1], {10, 7}));
}

TEST(DrawingScene, LayersDecideVisibilityAndByLayerColour) {
  DrawingModel model;
  model.AddOrGetLayer("Green").ColorIndex = 3;
  model.AddOrGetLayer("Off").Visible = false;
  AddLine(model.ModelSpace(), 0, 0, 1, 1, cad::kColorByLayer).SetLayer("Green");
  AddLine(model.ModelSpace(), 0, 0, 500, 500, 1).SetLayer("Off");
  const Scene scene = BuildDrawingScene(model);
  ASSERT_EQ(scene.size(), 1u);
  EXPECT_EQ(scene[0].colorIndex, 3);
  EXPECT_EQ(SceneBounds(scene)->right(), 1);
}

TEST(DrawingScene, BadReferencesEndQuietly) {
  DrawingModel model;
  cad::DrawingBlock& self = AddBlock(model, "Self");
  AddLine(self, 0, 0, 1, 0, 1);
  DrawingEntity& inner = self.AddEntity(EntityKind::Insert);
  inner.Data().BlockName = "Self";
  AddInsert(model, "Self", 0, 0, 1, 0);
  AddInsert(model, "Missing", 0, 0, 1, 0);
  const Scene scene = BuildDrawingScene(model);
  EXPECT_FALSE(scene.empty());
  EXPECT_LT(scene.size(), 100u);
}

TEST(DrawingScene, MiddleAlignedTextIsCentredOnItsAlignmentPoint) {
  DrawingModel model;
  DrawingEntity& text = model.ModelSpace().AddEntity(EntityKind::Text);
  text.Data().Text = "HIH";
  text.Data().Height = 10;
  text.Data().HorizontalAlignment = cad::kAlignMiddle;
  text.Data().AlignmentPoint = {50, 50, 0};
  text.Data().HasAlignmentPoint = true;
  const Scene scene = BuildDrawingScene(model);
  ASSERT_EQ(scene.size(), 1u);
  const QRectF bounds = scene[0].Bounds();
  EXPECT_NEAR(bounds.center().x(), 50, 1);
  EXPECT_NEAR(bounds.center().y(), 50, 1);
  EXPECT_NEAR(bounds.height(), 10, 1);
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

}  // namespace
}  // namespace veerline::paint
