#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {
namespace {

CadErrorKind KindOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const CadError& error) {
    return error.Kind();
  }
  ADD_FAILURE() << "no CadError";
  return CadErrorKind::Other;
}

TEST(DrawingModel, MembersAKindLacksAreNotSupported) {
  DrawingModel drawing;
  CadEntity& circle = drawing.ModelSpace().AddCircle({1, 2, 0}, 3);
  CadEntity& path = drawing.ModelSpace().AddLightWeightPolyline({{0, 0, 0}, {1, 0, 0}});
  EXPECT_EQ(KindOf([&] { circle.CoordinateCount(); }), CadErrorKind::MemberNotSupported);
  EXPECT_EQ(KindOf([&] { circle.GetBulge(0); }), CadErrorKind::MemberNotSupported);
  EXPECT_EQ(KindOf([&] { circle.Closed(); }), CadErrorKind::MemberNotSupported);
  EXPECT_EQ(KindOf([&] { circle.SetWidth(0, 1, 1); }), CadErrorKind::MemberNotSupported);
  EXPECT_EQ(KindOf([&] { path.SetHorizontalAlignment(4); }), CadErrorKind::MemberNotSupported);
  try {
    circle.Coordinate(0);
  } catch (const CadError& error) {
    EXPECT_EQ(error.Code(), kMemberNotSupportedCode);
  }
}

TEST(DrawingModel, BadArgumentsFailWithoutChangingTheEntity) {
  DrawingModel drawing;
  CadEntity& path = drawing.ModelSpace().AddLightWeightPolyline({{0, 0, 0}, {1, 0, 0}});
  EXPECT_EQ(KindOf([&] { path.Coordinate(2); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] { path.GetBulge(-1); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] { path.SetWidth(5, 1, 1); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] { path.SetColorIndex(300); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] { path.SetLayer(""); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] { drawing.ModelSpace().AddCircle({0, 0, 0}, 0); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] {
              drawing.ModelSpace().AddLightWeightPolyline({{std::nan(""), 0, 0}});
            }),
            CadErrorKind::Other);
  EXPECT_EQ(path.ColorIndex(), kColorByLayer);
  EXPECT_EQ(path.Layer(), "0");
  EXPECT_EQ(drawing.ModelSpace().Entities().size(), 1u);
}

TEST(DrawingModel, PolylineMembersReadAndWriteTheVertices) {
  DrawingModel drawing;
  CadEntity& path = drawing.ModelSpace().AddLightWeightPolyline({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}});
  EXPECT_EQ(path.EntityType(), kEntityLightWeightPolyline);
  EXPECT_EQ(path.CoordinateCount(), 3);
  EXPECT_EQ(path.Coordinate(2), (CadPoint{4, 3, 0}));
  EXPECT_FALSE(path.Closed());
  path.SetClosed(true);
  EXPECT_TRUE(path.Closed());
  path.SetWidth(1, 0.5, 0.75);
  const auto& v = static_cast<DrawingEntity&>(path).Data().Vertices;
  EXPECT_EQ(v[1].StartWidth, 0.5);
  EXPECT_EQ(v[1].EndWidth, 0.75);
  EXPECT_EQ(v[0].StartWidth, 0);
}

TEST(DrawingModel, HandlesAreUniqueFreshAndFoundInModelSpaceOnly) {
  DrawingModel drawing;
  EXPECT_TRUE(drawing.ClaimHandle("1A2B3C4D5E"));
  EXPECT_FALSE(drawing.ClaimHandle("1a2b3c4d5e"));  // same handle, other case
  EXPECT_FALSE(drawing.ClaimHandle("XYZ"));
  EXPECT_FALSE(drawing.ClaimHandle(""));
  EXPECT_FALSE(drawing.ClaimHandle("0"));
  CadEntity& first = drawing.ModelSpace().AddCircle({0, 0, 0}, 1);
  CadEntity& second = drawing.ModelSpace().AddCircle({0, 0, 0}, 1);
  EXPECT_NE(first.Handle(), second.Handle());
  EXPECT_GT(std::stoull(first.Handle(), nullptr, 16), 0x1A2B3C4D5Eull);
  EXPECT_EQ(drawing.FindEntity(first.Handle()), &first);
  CadBlock& block = drawing.AddBlock({0, 0, 0}, "B");
  CadEntity& inBlock = block.AddCircle({0, 0, 0}, 1);
  EXPECT_EQ(drawing.FindEntity(inBlock.Handle()), nullptr);
  EXPECT_EQ(drawing.FindEntity("FFFFFF"), nullptr);
}

