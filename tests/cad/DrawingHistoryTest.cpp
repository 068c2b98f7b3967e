#include <gtest/gtest.h>

#include "DxfTestFiles.h"
#include "cad/dxf/DrawingHistory.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"

namespace veerline::cad {
namespace {

// Undoing a run's output gives the file back as read; redoing brings the
// output back; an erased entity leaves the file and returns on undo.
TEST(DrawingHistory, UndoRedoOfAdditionsAndErasures) {
  std::string text = testing::EntitiesDxf("0\nLINE\n5\n50\n8\nKerb\n10\n0\n20\n0\n11\n5\n21\n0\n");
  auto drawing = ReadDxfText(text, "site.dxf");
  DrawingHistory history;

  DrawingMark before = DrawingHistory::Mark(*drawing);
  drawing->AddLayer("Turn_Vehicle");
  drawing->AddLinetype({"DASHED", "Dashed", {1, -0.5}, false});
  drawing->AddBlock({0, 0, 0}, "271828").AddCircle({1, 1, 0}, 1).SetLayer("Turn_Vehicle");
  drawing->InsertBlock({0, 0, 0}, "271828", 1, 1, 1, 0);
  ASSERT_TRUE(history.RecordAdditions("Run", *drawing, before));
  EXPECT_FALSE(history.RecordAdditions("Nothing", *drawing, DrawingHistory::Mark(*drawing)));
  std::string withRun = WriteDxfText(*drawing);

  history.Undo(*drawing);
  EXPECT_EQ(WriteDxfText(*drawing), text);
  EXPECT_EQ(drawing->FindLayer("Turn_Vehicle"), nullptr);
  EXPECT_EQ(drawing->FindBlock("271828"), nullptr);
  history.Redo(*drawing);
  EXPECT_EQ(WriteDxfText(*drawing), withRun);

  history.Erase("Delete", {drawing->FindEntity("50")});
  EXPECT_EQ(drawing->FindEntity("50"), nullptr);
  EXPECT_EQ(WriteDxfText(*drawing).find("LINE"), std::string::npos);
  history.Undo(*drawing);
  EXPECT_EQ(WriteDxfText(*drawing), withRun);
  EXPECT_EQ(history.RedoName(), "Delete");

  // A new action after an undo drops what was undone.
  history.Undo(*drawing);
  drawing->ModelSpace().AddCircle({0, 0, 0}, 2);
  history.RecordAdditions("Circle", *drawing, before);
  EXPECT_FALSE(history.CanRedo());
  history.Undo(*drawing);
  EXPECT_EQ(WriteDxfText(*drawing), text);
}

}  // namespace
}  // namespace veerline::cad
