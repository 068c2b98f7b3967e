#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale>

#include "DxfTestFiles.h"
#include "cad/DxfReader.h"
#include "cad/DxfWriter.h"

namespace veerline::cad {
namespace {

using testing::EntitiesDxf;
using testing::ReadText;
using testing::TempDir;

// A drawing with every entity kind the model knows, made through the CAD interface.
std::unique_ptr<DrawingModel> EveryKind() {
  auto drawing = std::make_unique<DrawingModel>();
  drawing->AddLayer("Turn_Vehicle");
  drawing->AddLayer("Draftkit_ErrNotes");
  CadBlock& block = drawing->AddBlock({0, 0, 0}, "4221240101123456");
  CadEntity& mark = block.AddLightWeightPolyline({{0, 0, 0}, {5, 0, 0}, {5, 5, 0}});
  mark.SetClosed(false);
  mark.SetColorIndex(1);
  mark.SetLayer("Draftkit_ErrNotes");
  mark.SetWidth(0, 0.1, 0.1);
  mark.SetWidth(1, 0.2, 0.3);
  CadEntity& circle = block.AddCircle({1e9, -2.5, 0}, 0.1);
  circle.SetColorIndex(7);
  circle.SetLayer("Turn_Vehicle");
  CadEntity& text = block.AddText("12.3", {2.5, 2.5, 0}, 1);
  text.SetHorizontalAlignment(kAlignMiddle);
  text.SetTextAlignmentPoint({2.5, 2.5, 0});
  text.SetInsertionPoint({2.5, 2.5, 0});
  text.SetColorIndex(1);
  text.SetLayer("Draftkit_ErrNotes");
  drawing->InsertBlock({0, 0, 0}, "4221240101123456", 1, 1, 1, 0);

  DrawingBlock& model = drawing->ModelSpace();
  DrawingEntity& line = model.AddEntity(EntityKind::Line);
  line.Data().Start = {1, 2, 0};
  line.Data().End = {3, 4, 0};
  DrawingEntity& arc = model.AddEntity(EntityKind::Arc);
  arc.Data().Centre = {0, 0, 0};
  arc.Data().Radius = 2;
  arc.Data().StartAngleDeg = 10;
  arc.Data().EndAngleDeg = 200;
  DrawingEntity& flat = model.AddEntity(EntityKind::Polyline2d);
  flat.Data().Vertices = {{0, 0, 0, 0.5, 0.1, 0.2}, {1, 1, 0, 0, 0, 0}};
  flat.SetColorIndex(256);
  DrawingEntity& spatial = model.AddEntity(EntityKind::Polyline3d);
  spatial.Data().Vertices = {{0, 0, 1, 0, 0, 0}, {1, 1, 2, 0, 0, 0}, {2, 0, 3, 0, 0, 0}};
  spatial.Data().Closed = true;
  CadEntity& path = model.AddLightWeightPolyline({{0.1, 0.2, 0}, {10.3, 0.2, 0}});
  path.SetColorIndex(5);
  return drawing;
}

const DrawingEntity& Only(const DrawingBlock& block, EntityKind kind) {
  for (const auto& e : block.Entities()) {
    if (e->Kind() == kind) return *e;
  }
  throw std::runtime_error("missing entity kind");
}

TEST(DxfWrite, RoundTripKeepsEveryKindWithItsProperties) {
  auto original = EveryKind();
  auto copy = ReadDxfText(WriteDxfText(*original), "copy.dxf");

  ASSERT_NE(copy->FindLayer("Turn_Vehicle"), nullptr);
  ASSERT_NE(copy->FindLayer("Draftkit_ErrNotes"), nullptr);
  const DrawingBlock* block = copy->FindBlock("4221240101123456");
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->Entities().size(), 3u);

  const EntityData& mark = Only(*block, EntityKind::LwPolyline).Data();
  EXPECT_EQ(mark.ColorIndex, 1);
  EXPECT_EQ(mark.Layer, "Draftkit_ErrNotes");
  EXPECT_FALSE(mark.Closed);
  ASSERT_EQ(mark.Vertices.size(), 3u);
  EXPECT_EQ(mark.Vertices[1].StartWidth, 0.2);
  EXPECT_EQ(mark.Vertices[1].EndWidth, 0.3);
  EXPECT_EQ(mark.Vertices[0].EndWidth, 0.1);
  EXPECT_EQ(mark.Vertices[2].StartWidth, 0);

