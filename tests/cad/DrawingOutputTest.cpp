#include <gtest/gtest.h>

#include "FakeCad.h"
#include "cad/DrawingOutput.h"

namespace veerline::cad {
namespace {

TEST(ListIndexToColor, NamedColoursAndByLayerForTheRest) {
  EXPECT_EQ(ListIndexToColor(0), 256);
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(ListIndexToColor(k), k);
  EXPECT_EQ(ListIndexToColor(8), 256);
  EXPECT_EQ(ListIndexToColor(9), 256);
  EXPECT_EQ(ListIndexToColor(-1), 256);
}

TEST(ReadColour, StoredTextsDefaultsAndBadValues) {
  StoredColours colours;
  const NumberSymbols symbols = NumberSymbols::PointDecimal();
  EXPECT_EQ(ReadColour(colours, kTyreTreadColor, symbols), 2);
  EXPECT_EQ(ReadColour(colours, kWheelSweepLeftBackColor, symbols), 3);
  colours.values["TyreTreadColor"] = "0";
  EXPECT_EQ(ReadColour(colours, kTyreTreadColor, symbols), 256);
  colours.values["TyreTreadColor"] = "9";
  EXPECT_EQ(ReadColour(colours, kTyreTreadColor, symbols), 256);
  colours.values["TyreTreadColor"] = " 6 ";
  EXPECT_EQ(ReadColour(colours, kTyreTreadColor, symbols), 6);
  colours.values["TyreTreadColor"] = "Red";
  EXPECT_THROW(ReadColour(colours, kTyreTreadColor, symbols), ConversionError);
  colours.values["TyreTreadColor"] = "";
  EXPECT_THROW(ReadColour(colours, kTyreTreadColor, symbols), ConversionError);
  colours.values["TyreTreadColor"] = "70000";
  EXPECT_THROW(ReadColour(colours, kTyreTreadColor, symbols), std::overflow_error);
}

TEST(DrawingRecipes, PolylineSetsClosedThenColourThenLayer) {
  FakeApplication app;
  FakeBlock block;
  CadEntity& e = DrawPolyline(app, block, {{1, 2}, {3, 4}}, true, 5, "L");
  auto* fake = static_cast<FakeEntity*>(&e);
  EXPECT_EQ(app.convertCalls, 1);
  EXPECT_EQ(app.lastArray, (std::vector<double>{1, 2, 0, 3, 4, 0}));
  EXPECT_EQ(fake->calls, (std::vector<std::string>{"Closed", "ColorIndex", "Layer"}));
  EXPECT_EQ(fake->closed, true);
  EXPECT_EQ(fake->color, 5);
  EXPECT_EQ(fake->layer, "L");

  FakeEntity* open =
      static_cast<FakeEntity*>(&DrawPolyline(app, block, {{0, 0}, {1, 1}}, std::nullopt, 3, "M"));
  EXPECT_EQ(open->calls, (std::vector<std::string>{"ColorIndex", "Layer"}));
}

TEST(DrawingRecipes, CircleAndCentredText) {
  FakeApplication app;
  FakeBlock block;
  DrawCircle(app, block, {2, 3}, 0.5, 7, "C");
  DrawText(app, block, "12.3", {4, 5}, 1, 1, "T");
  EXPECT_EQ(app.createPointCalls, 2);
  const FakeEntity& circle = *block.entities[0];
  EXPECT_EQ(circle.centre, (CadPoint{2, 3, 0}));
  EXPECT_EQ(circle.radius, 0.5);
  EXPECT_EQ(circle.calls, (std::vector<std::string>{"ColorIndex", "Layer"}));
  const FakeEntity& text = *block.entities[1];
  EXPECT_EQ(text.text, "12.3");
  EXPECT_EQ(text.height, 1);
  EXPECT_EQ(text.alignment, 4);
  EXPECT_EQ(text.alignmentPoint, (CadPoint{4, 5, 0}));
  EXPECT_EQ(text.insertionPoint, (CadPoint{4, 5, 0}));
  EXPECT_EQ(text.calls, (std::vector<std::string>{"HorizontalAlignment", "TextAlignmentPoint",
                                                  "InsertionPoint", "ColorIndex", "Layer"}));
}

TEST(RunBlocks, CreatesThreeBlocksAtTheOriginAndInsertsByName) {
  FakeApplication app;
  const RunBlockNames names{"99250102030405", "1398250102030405", "3500250102030405"};
  const RunBlocks blocks = CreateRunBlocks(app, app.document, names);
  ASSERT_EQ(app.document.blocks.size(), 3u);
  EXPECT_EQ(blocks.vehicle, app.document.blocks[0].get());
  EXPECT_EQ(blocks.vehicle->Name(), names.vehicle);
  EXPECT_EQ(blocks.sweep->Name(), names.sweep);
  EXPECT_EQ(blocks.envelope->Name(), names.envelope);
  for (const auto& b : app.document.blocks) EXPECT_EQ(b->origin, (CadPoint{0, 0, 0}));

  InsertRunBlock(app.document, names.sweep);
  ASSERT_EQ(app.document.inserts.size(), 1u);
  const FakeInsert& insert = app.document.inserts[0];
  EXPECT_EQ(insert.name, names.sweep);
  EXPECT_EQ(insert.point, (CadPoint{0, 0, 0}));
  EXPECT_EQ(insert.sx, 1);
  EXPECT_EQ(insert.sy, 1);
  EXPECT_EQ(insert.sz, 1);
  EXPECT_EQ(insert.rotation, 0);
}

}  // namespace
}  // namespace veerline::cad
