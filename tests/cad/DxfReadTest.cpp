#include <gtest/gtest.h>

#include "DxfTestFiles.h"
#include "cad/dxf/DxfReader.h"
#include "cad/geometry/EntityGeometry.h"

namespace veerline::cad {
namespace {

using testing::EntitiesDxf;
using testing::TempDir;

const char* kLwPolyline =
    "0\nLWPOLYLINE\n5\n1A2B3C4D5E\n330\n1F\n100\nAcDbEntity\n8\nPath\n62\n3\n100\nAcDbPolyline\n"
    "90\n3\n70\n1\n43\n0.25\n10\n0\n20\n0\n42\n0.5\n10\n10.5\n20\n0\n40\n1\n41\n2\n"
    "10\n10.5\n20\n7\n";

const char* kPolyline2d =
    "0\nPOLYLINE\n5\nA0\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n70\n0\n"
    "0\nVERTEX\n5\nA1\n8\n0\n10\n1\n20\n2\n30\n0\n42\n-0.25\n"
    "0\nVERTEX\n5\nA2\n8\n0\n10\n3\n20\n4\n30\n0\n"
    "0\nSEQEND\n5\nA3\n8\n0\n";

const char* kPolyline3d =
    "0\nPOLYLINE\n5\nB0\n8\n0\n66\n1\n70\n9\n"
    "0\nVERTEX\n5\nB1\n8\n0\n10\n1\n20\n1\n30\n5\n70\n32\n"
    "0\nVERTEX\n5\nB2\n8\n0\n10\n2\n20\n2\n30\n6\n70\n32\n"
    "0\nSEQEND\n5\nB3\n8\n0\n";

TEST(DxfRead, LightweightPolylineKeepsBulgesWidthsClosedFlagAndLongHandle) {
  auto drawing = ReadDxfText(EntitiesDxf(kLwPolyline), "path.dxf");
  DrawingEntity* path = drawing->FindEntity("1a2b3c4d5e");
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->Handle(), "1A2B3C4D5E");
  EXPECT_EQ(path->EntityType(), kEntityLightWeightPolyline);
  EXPECT_TRUE(path->Closed());
  ASSERT_EQ(path->CoordinateCount(), 3);
  EXPECT_EQ(path->Coordinate(1), (CadPoint{10.5, 0, 0}));
  EXPECT_EQ(path->GetBulge(0), 0.5);
  EXPECT_EQ(path->GetBulge(1), 0);
  EXPECT_EQ(path->Layer(), "Path");
  EXPECT_EQ(path->ColorIndex(), 3);
  const auto& v = path->Data().Vertices;
  EXPECT_EQ(v[0].StartWidth, 0.25);  // constant width
  EXPECT_EQ(v[1].StartWidth, 1);
  EXPECT_EQ(v[1].EndWidth, 2);
  ASSERT_NE(drawing->FindLayer("Path"), nullptr);
  // Fresh handles lie above the long one read.
  EXPECT_GT(std::stoull(drawing->NewHandle(), nullptr, 16), 0x1A2B3C4D5Eull);
}

TEST(DxfRead, OldStylePolylinesAre2dOr3dByTheirFlag) {
  auto drawing = ReadDxfText(EntitiesDxf(std::string(kPolyline2d) + kPolyline3d), "p.dxf");
  DrawingEntity* flat = drawing->FindEntity("A0");
  DrawingEntity* spatial = drawing->FindEntity("B0");
  ASSERT_TRUE(flat && spatial);
  EXPECT_EQ(flat->EntityType(), kEntityPolyline);
  EXPECT_FALSE(flat->Closed());
  ASSERT_EQ(flat->CoordinateCount(), 2);
  EXPECT_EQ(flat->Coordinate(1), (CadPoint{3, 4, 0}));
  EXPECT_EQ(flat->GetBulge(0), -0.25);
  EXPECT_EQ(spatial->EntityType(), kEntity3dPolyline);
  EXPECT_TRUE(spatial->Closed());
  EXPECT_EQ(spatial->Coordinate(0), (CadPoint{1, 1, 5}));
  EXPECT_EQ(drawing->ModelSpace().Entities().size(), 2u);
}

TEST(DxfRead, LinesCirclesArcsTextsAndBlocks) {
  std::string text =
      "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\nHidden\n70\n0\n62\n-4\n"
      "6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n"
      "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n5\n20\n8\n0\n2\nMark\n70\n0\n10\n1\n20\n2\n30\n0\n"
      "0\nCIRCLE\n5\n21\n8\n0\n10\n0\n20\n0\n30\n0\n40\n0.5\n0\nENDBLK\n5\n22\n8\n0\n0\nENDSEC\n"
      "0\nSECTION\n2\nENTITIES\n"
      "0\nLINE\n5\n30\n8\nHidden\n10\n1\n20\n2\n30\n0\n11\n3\n21\n4\n31\n0\n"
      "0\nARC\n5\n31\n8\n0\n10\n5\n20\n5\n30\n0\n40\n2\n50\n30\n51\n120\n"
      "0\nTEXT\n5\n32\n8\n0\n62\n1\n10\n1\n20\n1\n30\n0\n40\n2.5\n1\n12."
      "3\n72\n4\n11\n6\n21\n7\n31\n0\n"
      "0\nINSERT\n5\n33\n8\n0\n2\nMark\n10\n100\n20\n200\n30\n0\n41\n2\n42\n2\n43\n1\n50\n90\n"
      "0\nENDSEC\n0\nEOF\n";
  auto drawing = ReadDxfText(text, "mixed.dxf");
  ASSERT_NE(drawing->FindLayer("Hidden"), nullptr);
  EXPECT_FALSE(drawing->FindLayer("Hidden")->Visible);
  EXPECT_EQ(drawing->FindLayer("Hidden")->ColorIndex, 4);
  const DrawingBlock* mark = drawing->FindBlock("Mark");
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->Origin(), (CadPoint{1, 2, 0}));
  ASSERT_EQ(mark->Entities().size(), 1u);
  EXPECT_EQ(mark->Entities()[0]->EntityType(), kEntityCircle);