  const EntityData& circle = Only(*block, EntityKind::Circle).Data();
  EXPECT_EQ(circle.Centre, (CadPoint{1e9, -2.5, 0}));
  EXPECT_EQ(circle.Radius, 0.1);
  EXPECT_EQ(circle.ColorIndex, 7);

  const EntityData& text = Only(*block, EntityKind::Text).Data();
  EXPECT_EQ(text.Text, "12.3");
  EXPECT_EQ(text.HorizontalAlignment, 4);
  EXPECT_EQ(text.AlignmentPoint, (CadPoint{2.5, 2.5, 0}));
  EXPECT_EQ(text.Height, 1);

  const DrawingBlock& model = copy->ModelSpace();
  ASSERT_EQ(model.Entities().size(), original->ModelSpace().Entities().size());
  for (std::size_t i = 0; i < model.Entities().size(); ++i) {
    EXPECT_EQ(model.Entities()[i]->Handle(), original->ModelSpace().Entities()[i]->Handle());
    EXPECT_EQ(model.Entities()[i]->Kind(), original->ModelSpace().Entities()[i]->Kind());
  }
  EXPECT_EQ(Only(model, EntityKind::Insert).Data().BlockName, "4221240101123456");
  EXPECT_EQ(Only(model, EntityKind::Line).Data().End, (CadPoint{3, 4, 0}));
  EXPECT_EQ(Only(model, EntityKind::Arc).Data().EndAngleDeg, 200);
  const EntityData& flat = Only(model, EntityKind::Polyline2d).Data();
  EXPECT_EQ(flat.Vertices[0], (PolylineVertex{0, 0, 0, 0.5, 0.1, 0.2}));
  EXPECT_EQ(flat.ColorIndex, 256);
  const DrawingEntity& spatial = Only(model, EntityKind::Polyline3d);
  EXPECT_EQ(spatial.EntityType(), kEntity3dPolyline);
  EXPECT_TRUE(spatial.Closed());
  EXPECT_EQ(spatial.Coordinate(2), (CadPoint{2, 0, 3}));
  EXPECT_EQ(Only(model, EntityKind::LwPolyline).Data().Vertices[1].X, 10.3);
}

TEST(DxfWrite, DrawingReadFromFileKeepsItsEntitiesWhenWrittenBack) {
  std::string source = EntitiesDxf(
      "0\nLWPOLYLINE\n5\n1A2B3C4D5E\n8\nPath\n90\n2\n70\n0\n10\n0\n20\n0\n10\n100\n20\n0\n"
      "0\nMYSHAPE\n5\n77\n330\n1F\n102\n{ACAD_REACTORS\n330\n99\n102\n}\n8\nOdd\n1\nkeep me\n");
  auto drawing = ReadDxfText(source, "in.dxf");
  CadBlock& added = drawing->AddBlock({0, 0, 0}, "Run");
  added.AddCircle({1, 1, 0}, 1);
  drawing->InsertBlock({0, 0, 0}, "Run", 1, 1, 1, 0);

  std::string written = WriteDxfText(*drawing);
  EXPECT_NE(written.find("0\nMYSHAPE\n5\n77\n"), std::string::npos);
  EXPECT_NE(written.find("1\nkeep me\n"), std::string::npos);
  // The record comes back whole, its links to other objects included.
  EXPECT_NE(written.find("0\nMYSHAPE\n5\n77\n330\n1F\n102\n{ACAD_REACTORS\n"), std::string::npos);
  auto again = ReadDxfText(written, "out.dxf");
  ASSERT_NE(again->FindEntity("1A2B3C4D5E"), nullptr);
  EXPECT_EQ(again->FindEntity("1A2B3C4D5E")->Coordinate(1).X, 100);
  ASSERT_NE(again->FindEntity("77"), nullptr);
  EXPECT_EQ(again->FindEntity("77")->TypeName(), "MYSHAPE");
  EXPECT_EQ(again->ModelSpace().Entities().size(), 3u);
  ASSERT_NE(again->FindBlock("Run"), nullptr);
}

TEST(DxfWrite, TextValuesCannotBreakTheFile) {
  DrawingModel drawing;
  drawing.ModelSpace().AddText("two\nlines\r\n0\nEOF", {0, 0, 0}, 1);
  auto copy = ReadDxfText(WriteDxfText(drawing), "t.dxf");
  ASSERT_EQ(copy->ModelSpace().Entities().size(), 1u);
  EXPECT_EQ(copy->ModelSpace().Entities()[0]->Data().Text, "two lines  0 EOF");
}

TEST(DxfWrite, NumbersUseAPointWhateverTheLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale here";
  auto drawing = EveryKind();
  std::string text = WriteDxfText(*drawing);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_NE(text.find("\n10.3\n"), std::string::npos);
  EXPECT_EQ(text.find("\n10,3\n"), std::string::npos);
}

TEST(DxfWrite, FileIsReplacedWholeAndAFailedWriteLeavesOthersAlone) {
  TempDir dir;
  auto drawing = EveryKind();
  std::filesystem::path file = dir.Path() / "out.dxf";
  dir.Write("out.dxf", "old contents");
  WriteDxfFile(*drawing, file);
  EXPECT_EQ(ReadText(file), WriteDxfText(*drawing));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "out.dxf.tmp-write"));

  // A folder standing where the file should go cannot be replaced.
  std::filesystem::create_directories(dir.Path() / "taken.dxf" / "inside");
  EXPECT_THROW(WriteDxfFile(*drawing, dir.Path() / "taken.dxf"), DxfError);
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "taken.dxf" / "inside"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "taken.dxf.tmp-write"));
  try {
    WriteDxfFile(*drawing, dir.Path() / "missing" / "x.dxf");
    ADD_FAILURE();
  } catch (const DxfError& error) {
    EXPECT_NE(std::string(error.what()).find("x.dxf"), std::string::npos);
  }
}

