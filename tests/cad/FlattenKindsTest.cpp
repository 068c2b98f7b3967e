// What the less common kinds show: texts placed as their writer placed them,
// lines without end, custom objects' own graphics and wipeouts.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cad/geometry/GeometrySink.h"
#include "tests/cad/GeometryTestDrawing.h"

namespace veerline::cad {
namespace {

using testing::Drawing;
using testing::Flatten;

DrawingExtents BoxOf(const GeometryText& t) {
  DrawingExtents box{INFINITY, INFINITY, -INFINITY, -INFINITY};
  for (Point2D p : {t.Origin, Point2D{t.Origin.X + t.Along.X, t.Origin.Y + t.Along.Y},
                    Point2D{t.Origin.X + t.Up.X, t.Origin.Y + t.Up.Y}}) {
    box = {std::min(box.MinX, p.X), std::min(box.MinY, p.Y), std::max(box.MaxX, p.X),
           std::max(box.MaxY, p.Y)};
  }
  return box;
}

bool Near(const std::vector<Point2D>& points, const std::vector<Point2D>& expected) {
  if (points.size() != expected.size()) return false;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (std::hypot(points[i].X - expected[i].X, points[i].Y - expected[i].Y) > 1e-9) return false;
  }
  return true;
}

TEST(FlattenKinds, TextsLieWhereTheirWriterPutThem) {
  auto model = Drawing(
      // An embedded object repeats the insertion point as a direction: not the text's.
      "0|MTEXT|8|0|10|5|20|10|30|0|40|2|41|50|71|1|1|AB|101|Embedded Object|70|1|10|1|20|0|30|0|"
      "11|5|21|10|31|0|40|50|41|0|71|9|"
      // Seen from below and running along -x: mirrored, still hanging below its top left corner.
      "0|MTEXT|8|0|10|20|20|10|30|0|40|2|71|1|1|AB|210|0|220|0|230|-1|11|-1|21|0|31|0|"
      // Backwards: mirrored about its start point, so it runs to the left of it.
      "0|TEXT|8|0|10|100|20|0|30|0|40|1|1|AB|71|2|"
      // Upside down and aligned by its top: it hangs above the point.
      "0|TEXT|8|0|10|0|20|30|30|0|40|1|1|AB|71|4|72|0|11|0|21|30|31|0|73|3|"
      // Fitted and backwards: it stays between its two points.
      "0|TEXT|8|0|10|0|20|50|30|0|40|1|1|a long fitted text|71|2|72|5|11|10|21|50|31|0|"
      // Decoded by the drawing's code page.
      "0|MTEXT|8|0|10|0|20|70|30|0|40|1|1|\xC1\xEE|"
      // Seen from below without a direction: along the drawing's x, upside down.
      "0|MTEXT|8|0|10|40|20|10|30|0|40|2|71|1|1|AB|210|0|220|0|230|-1",
      "", "", "|9|$DWGCODEPAGE|3|ANSI_1251");
  const DrawingGeometry g = Flatten(*model);
  ASSERT_EQ(g.Texts.size(), 7u);
  const GeometryText& embedded = g.Texts[0];
  EXPECT_NEAR(embedded.Along.Y, 0, 1e-12);
  EXPECT_GT(embedded.Along.X, 0);
  EXPECT_NEAR(embedded.Origin.X, 5, 1e-9);
  EXPECT_NEAR(embedded.Origin.Y, 8, 1e-9);

  const GeometryText& below = g.Texts[1];
  EXPECT_LT(below.Along.X, 0);
  EXPECT_NEAR(below.Origin.X, 20, 1e-9);
  EXPECT_NEAR(below.Origin.Y, 8, 1e-9);
  EXPECT_NEAR(below.Up.Y, 2, 1e-9);

  const DrawingExtents backwards = BoxOf(g.Texts[2]);
  EXPECT_NEAR(backwards.MaxX, 100, 1e-9);
  EXPECT_LT(backwards.MinX, 99);
  EXPECT_LT(g.Texts[2].Along.X, 0);

  const DrawingExtents upsideDown = BoxOf(g.Texts[3]);
  EXPECT_NEAR(upsideDown.MinY, 30, 1e-9);
  EXPECT_NEAR(upsideDown.MaxY, 31, 1e-9);
  EXPECT_LT(g.Texts[3].Up.Y, 0);

  const DrawingExtents fitted = BoxOf(g.Texts[4]);
  EXPECT_NEAR(fitted.MinX, 0, 1e-9);
  EXPECT_NEAR(fitted.MaxX, 10, 1e-9);
  EXPECT_NEAR(g.Texts[4].Up.Y, 1, 1e-9);
  EXPECT_LT(g.Texts[4].Along.X, 0);

  EXPECT_EQ(g.Texts[5].Value, "\u0411\u043E");

  const GeometryText& fromBelow = g.Texts[6];
  EXPECT_GT(fromBelow.Along.X, 0);
  EXPECT_NEAR(fromBelow.Origin.Y, 12, 1e-9);
  EXPECT_NEAR(fromBelow.Up.Y, -2, 1e-9);
}

TEST(FlattenKinds, EndlessLinesCrossTheDrawingWithoutWideningIt) {
  auto model = Drawing(
      "0|LINE|8|0|10|0|20|0|11|10|21|10|"
      "0|XLINE|8|0|10|5|20|5|30|0|11|1|21|0|31|0|"
      "0|RAY|8|0|10|5|20|5|30|0|11|0|21|1|31|0");
  const DrawingGeometry g = Flatten(*model);
  ASSERT_EQ(g.Pieces.size(), 3u);
  const double margin = std::hypot(10, 10) / 50;
  EXPECT_TRUE(Near(g.Pieces[1].Points, {{-margin, 5}, {10 + margin, 5}}));
  EXPECT_TRUE(Near(g.Pieces[2].Points, {{5, 5}, {5, 10 + margin}}));
  const DrawingExtents all = *GeometryBounds(g);
  EXPECT_NEAR(all.MinY, 0, 1e-12);
  EXPECT_NEAR(all.MaxX, 10 + margin, 1e-12);
}

TEST(FlattenKinds, ComplexLinetypesWriteTheirTextsAlongTheLine) {
  auto model = Drawing(
      "0|LINE|8|0|6|GAS_LINE|10|0|20|0|11|100|21|0|"
      "0|LINE|8|0|6|GAS_LINE|48|0.5|10|0|20|0|11|0|21|-100",
      "",
      "0|TABLE|2|LTYPE|0|LTYPE|2|GAS_LINE|70|0|3|Gas|72|65|73|3|40|24|49|12|74|0|49|-5|74|2|75|"
      "0|340|11|46|2|50|0|44|-2|45|-1|9|GAS|49|-7|74|0|0|ENDTAB");
  const DrawingGeometry g = Flatten(*model);
  // Every 24 units from the end of the second element, 2 back and 1 below the line.
  std::vector<Point2D> origins;
  for (const GeometryText& text : g.Texts) {
    EXPECT_EQ(text.Value, "GAS");
    origins.push_back(text.Origin);
  }
  ASSERT_EQ(g.Texts.size(), 4u + 8u);
  EXPECT_TRUE(
      Near({origins.begin(), origins.begin() + 4}, {{15, -1}, {39, -1}, {63, -1}, {87, -1}}));
  EXPECT_NEAR(g.Texts[0].Up.Y, 2, 1e-12);
  // Half the scale, down the page: turned along the line, half as tall.
  EXPECT_TRUE(Near({origins[4]}, {{-0.5, -7.5}}));
  EXPECT_NEAR(g.Texts[4].Up.X, 1, 1e-12);
  EXPECT_NEAR(g.Texts[4].Along.Y, -TextLength("GAS", 1, 1), 1e-12);
}

// A proxy graphics stream, packed as its writers pack it.
std::string Long(std::uint32_t value) {
  std::string out;
  for (int k = 0; k < 4; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
  return out;
}
std::string Real(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, 8);
  std::string out;
  for (int k = 0; k < 8; ++k) out += static_cast<char>((bits >> (8 * k)) & 0xFF);
  return out;
}
std::string Vertex(double x, double y) { return Real(x) + Real(y) + Real(0); }
std::string Primitive(std::uint32_t type, const std::string& data) {
  return Long(static_cast<std::uint32_t>(8 + data.size())) + Long(type) + data;
}
// The stream as the groups of a record: its byte count, then hexadecimal chunks.
std::string StreamGroups(const std::vector<std::string>& primitives) {
  std::string body;
  for (const std::string& p : primitives) body += p;
  const std::string stream = Long(static_cast<std::uint32_t>(8 + body.size())) +
                             Long(static_cast<std::uint32_t>(primitives.size())) + body;
  std::string groups = "92|" + std::to_string(stream.size());
  static const char* digits = "0123456789ABCDEF";
  for (std::size_t i = 0; i < stream.size(); i += 64) {
    groups += "|310|";
    for (std::size_t k = i; k < std::min(stream.size(), i + 64); ++k) {
      groups += digits[static_cast<unsigned char>(stream[k]) >> 4];
      groups += digits[static_cast<unsigned char>(stream[k]) & 15];
    }
  }
  return groups;
}

TEST(FlattenKinds, CustomObjectsShowTheGraphicsStoredWithThem) {
  const std::string utf16 = std::string("W\0\xE4\0\0\0", 6) + std::string(2, '\0');
  const std::string stream = StreamGroups({
      Primitive(14, Long(1)),  // colour 1
      Primitive(6, Long(3) + Vertex(0, 0) + Vertex(4, 0) + Vertex(4, 3)),
      Primitive(22, Long(0xC200FF00)),  // true colour green
      Primitive(20, Long(1)),           // the next shape filled
      Primitive(7, Long(3) + Vertex(10, 0) + Vertex(12, 0) + Vertex(12, 2)),
      // A circle moved by a model transform.
      Primitive(29, Real(1) + Real(0) + Real(0) + Real(100) + Real(0) + Real(1) + Real(0) +
                        Real(0) + Real(0) + Real(0) + Real(1) + Real(0) + Real(0) + Real(0) +
                        Real(0) + Real(1)),
      Primitive(2, Vertex(0, 0) + Real(1) + Real(0) + Real(0) + Real(1)),
      Primitive(31, ""),
      Primitive(14, Long(256)),  // by layer
      Primitive(16, Long(1)),    // the second layer of the table
      Primitive(36, Vertex(0, 10) + Real(0) + Real(0) + Real(1) + Vertex(1, 0) + Real(2) + Real(1) +
                        Real(0) + utf16),
  });
  auto model = Drawing(
      "0|ACAD_PROXY_ENTITY|8|0|100|AcDbEntity|100|AcDbProxyEntity|90|498|91|500|95|0|70|0|" +
          stream + "|93|0",
      "", "0|TABLE|2|LAYER|0|LAYER|2|0|70|0|62|7|0|LAYER|2|Walls|70|0|62|5|0|ENDTAB");
  const DrawingGeometry g = Flatten(*model);
  ASSERT_EQ(g.Pieces.size(), 4u);
  EXPECT_EQ(g.Pieces[0].Kind, PieceKind::Polyline);
  EXPECT_EQ(g.Pieces[0].ColorIndex, 1);
  EXPECT_EQ(g.Pieces[0].Points, (std::vector<Point2D>{{0, 0}, {4, 0}, {4, 3}}));
  EXPECT_EQ(g.Pieces[1].Kind, PieceKind::Fill);
  EXPECT_EQ(g.Pieces[1].TrueColor, 0x00FF00);
  const DrawingExtents circle = PieceBounds(g.Pieces[2]);
  EXPECT_NEAR(circle.MinX, 99, 1e-9);
  EXPECT_NEAR(circle.MaxX, 101, 1e-9);
  EXPECT_NEAR(circle.MaxY, 1, 1e-9);
  ASSERT_EQ(g.Texts.size(), 1u);
  EXPECT_EQ(g.Texts[0].Value, "W\u00E4");
  EXPECT_EQ(g.Texts[0].Origin, (Point2D{0, 10}));
  EXPECT_NEAR(g.Texts[0].Up.Y, 2, 1e-12);
  EXPECT_EQ(g.LayerNames[g.Pieces[3].Layer], "Walls");
  EXPECT_EQ(g.Pieces[3].ColorIndex, 5);  // by layer: the layer the part is on
}

TEST(FlattenKinds, WipeoutsMaskWhatLiesUnderThemFramedAsTheDrawingSays) {
  const std::string wipeout =
      "0|WIPEOUT|8|0|10|0|20|0|30|0|11|1|21|0|31|0|12|0|22|1|32|0|13|10|23|10|70|7|71|1|91|2|14|"
      "-0.5|24|-0.5|14|9.5|24|9.5";
  const DrawingGeometry framed = Flatten(*Drawing(wipeout));
  ASSERT_EQ(framed.Pieces.size(), 2u);
  EXPECT_TRUE(framed.Pieces[0].Mask);
  EXPECT_EQ(framed.Pieces[0].Kind, PieceKind::Fill);
  EXPECT_EQ(framed.Pieces[0].Points, (std::vector<Point2D>{{0, 10}, {10, 10}, {10, 0}, {0, 0}}));
  EXPECT_EQ(framed.Pieces[1].Kind, PieceKind::Polyline);
  const DrawingGeometry bare = Flatten(
      *Drawing(wipeout, "", "", "", "0|WIPEOUTVARIABLES|5|99|100|AcDbWipeoutVariables|70|0"));
  ASSERT_EQ(bare.Pieces.size(), 1u);
  EXPECT_TRUE(bare.Pieces[0].Mask);
}

}  // namespace
}  // namespace veerline::cad