  EXPECT_EQ(drawing->FindEntity("30")->Data().End, (CadPoint{3, 4, 0}));
  const EntityData& arc = drawing->FindEntity("31")->Data();
  EXPECT_EQ(arc.StartAngleDeg, 30);
  EXPECT_EQ(arc.EndAngleDeg, 120);
  const EntityData& label = drawing->FindEntity("32")->Data();
  EXPECT_EQ(label.Text, "12.3");
  EXPECT_EQ(label.HorizontalAlignment, 4);
  EXPECT_TRUE(label.HasAlignmentPoint);
  EXPECT_EQ(label.AlignmentPoint, (CadPoint{6, 7, 0}));
  EXPECT_EQ(label.ColorIndex, 1);
  const EntityData& insert = drawing->FindEntity("33")->Data();
  EXPECT_EQ(insert.BlockName, "Mark");
  EXPECT_EQ(insert.ScaleX, 2);
  EXPECT_EQ(insert.RotationDeg, 90);
  // The block's circle sits at (-1, -2) from the block origin; scaled by 2 and
  // turned by 90 degrees it lies at (104, 198) with radius 1.
  auto extents = ModelExtents(*drawing);
  ASSERT_TRUE(extents);
  EXPECT_NEAR(extents->MaxX, 105, 1e-9);
  EXPECT_NEAR(extents->MaxY, 199, 1e-9);
}

TEST(DxfRead, UnknownEntitiesAreKeptVerbatim) {
  auto drawing = ReadDxfText(EntitiesDxf("0\nMYSHAPE\n5\n40\n8\nOdd\n1\nsome text\n10\n1.0000\n"
                                         "0\nPOINT\n5\n41\n8\n0\n10\n1\n20\n2\n30\n0\n"),
                             "odd.dxf");
  DrawingEntity* odd = drawing->FindEntity("40");
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(odd->EntityType(), kEntityOther);
  EXPECT_EQ(odd->TypeName(), "MYSHAPE");
  EXPECT_EQ(odd->Layer(), "Odd");
  std::vector<std::pair<int, std::string>> expected = {
      {0, "MYSHAPE"}, {5, "40"}, {8, "Odd"}, {1, "some text"}, {10, "1.0000"}};
  std::vector<std::pair<int, std::string>> kept;
  for (const DxfTag& tag : odd->Tags()) kept.emplace_back(tag.Code, std::string(tag.Value));
  EXPECT_EQ(kept, expected);
  EXPECT_THROW(odd->CoordinateCount(), CadError);
  EXPECT_NE(drawing->FindEntity("41"), nullptr);
}

TEST(DxfRead, DuplicateAndMissingHandlesGetFreshOnes) {
  auto drawing = ReadDxfText(EntitiesDxf("0\nLINE\n5\n50\n8\n0\n0\nLINE\n5\n50\n8\n0\n"
                                         "0\nLINE\n8\n0\n"),
                             "dup.dxf");
  const auto& entities = drawing->ModelSpace().Entities();
  ASSERT_EQ(entities.size(), 3u);
  EXPECT_EQ(entities[0]->Handle(), "50");
  EXPECT_NE(entities[1]->Handle(), "50");
  EXPECT_NE(entities[2]->Handle(), entities[1]->Handle());
  EXPECT_FALSE(entities[2]->Handle().empty());
}