// A decimal comma with thousands grouping, as a German desktop would have it.
struct CommaNumbers : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(DxfWrite, RoundTripIsExactUnderACommaDecimalCppLocale) {
  std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
  auto drawing = EveryKind();
  std::string text = WriteDxfText(*drawing);
  std::unique_ptr<DrawingModel> copy;
  try {
    copy = ReadDxfText(text, "comma.dxf");
  } catch (...) {
    std::locale::global(previous);
    throw;
  }
  std::locale::global(previous);
  EXPECT_NE(text.find("\n10.3\n"), std::string::npos);
  EXPECT_EQ(Only(copy->ModelSpace(), EntityKind::LwPolyline).Data().Vertices[1].X, 10.3);
  EXPECT_EQ(Only(*copy->FindBlock("4221240101123456"), EntityKind::Circle).Data().Centre.X, 1e9);
}

// ezdxf is an independent reader: the written drawing must load there and its
// audit must find nothing to report or repair.
TEST(DxfWrite, IndependentReaderAuditsTheDrawingClean) {
  TempDir dir;
  auto drawing =
      ReadDxfText(EntitiesDxf("0\nPOINT\n5\n2A\n8\nKept\n10\n1\n20\n2\n30\n0\n"), "in.dxf");
  auto kinds = EveryKind();
  std::filesystem::path file = dir.Path() / "audit.dxf";
  WriteDxfFile(*kinds, file);
  std::filesystem::path readBack = dir.Path() / "readback.dxf";
  WriteDxfFile(*drawing, readBack);
  std::string script = std::string(VEERLINE_SOURCE_DIR) + "/tests/cad/ezdxf_audit.py";
  for (const std::filesystem::path& checked : {file, readBack}) {
    int result = -1;
    for (const char* python : {"python3", "/usr/bin/python3"}) {
      std::string command = std::string(python) + " \"" + script + "\" \"" + checked.string() +
                            "\" > \"" + checked.string() + ".log\" 2>&1";
      int status = std::system(command.c_str());
      result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      if (result != 77 && result != 127) break;
    }
    if (result == 77 || result == 127) GTEST_SKIP() << "python3 with ezdxf is not available";
    EXPECT_EQ(result, 0) << ReadText(checked.string() + ".log");
  }
}

}  // namespace
}  // namespace veerline::cad
