#include <gtest/gtest.h>

#include <algorithm>

#include "cad/dxf/DxfReader.h"
#include "cad/geometry/SnapPoints.h"

namespace veerline::cad {
namespace {

// A drawing of the given blocks and entities, written "code|value|...".
std::unique_ptr<DrawingModel> Drawing(std::string entities, std::string blocks) {
  std::string text = "0|SECTION|2|HEADER|9|$ACADVER|1|AC1015|0|ENDSEC|0|SECTION|2|BLOCKS|" +
                     blocks + "|0|ENDSEC|0|SECTION|2|ENTITIES|" + entities + "|0|ENDSEC|0|EOF|";
  std::replace(text.begin(), text.end(), '|', '\n');
  return ReadDxfOwnedText(std::move(text), "snap.dxf");
}

void ExpectSnap(const SnapGeometry& snaps, Point2D at, double tolerance, SnapKind kind,
                Point2D expected) {
  const std::optional<SnapPoint> found = snaps.Find(at, tolerance);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->Kind, kind);
  EXPECT_NEAR(found->At.X, expected.X, 1e-9);
  EXPECT_NEAR(found->At.Y, expected.Y, 1e-9);
}

// Block contents placed by a scaled, rotated reference off its base point; a
// bulge's arc; two crossing lines; a point near a line but no special point;
// the end of a spline, read through the shared flattening.
TEST(SnapGeometry, FindsCentresMiddlesCrossingsAndNearestPoints) {
  const auto drawing = Drawing(
      "0|INSERT|8|0|2|B|10|100|20|100|41|2|42|2|50|90|"
      "0|LWPOLYLINE|8|0|90|2|70|0|10|0|20|0|42|1|10|10|20|0|"
      "0|LINE|8|0|10|0|20|-20|11|30|21|-20|0|LINE|8|0|10|10|20|-25|11|10|21|-13|"
      "0|SPLINE|8|0|70|8|71|3|72|8|73|4|40|0|40|0|40|0|40|0|40|1|40|1|40|1|40|1|"
      "10|0|20|50|30|0|10|10|20|60|30|0|10|20|20|60|30|0|10|30|20|50|30|0",
      "0|BLOCK|8|0|2|B|70|0|10|10|20|0|30|0|"
      "0|ARC|8|0|10|10|20|0|40|1|50|0|51|90|0|LINE|8|0|10|12|20|0|11|14|21|0|0|ENDBLK|8|0");
  const SnapGeometry snaps(*drawing);
  ExpectSnap(snaps, {100.05, 99.95}, 0.2, SnapKind::Centre, {100, 100});
  ExpectSnap(snaps, {100.1, 106.05}, 0.2, SnapKind::Midpoint, {100, 106});
  ExpectSnap(snaps, {100.1, 108.1}, 0.2, SnapKind::Endpoint, {100, 108});
  ExpectSnap(snaps, {5.1, -5.1}, 0.3, SnapKind::Midpoint, {5, -5});  // a half circle below
  ExpectSnap(snaps, {10.1, -19.9}, 0.5, SnapKind::Intersection, {10, -20});
  ExpectSnap(snaps, {20, -19.8}, 0.5, SnapKind::Nearest, {20, -20});
  ExpectSnap(snaps, {29.9, 50.1}, 0.3, SnapKind::Endpoint, {30, 50});
  EXPECT_FALSE(snaps.Find({50, 50}, 0.5).has_value());
}

}  // namespace
}  // namespace veerline::cad
