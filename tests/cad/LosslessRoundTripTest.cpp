#include <gtest/gtest.h>

#include "tests/support/RequiredTool.h"

#include <cstdlib>

#include "DxfTestFiles.h"
#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace veerline::cad {
namespace {

using testing::ReadText;
using testing::TempDir;

// Runs a script of tests/cad with the first python that has ezdxf; 77 when none has.
int RunPython(const std::string& script, const std::string& args,
              const std::filesystem::path& log) {
  std::string path = std::string(VEERLINE_SOURCE_DIR) + "/tests/cad/" + script;
  int result = 77;
  for (const char* python : {"/usr/bin/python3", "python3"}) {
    std::string command =
        std::string(python) + " \"" + path + "\" " + args + " > \"" + log.string() + "\" 2>&1";
    int status = std::system(command.c_str());
#ifdef _WIN32
    result = status;
#else
    result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    if (result != 77 && result != 127) break;
  }
  return result == 127 ? 77 : result;
}

// What a run adds: layers, a block of polylines with widths, a circle and a
// text beyond ASCII, its insert, and a polyline in model space.
void AddRunOutput(DrawingModel& drawing) {
  drawing.AddLayer("Turn_Vehicle");
  drawing.AddLayer("Turn_Clearance");
  drawing.AddOrGetLayer("Turn_Clearance").Linetype = "DASHED";
  CadBlock& block = drawing.AddBlock({0, 0, 0}, "2718281828");
  CadEntity& outline = block.AddLightWeightPolyline({{0, 0, 0}, {5, 0, 0}, {5, 2, 0}});
  outline.SetWidth(0, 0.1, 0.2);
  outline.SetLayer("Turn_Vehicle");
  block.AddCircle({1, 1, 0}, 0.5).SetLayer("Turn_Clearance");
  block.AddText("Radius 12,5 m – Süd", {2, 2, 0}, 1).SetLayer("Turn_Vehicle");
  drawing.InsertBlock({0, 0, 0}, "2718281828", 1, 1, 1, 0);
  drawing.ModelSpace().AddLightWeightPolyline({{0, 0, 0}, {1, 1, 0}}).SetLayer("Turn_Vehicle");
}

// Drawings of every version written by an independent program, with paper
// space, styles, xdata, extension dictionaries, groups and many entity kinds,
// keep every record through reading, adding and writing; the additions are in
// the version's form and pass that program's audit.
TEST(LosslessRoundTrip, EveryVersionKeepsItsRecordsAndTakesTheAdditions) {
  TempDir dir;
  for (const char* version : {"R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018"}) {
    SCOPED_TRACE(version);
    std::filesystem::path in = dir.Path() / (std::string(version) + ".dxf");
    std::filesystem::path out = dir.Path() / (std::string(version) + "-out.dxf");
    int made = RunPython("make_rich_drawing.py", std::string(version) + " \"" + in.string() + "\"",
                         dir.Path() / "make.log");
    if (made == 77) VEERLINE_SKIP_WITHOUT("python3 with ezdxf");
    ASSERT_EQ(made, 0) << ReadText(dir.Path() / "make.log");

    auto drawing = ReadDxfFile(in);
    std::string original = ReadText(in);
    EXPECT_TRUE(WriteDxfText(*drawing) == original) << "unchanged drawings come back byte for byte";
    AddRunOutput(*drawing);
    WriteDxfFile(*drawing, out);
    int checked =
        RunPython("check_round_trip.py", "\"" + in.string() + "\" \"" + out.string() + "\"",
                  dir.Path() / "check.log");
    EXPECT_EQ(checked, 0) << ReadText(dir.Path() / "check.log");

    auto again = ReadDxfFile(out);
    const DrawingBlock* block = again->FindBlock("2718281828");
    ASSERT_NE(block, nullptr);
    const DrawingEntity& outline = *block->Entities().front();
    EXPECT_EQ(outline.TypeName(), std::string(version) == "R12" ? "POLYLINE" : "LWPOLYLINE");
    EXPECT_EQ(outline.Data().Vertices[0].EndWidth, 0.2);
    EXPECT_EQ(block->Entities().back()->Data().Text, "Radius 12,5 m – Süd");
    ASSERT_NE(again->FindLayer("Turn_Clearance"), nullptr);
    EXPECT_EQ(again->FindLayer("Turn_Clearance")->Linetype, "DASHED");
  }
}

// Lines of any length, a byte-order mark and CR LF line ends are read, and
// come back as they were.
TEST(LosslessRoundTrip, LongValuesByteOrderMarkAndCrLf) {
  std::string longText(5000, 'x');
  std::string text =
      "\xEF\xBB\xBF  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\nTEXT\r\n  "
      "5\r\n1A2B3C4D5E6F7A8B9C\r\n"
      "  8\r\n0\r\n 10\r\n1\r\n 20\r\n2\r\n 40\r\n2.5\r\n  1\r\n" +
      longText + "\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  auto drawing = ReadDxfText(text, "long.dxf");
  ASSERT_EQ(drawing->ModelSpace().Entities().size(), 1u);
  EXPECT_EQ(drawing->ModelSpace().Entities()[0]->Data().Text, longText);
  EXPECT_NE(drawing->FindEntity("1A2B3C4D5E6F7A8B9C"), nullptr);
  EXPECT_TRUE(WriteDxfText(*drawing) == text);
  drawing->AddLayer("Turn_Vehicle");
  drawing->ModelSpace().AddCircle({0, 0, 0}, 1).SetLayer("Turn_Vehicle");
  std::string written = WriteDxfText(*drawing);
  EXPECT_EQ(written.rfind("\xEF\xBB\xBF  0\r\nSECTION\r\n", 0), 0u);
  EXPECT_NE(written.find("  0\r\nCIRCLE\r\n"), std::string::npos);
  EXPECT_EQ(written.find("\n\n"), std::string::npos);
  EXPECT_EQ(written.find(std::string(1, '\n'), written.find("CIRCLE")) - 1,
            written.find('\r', written.find("CIRCLE")));
}

// Comments before, between and inside the sections stay where they are; a
// file that stops after its last section is read and written back with EOF.
TEST(LosslessRoundTrip, CommentsStayInPlaceAndAMissingEofIsAdded) {
  const std::string text =
      "999\nwritten by dxfrw 0.6.3\n  0\nSECTION\n999\nhead\n  2\nENTITIES\n  0\nLINE\n"
      "999\ninside\n  8\n0\n 10\n1\n 11\n2\n  0\nENDSEC\n999\nbetween\n  0\nSECTION\n"
      "  2\nOBJECTS\n  0\nENDSEC\n";
  auto drawing = ReadDxfText(text, "comments.dxf");
  ASSERT_EQ(drawing->ModelSpace().Entities().size(), 1u);
  EXPECT_EQ(drawing->ModelSpace().Entities()[0]->Data().End.X, 2);
  EXPECT_EQ(WriteDxfText(*drawing), text + "  0\nEOF\n");
  drawing->ModelSpace().AddCircle({0, 0, 0}, 1);
  std::string written = WriteDxfText(*drawing);
  EXPECT_EQ(written.rfind("999\nwritten by dxfrw 0.6.3\n  0\nSECTION\n999\nhead\n", 0), 0u);
  EXPECT_NE(written.find("  0\nCIRCLE\n"), std::string::npos);  // padded like the file
}

}  // namespace
}  // namespace veerline::cad