// Every bad file gives a DxfError whose message names the file and the problem.
TEST(DxfRead, BadFilesGiveClearErrors) {
  struct Case {
    const char* name;
    std::string text;
    const char* problem;
  };
  std::vector<Case> cases = {
      {"empty", "", "empty"},
      {"blank", "\n\n  \n", "empty"},
      {"garbage", "hello world\nthis is not a drawing\n", "bad group code"},
      {"no section", "0\nLINE\n8\n0\n0\nEOF\n", "does not begin with a SECTION"},
      {"odd lines", "0\nSECTION\n2\nENTITIES\n0\n", "truncated"},
      {"no eof", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n", "truncated"},
      {"no endsec", "0\nSECTION\n2\nENTITIES\n0\nSECTION\n2\nBLOCKS\n0\nENDSEC\n0\nEOF\n",
       "not closed"},
      {"binary", std::string("AutoCAD Binary DXF\r\n\x1a\0", 21) + "junk", "binary"},
      {"nul", std::string("0\nSECTION\n2\0\n", 14), "binary data"},
      {"bad number", EntitiesDxf("0\nLINE\n8\n0\n10\n1.2.3\n"), "bad number '1.2.3' in group 10"},
      {"nan", EntitiesDxf("0\nCIRCLE\n8\n0\n40\nnan\n"), "bad number"},
      {"huge", EntitiesDxf("0\nCIRCLE\n8\n0\n40\n1e999\n"), "bad number"},
      {"block", "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nA\n0\nLINE\n0\nENDSEC\n0\nEOF\n", "ENDBLK"},
      {"comments only", "999\nnothing else\n", "only comments"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadDxfText(c.text, "bad.dxf");
      ADD_FAILURE() << "no error";
    } catch (const DxfError& error) {
      std::string message = error.what();
      EXPECT_EQ(message.rfind("bad.dxf: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    }
  }
}

TEST(DxfRead, MissingFileAndFolderAreReported) {
  TempDir dir;
  EXPECT_THROW(ReadDxfFile(dir.Path() / "none.dxf"), DxfError);
  EXPECT_THROW(ReadDxfFile(dir.Path()), DxfError);
}

TEST(DxfRead, LyingVertexCountIsNotTrusted) {
  auto drawing = ReadDxfText(
      EntitiesDxf("0\nLWPOLYLINE\n5\n60\n8\n0\n90\n2000000000\n70\n0\n10\n1\n20\n2\n10\n3\n20\n4\n"
                  "0\nLWPOLYLINE\n5\n61\n8\n0\n90\n-5\n10\n1\n20\n2\n"
                  "0\nSPLINE\n5\n62\n8\n0\n72\n2000000000\n73\n-3\n40\n0\n"),
      "lying.dxf");
  EXPECT_EQ(drawing->FindEntity("60")->CoordinateCount(), 2);
  EXPECT_EQ(drawing->FindEntity("61")->CoordinateCount(), 1);
  EXPECT_EQ(drawing->FindEntity("62")->EntityType(), kEntityOther);
}

TEST(DxfRead, ThousandsOfEntitiesFarFromTheOriginLoadFromFile) {
  std::string entities;
  for (int i = 0; i < 5000; ++i) {
    std::string x = std::to_string(1e9 + i * 0.125);
    entities += "0\nLINE\n8\nBig\n10\n" + x + "\n20\n-999999999.5\n11\n" + x + "\n21\n1e9\n";
  }
  TempDir dir;
  auto drawing = ReadDxfFile(dir.Write("big.dxf", EntitiesDxf(entities)));
  ASSERT_EQ(drawing->ModelSpace().Entities().size(), 5000u);
  EXPECT_EQ(drawing->ModelSpace().Entities()[4999]->Data().Start.X, 1e9 + 4999 * 0.125);
  EXPECT_EQ(drawing->ModelSpace().Entities()[0]->Data().Start.Y, -999999999.5);
  EXPECT_EQ(drawing->FileName(), "big.dxf");
}

TEST(DxfRead, WindowsLineEndingsAndPaddedCodesAreRead) {
  std::string text =
      "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nCIRCLE\r\n  5\r\n7\r\n  8\r\n0\r\n"
      " 10\r\n1\r\n 20\r\n2\r\n 40\r\n3\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  auto drawing = ReadDxfText(text, "crlf.dxf");
  ASSERT_NE(drawing->FindEntity("7"), nullptr);
  EXPECT_EQ(drawing->FindEntity("7")->Data().Radius, 3);
}

}  // namespace
}  // namespace veerline::cad
