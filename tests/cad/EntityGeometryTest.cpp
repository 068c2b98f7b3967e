#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "cad/geometry/FlattenCurves.h"
#include "cad/geometry/GeometrySink.h"
#include "tests/cad/GeometryTestDrawing.h"

namespace veerline::cad {
namespace {

constexpr double kPi = std::numbers::pi;

using testing::Drawing;
using testing::Flatten;

double Distance(const Point2D& a, const Point2D& b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

bool Contains(const std::vector<Point2D>& points, const Point2D& p, double tolerance = 1e-9) {
  return std::any_of(points.begin(), points.end(),
                     [&](const Point2D& q) { return Distance(p, q) <= tolerance; });
}

TEST(FlattenCurves, ArcsBulgesAndEllipsesLieOnTheirCurves) {
  std::vector<Point2D> circle;
  AppendArc(circle, {1, 2}, 10, 0, 2 * kPi, 0.01);
  for (const Point2D& p : circle) EXPECT_NEAR(Distance(p, {1, 2}), 10, 1e-9);
  for (Point2D quarter : {Point2D{11, 2}, {1, 12}, {-9, 2}, {1, -8}}) {
    EXPECT_TRUE(Contains(circle, quarter)) << quarter.X << "," << quarter.Y;
  }
  for (std::size_t i = 0; i + 1 < circle.size(); ++i) {
    const Point2D middle{(circle[i].X + circle[i + 1].X) / 2, (circle[i].Y + circle[i + 1].Y) / 2};
    EXPECT_LE(10 - Distance(middle, {1, 2}), 0.01);
  }
  std::vector<Point2D> across;
  AppendArc(across, {0, 0}, 1, 80 * kPi / 180, 20 * kPi / 180, 1);
  EXPECT_TRUE(Contains(across, {0, 1}, 1e-12));  // the 90-degree point, however coarse

  // A positive bulge runs counter-clockwise: from (0, 0) to (2, 0) below the chord.
  std::vector<Point2D> below, above, straight;
  AppendBulge(below, {0, 0}, {2, 0}, 1, 0.001);
  AppendBulge(above, {0, 0}, {2, 0}, -1, 0.001);
  AppendBulge(straight, {0, 0}, {2, 0}, 0, 0.001);
  EXPECT_TRUE(Contains(below, {1, -1}));
  EXPECT_TRUE(Contains(above, {1, 1}));
  EXPECT_EQ(below.back(), (Point2D{2, 0}));
  EXPECT_EQ(straight, (std::vector<Point2D>{{0, 0}, {2, 0}}));

  std::vector<Point2D> ellipse;
  AppendEllipse(ellipse, {0, 0}, {2, 0}, {0, 1}, 0, kPi / 2, 0.001);
  for (const Point2D& p : ellipse) EXPECT_NEAR(p.X * p.X / 4 + p.Y * p.Y, 1, 1e-9);
  EXPECT_TRUE(Contains(ellipse, {2, 0}) && Contains(ellipse, {0, 1}, 1e-12));
}

TEST(FlattenCurves, SplinesPassThroughTheirDefiningPoints) {
  // A rational quadratic: at t = 1/2 the point is (P0 + 2w P1 + P2) / (2 + 2w) with w = 3.
  std::vector<Point2D> rational;
  AppendNurbs(rational, 2, {{0, 0}, {1, 1}, {2, 0}}, {0, 0, 0, 1, 1, 1}, {1, 3, 1}, 0.001);
  EXPECT_EQ(rational.front(), (Point2D{0, 0}));
  EXPECT_TRUE(Contains(rational, {1, 0.75}, 1e-12));
  EXPECT_TRUE(Contains(rational, {2, 0}, 1e-12));
  // Knots of the wrong count become clamped ones: the curve still ends on the control polygon.
  std::vector<Point2D> repaired;
  AppendNurbs(repaired, 3, {{0, 0}, {1, 2}, {3, 2}, {4, 0}}, {0, 1}, {}, 0.001);
  EXPECT_EQ(repaired.front(), (Point2D{0, 0}));
  EXPECT_TRUE(Contains(repaired, {4, 0}, 1e-12));
  std::vector<Point2D> fitted;
  const std::vector<Point2D> fit{{0, 0}, {1, 1}, {2, 0}, {3, 1}};
  AppendFitSpline(fitted, fit, {}, {}, false, 0.001);
  for (const Point2D& p : fit) EXPECT_TRUE(Contains(fitted, p)) << p.X;
}

struct KindCase {
  const char* Name;
  std::string Entities, Blocks;
  DrawingExtents Expected;
};

// Every kind read from its record, placed where the record puts it: the bounds
// of the pieces each entity gives, against hand-computed values.
TEST(EntityGeometry, EachKindLiesWhereItsRecordPutsIt) {
  const std::string line = "0|LINE|8|0|10|0|20|0|11|1|21|0";
  const std::vector<KindCase> cases = {
      {"line", "0|LINE|8|0|10|1|20|2|11|4|21|6", "", {1, 2, 4, 6}},
      {"circle", "0|CIRCLE|8|0|10|10|20|10|40|2", "", {8, 8, 12, 12}},
      {"arc", "0|ARC|8|0|10|0|20|0|40|5|50|0|51|90", "", {0, 0, 5, 5}},
      // Seen from below: object x runs against drawing x.
      {"arc from below",
       "0|ARC|8|0|10|10|20|0|40|1|210|0|220|0|230|-1|50|0|51|90",
       "",
       {-11, 0, -10, 1}},
      {"ellipse",
       "0|ELLIPSE|8|0|10|0|20|0|11|4|21|0|40|0.5|41|0|42|6.283185307179586",
       "",
       {-4, -2, 4, 2}},
      {"elliptic arc",
       "0|ELLIPSE|8|0|10|0|20|0|11|0|21|3|40|0.5|41|0|42|3.141592653589793",
       "",
       {-1.5, -3, 0, 3}},
      {"wide polyline", "0|LWPOLYLINE|8|0|90|2|43|2|10|0|20|0|10|10|20|0", "", {0, -1, 10, 1}},
      {"spline",
       "0|SPLINE|8|0|71|1|72|4|73|2|40|0|40|0|40|1|40|1|10|1|20|1|10|3|20|5",
       "",
       {1, 1, 3, 5}},
      {"solid", "0|SOLID|8|0|10|0|20|0|11|4|21|0|12|0|22|3|13|4|23|3", "", {0, 0, 4, 3}},
      {"3dface", "0|3DFACE|8|0|10|0|20|0|11|5|21|0|12|5|22|2|13|0|23|2", "", {0, 0, 5, 2}},
      {"point", "0|POINT|8|0|10|5|20|6", "", {5, 6, 5, 6}},
      {"hatch with island",
       "0|HATCH|8|0|10|0|20|0|30|0|2|SOLID|70|1|71|0|91|2|92|3|72|0|73|1|93|4|10|0|20|0|10|10|20|"
       "0|10|10|20|10|10|0|20|10|97|0|92|18|72|0|73|1|93|4|10|4|20|4|10|6|20|4|10|6|20|6|10|4|20|"
       "6|97|0|75|0|76|1|98|0",
       "",
       {0, 0, 10, 10}},
      {"hatch arc edge",
       "0|HATCH|8|0|10|0|20|0|30|0|2|SOLID|70|1|71|0|91|1|92|1|93|2|72|1|10|-2|20|0|11|2|21|0|72|"
       "2|10|0|20|0|40|2|50|0|51|180|73|1|97|0|75|0|76|1|98|0",
       "",
       {-2, 0, 2, 2}},
      // A clockwise edge keeps its angles mirrored: this one runs three
      // quarters round from (0, 5) to (5, 0), as ezdxf reads it too.
      {"hatch clockwise arc edge",
       "0|HATCH|8|0|10|0|20|0|30|0|2|SOLID|70|1|71|0|91|1|92|1|93|3|72|1|10|0|20|0|11|0|21|5|72|"
       "2|10|0|20|0|40|5|50|360|51|270|73|0|72|1|10|5|20|0|11|0|21|0|97|0|75|0|76|1|98|0",
       "",
       {-5, -5, 5, 5}},
      // A spline edge, then a line: the spline's empty fit count is its own.
      {"hatch spline edge",
       "0|HATCH|8|0|10|0|20|0|30|0|2|SOLID|70|1|71|0|91|1|92|1|93|2|72|4|94|2|73|0|74|0|95|6|96|"
       "3|40|0|40|0|40|0|40|1|40|1|40|1|10|0|20|0|10|2|20|-4|10|4|20|0|97|0|72|1|10|4|20|0|11|0|"
       "21|0|97|0|75|0|76|1|98|0",
       "",
       {0, -2, 4, 0}},
      {"image", "0|IMAGE|8|0|10|1|20|1|11|0.1|21|0|12|0|22|0.1|13|100|23|50", "", {1, 1, 11, 6}},
      {"multiline",
       "0|MLINE|8|0|2|STANDARD|40|1|70|0|71|1|72|2|73|2|10|0|20|0|30|0|11|0|21|0|31|0|12|1|22|0|"
       "32|0|13|0|23|1|33|0|74|1|41|1|75|0|74|1|41|-1|75|0|11|10|21|0|31|0|12|1|22|0|32|0|13|0|"
       "23|1|33|0|74|1|41|1|75|0|74|1|41|-1|75|0",
       "",
       {0, -1, 10, 1}},
      {"subdivision mesh",
       "0|MESH|8|0|100|AcDbSubDMesh|71|2|72|0|91|0|92|4|10|1|20|1|30|0|10|5|20|1|30|0|10|5|20|3|"
       "30|0|10|1|20|3|30|0|93|5|90|4|90|0|90|1|90|2|90|3|94|0|95|0|90|0",
       "",
       {1, 1, 5, 3}},
      // A table's block lies at its insertion point, turned to its direction.
      {"table",
       "0|ACAD_TABLE|8|0|100|AcDbEntity|100|AcDbBlockReference|2|*T1|10|100|20|50|30|0|100|"
       "AcDbTable|11|0|21|1|31|0",
       "0|BLOCK|2|*T1|70|0|10|0|20|0|0|LINE|8|0|10|0|20|0|11|10|21|-5|0|ENDBLK",
       {100, 50, 105, 60}},
      {"leader", "0|LEADER|8|0|71|0|76|3|10|0|20|0|10|10|20|10|10|20|20|10", "", {0, 0, 20, 10}},
      // Two columns 10 apart and three rows 20 apart, turned a quarter turn.
      {"array",
       "0|INSERT|8|0|2|B|10|100|20|0|41|2|42|2|50|90|70|2|71|3|44|10|45|20",
       "0|BLOCK|2|B|70|0|10|0|20|0|" + line + "|0|ENDBLK",
       {60, 0, 100, 12}},
      {"mirrored",
       "0|INSERT|8|0|2|B|10|5|20|5|41|-1|42|1",
       "0|BLOCK|2|B|70|0|10|0|20|0|" + line + "|0|ENDBLK",
       {4, 5, 5, 5}},
      {"dimension",
       "0|DIMENSION|8|0|2|*D1|10|0|20|0",
       "0|BLOCK|2|*D1|70|1|10|0|20|0|0|LINE|8|0|10|0|20|0|11|3|21|0|0|ENDBLK",
       {0, 0, 3, 0}},
  };
  for (const KindCase& c : cases) {
    auto model = Drawing(c.Entities, c.Blocks);
    const std::optional<DrawingExtents> bounds = GeometryBounds(Flatten(*model));
    ASSERT_TRUE(bounds) << c.Name;
    EXPECT_NEAR(bounds->MinX, c.Expected.MinX, 1e-3) << c.Name;
    EXPECT_NEAR(bounds->MinY, c.Expected.MinY, 1e-3) << c.Name;
    EXPECT_NEAR(bounds->MaxX, c.Expected.MaxX, 1e-3) << c.Name;
    EXPECT_NEAR(bounds->MaxY, c.Expected.MaxY, 1e-3) << c.Name;
  }
}

TEST(EntityGeometry, TextsAreBoxedByAlignmentWithTheirCodesStripped) {
  // MTEXT: top left at the insertion point, a line per paragraph, 5/3 heights apart.
  auto model = Drawing(
      "0|MTEXT|8|0|10|0|20|10|40|2|71|1|1|{\\fArial;AB}\\PC\\S1^2;|"
      "0|TEXT|8|0|10|0|20|0|40|10|1|%%d45|72|4|11|50|21|50|"
      "0|INSERT|8|0|66|1|2|T|10|0|20|0|0|ATTRIB|8|0|10|30|20|30|40|1|1|K-7|2|ID|70|0|0|SEQEND",
      "0|BLOCK|2|T|70|2|10|0|20|0|0|ATTDEF|8|0|10|0|20|0|40|1|1|x|2|TAG|70|0|0|ENDBLK");
  const DrawingGeometry g = Flatten(*model);
  ASSERT_EQ(g.Texts.size(), 4u);
  EXPECT_EQ(g.Texts[0].Value, "AB");
  EXPECT_EQ(g.Texts[1].Value, "C1/2");
  EXPECT_NEAR(g.Texts[0].Origin.Y, 8, 1e-9);
  EXPECT_NEAR(g.Texts[1].Origin.Y, 8 - 2 * 5.0 / 3, 1e-9);
  EXPECT_NEAR(g.Texts[0].Up.Y, 2, 1e-9);
  // TEXT aligned "middle": its box is centred on the alignment point.
  const GeometryText& middle = g.Texts[2];
  EXPECT_EQ(middle.Value, "\u00B045");
  EXPECT_NEAR(middle.Origin.X + middle.Along.X / 2, 50, 1e-9);
  EXPECT_NEAR(middle.Origin.Y + middle.Up.Y / 2, 50, 1e-9);
  // The attribute shows its value; the block's attribute definition nothing.
  EXPECT_EQ(g.Texts[3].Value, "K-7");
  EXPECT_EQ(g.Pieces.back().Kind, PieceKind::Text);
  EXPECT_EQ(g.Pieces.back().Owner->Handle(), model->ModelSpace().Entities()[2]->Handle());
  EXPECT_EQ(PlainMText("a\\~b\\\\c^Id"), "a b\\c d");
}

// Layers off hide their entities, frozen ones also everything their
// references insert; "by block" takes the reference's colour and layer 0 in a
// block the reference's layer.
TEST(EntityGeometry, LayersHideAndReferencesLendColourAndLayer) {
  const std::string tables =
      "0|TABLE|2|LAYER|0|LAYER|2|Off|70|0|62|-5|0|LAYER|2|Frozen|70|1|62|4|0|LAYER|2|Kerb|70|0|62|"
      "1|0|ENDTAB";
  const std::string blocks =
      "0|BLOCK|2|B|70|0|10|0|20|0|0|LINE|8|0|62|0|10|0|20|0|11|1|21|0|0|LINE|8|Kerb|10|0|20|1|11|"
      "1|21|1|0|ENDBLK";
  auto model = Drawing(
      "0|LINE|8|Off|10|0|20|0|11|9|21|9|0|LINE|8|Frozen|10|0|20|0|11|9|21|9|"
      "0|INSERT|8|Frozen|2|B|10|50|20|0|0|INSERT|8|Off|2|B|10|60|20|0|"
      "0|INSERT|8|Kerb|62|3|2|B|10|70|20|0",
      blocks, tables);
  const DrawingGeometry g = Flatten(*model);
  // Off reference: only its Kerb line; the Kerb reference: both lines.
  ASSERT_EQ(g.Pieces.size(), 3u);
  EXPECT_EQ(g.Pieces[0].Points.front().X, 60);
  EXPECT_EQ(g.LayerNames[g.Pieces[0].Layer], "Kerb");
  EXPECT_EQ(g.Pieces[0].ColorIndex, 1);
  EXPECT_EQ(g.Pieces[1].ColorIndex, 3);  // by block: the reference's colour
  EXPECT_EQ(g.LayerNames[g.Pieces[1].Layer], "Kerb");
  EXPECT_EQ(g.Pieces[1].Owner, model->ModelSpace().Entities()[4].get());
  GeometryOptions everything;
  everything.HiddenLayersToo = true;
  EXPECT_EQ(BuildDrawingGeometry(*model, everything).Pieces.size(), 8u);
}

TEST(EntityGeometry, LinetypesScaleAndBadRecordsAreSkipped) {
  auto model = Drawing(
      "0|LINE|8|Svc|10|0|20|0|11|9|21|0|0|LINE|8|Svc|6|CONTINUOUS|10|0|20|0|11|9|21|0|"
      "0|LINE|8|0|6|DASHED|48|0.5|10|0|20|0|11|9|21|0|"
      "0|SPLINE|8|0|71|x|10|0|20|0|0|WHATEVER|8|0|10|0|20|0|0|POINT|8|0|10|1|20|1",
      "",
      "0|TABLE|2|LTYPE|0|LTYPE|2|DASHED|73|2|49|1.2|49|-0.6|0|ENDTAB|0|TABLE|2|LAYER|0|LAYER|2|"
      "Svc|70|0|62|2|6|DASHED|0|ENDTAB",
      "|9|$LTSCALE|40|10");
  const DrawingGeometry g = Flatten(*model);
  ASSERT_EQ(g.Pieces.size(), 4u);  // the spline with a bad degree and the unknown kind give nothing
  ASSERT_GE(g.Pieces[0].Linetype, 0);
  EXPECT_EQ(g.Patterns[g.Pieces[0].Linetype], (std::vector<double>{12, -6}));
  EXPECT_EQ(g.Pieces[1].Linetype, -1);
  EXPECT_EQ(g.Patterns[g.Pieces[2].Linetype], (std::vector<double>{6, -3}));
  EXPECT_EQ(g.Pieces[3].Kind, PieceKind::Point);
}

// Entities a run adds carry no record: their decoded data is all there is.
TEST(EntityGeometry, AddedEntitiesAndReferencesThatNeverEnd) {
  DrawingModel model;
  DrawingBlock& loop = model.AddBlockDefinition("Loop", {0, 0, 0}, 0);
  loop.AddCircle({0, 0, 0}, 1);
  DrawingEntity& self = loop.AddEntity(EntityKind::Insert);
  self.Data().BlockName = "Loop";
  self.Data().Insertion = {3, 0, 0};
  model.InsertBlock({0, 0, 0}, "Loop", 1, 1, 1, 0);
  model.InsertBlock({0, 0, 0}, "Loop", 1, 1, 1, 0);
  model.ModelSpace().AddEntity(EntityKind::Insert).Data().BlockName = "Missing";
  const DrawingGeometry g = Flatten(model);
  GeometryOptions options;
  EXPECT_EQ(g.Pieces.size(), 2u * options.MaxInsertDepth);
  EXPECT_NEAR(GeometryBounds(g)->MaxX, 3 * (options.MaxInsertDepth - 1) + 1, 1e-9);
}

}  // namespace
}  // namespace veerline::cad