TEST(DrawingModel, LayersBlocksAndInserts) {
  DrawingModel drawing;
  ASSERT_NE(drawing.FindLayer("0"), nullptr);
  drawing.AddLayer("Turn_Vehicle");
  drawing.AddLayer("Turn_Vehicle");  // harmless
  EXPECT_EQ(drawing.Layers().size(), 2u);
  CadBlock& block = drawing.AddBlock({0, 0, 0}, "123240101120000");
  EXPECT_EQ(&drawing.AddBlock({0, 0, 0}, "123240101120000"), &block);
  EXPECT_EQ(drawing.Blocks().size(), 1u);
  EXPECT_EQ(KindOf([&] { drawing.AddBlock({0, 0, 0}, ""); }), CadErrorKind::Other);
  EXPECT_EQ(KindOf([&] {
              drawing.InsertBlock({0, 0, 0}, "nope", 1, 1, 1, 0);
            }),
            CadErrorKind::Other);
  block.AddLightWeightPolyline({{-1, -1, 0}, {2, 3, 0}});
  drawing.InsertBlock({10, 20, 0}, "123240101120000", 1, 1, 1, 0);
  ASSERT_EQ(drawing.ModelSpace().Entities().size(), 1u);
  const DrawingEntity& insert = *drawing.ModelSpace().Entities()[0];
  EXPECT_EQ(insert.EntityType(), kEntityBlockInsert);
  EXPECT_EQ(insert.Data().BlockName, "123240101120000");
  auto extents = ModelExtents(drawing);
  ASSERT_TRUE(extents);
  EXPECT_EQ(extents->MinX, 9);
  EXPECT_EQ(extents->MaxY, 23);
}

TEST(DrawingModel, ExtentsSurviveABlockThatInsertsItself) {
  DrawingModel drawing;
  EXPECT_FALSE(ModelExtents(drawing));
  DrawingBlock& loop = drawing.AddBlockDefinition("Loop", {0, 0, 0}, 0);
  loop.AddCircle({0, 0, 0}, 1);
  DrawingEntity& self = loop.AddEntity(EntityKind::Insert);
  self.Data().BlockName = "Loop";
  self.Data().Insertion = {1, 0, 0};
  drawing.InsertBlock({0, 0, 0}, "Loop", 1, 1, 1, 0);
  auto extents = ModelExtents(drawing);
  ASSERT_TRUE(extents);
  EXPECT_GT(extents->MaxX, 10);
}

TEST(DrawingModel, TextMembersSetAlignmentAndPoints) {
  DrawingModel drawing;
  CadEntity& text = drawing.ModelSpace().AddText("12.3", {1, 2, 0}, 0.5);
  text.SetHorizontalAlignment(kAlignMiddle);
  text.SetTextAlignmentPoint({3, 4, 0});
  text.SetInsertionPoint({3, 4, 0});
  const EntityData& d = static_cast<DrawingEntity&>(text).Data();
  EXPECT_EQ(d.HorizontalAlignment, 4);
  EXPECT_TRUE(d.HasAlignmentPoint);
  EXPECT_EQ(d.Insertion, (CadPoint{3, 4, 0}));
  EXPECT_EQ(KindOf([&] { text.CoordinateCount(); }), CadErrorKind::MemberNotSupported);
}

TEST(DrawingApplication, CaptionRegenAndWindowState) {
  DrawingModel drawing;
  DrawingApplication application(drawing);
  drawing.SetFileName("yard.dxf");
  EXPECT_EQ(application.Caption(), "Veerline Drawing - yard.dxf");
  int repaints = 0;
  application.SetRegenCallback([&] { ++repaints; });
  application.Regen();
  application.Regen();
  EXPECT_EQ(application.RegenCount(), 2);
  EXPECT_EQ(repaints, 2);
  application.SetWindowState(1);
  EXPECT_EQ(application.WindowState(), 1);
  EXPECT_EQ(&application.ActiveDocument(), &application);
  EXPECT_EQ(application.ConvertArrayToPoints({1, 2, 3, 4, 5, 6, 7}).size(), 2u);
  application.AddLayer("Kerb");
  EXPECT_NE(drawing.FindLayer("Kerb"), nullptr);
}

TEST(DrawingAttacher, AttachWithoutDrawingIsCadNotRunning) {
  DrawingAttacher attacher;
  try {
    attacher.Attach("ICAD.Application");
    FAIL() << "attached without a drawing";
  } catch (const CadError& error) {
    EXPECT_EQ(error.Kind(), CadErrorKind::CadNotRunning);
    EXPECT_EQ(error.Code(), 429);
  }
  attacher.Open(std::make_unique<DrawingModel>());
  DrawingModel* open = attacher.Current();
  EXPECT_EQ(&attacher.Attach("ICAD.Application"), attacher.Application());
  EXPECT_EQ(&attacher.Application()->Drawing(), open);
  auto closed = attacher.Close();
  EXPECT_EQ(closed.get(), open);
  EXPECT_THROW(attacher.Attach("ICAD.Application"), CadError);
}

}  // namespace
}  // namespace veerline::cad
