#include <gtest/gtest.h>

#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/ScriptedPicker.h"

namespace veerline::cad {
namespace {

// A drawing open in the attacher, with one path polyline and a scripted picker.
struct PickFixture : ::testing::Test {
  PickFixture() {
    auto model = std::make_unique<DrawingModel>();
    drawing = model.get();
    path = &drawing->ModelSpace().AddLightWeightPolyline({{0, 0, 0}, {10, 0, 0}});
    attacher.Open(std::move(model));
    attacher.Application()->SetPicker(&picker);
  }
  DrawingAttacher attacher;
  CadConnection connection{attacher};
  DrawingModel* drawing = nullptr;
  CadEntity* path = nullptr;
  ScriptedPicker picker;
};

TEST_F(PickFixture, HitReturnsTheEntityAndPromptEndsWithLineFeed) {
  picker.PickHandle(path->Handle());
  EXPECT_EQ(entselPoly(connection, "Select path (Polyline) in Drawing"), path);
  ASSERT_EQ(picker.Prompts().size(), 1u);
  EXPECT_EQ(picker.Prompts()[0], "Select path (Polyline) in Drawing\n");
  EXPECT_TRUE(attacher.Application()->SentCommands().empty());
}

TEST_F(PickFixture, MissesAskAgainUntilAHit) {
  picker.PickNothing();
  picker.PickHandle("DEAD");  // no such entity: a miss as well
  picker.PickHandle(path->Handle());
  EXPECT_EQ(entselPoly(connection, "p"), path);
  EXPECT_EQ(picker.Prompts().size(), 3u);
  EXPECT_TRUE(attacher.Application()->SentCommands().empty());
}

TEST_F(PickFixture, CancelSendsControlCAndGivesNothing) {
  picker.PickNothing();
  picker.CancelPick();
  picker.PickHandle(path->Handle());  // never asked for
  EXPECT_EQ(entselPoly(connection, "p"), nullptr);
  EXPECT_EQ(picker.Prompts().size(), 2u);
  EXPECT_EQ(attacher.Application()->SentCommands(), std::vector<std::string>{"^C"});
}

TEST_F(PickFixture, ExhaustedScriptCancelsInsteadOfWaiting) {
  EXPECT_EQ(entselPoly(connection, "p"), nullptr);
  EXPECT_EQ(attacher.Application()->SentCommands(), std::vector<std::string>{"^C"});
  attacher.Application()->SetPicker(nullptr);
  EXPECT_EQ(entselPoly(connection, "p"), nullptr);
}

TEST_F(PickFixture, BlockEntitiesCannotBePicked) {
  CadBlock& block = drawing->AddBlock({0, 0, 0}, "B");
  picker.PickHandle(block.AddCircle({0, 0, 0}, 1).Handle());
  EXPECT_EQ(entselPoly(connection, "p"), nullptr);
  EXPECT_EQ(picker.Prompts().size(), 2u);  // the miss asked again, then the script ran out
}

TEST(Pick, WithoutADrawingNothingIsPickedAndNothingThrows) {
  DrawingAttacher attacher;
  CadConnection connection(attacher);
  EXPECT_EQ(entselPoly(connection, "p"), nullptr);
}

}  // namespace
}  // namespace veerline::cad
