// Reading and writing a large drawing: about 50 MB of R2000 DXF with lines,
// polylines and texts, written back with a run's additions.
#include <benchmark/benchmark.h>

#include <string>

#include "cad/dxf/DxfReader.h"
#include "cad/dxf/DxfWriter.h"

namespace {

using namespace veerline;

// A drawing of the given size in bytes, entities of three kinds in turn.
const std::string& LargeDrawing() {
  static const std::string text = [] {
    constexpr std::size_t kTargetBytes = 50u * 1024u * 1024u;
    std::string out =
        "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  9\n$HANDSEED\n  5\n10\n  "
        "0\nENDSEC\n"
        "  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  5\n2\n330\n0\n100\nAcDbSymbolTable\n "
        "70\n1\n"
        "  0\nLAYER\n  5\n3\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n  "
        "2\n0\n"
        " 70\n0\n 62\n7\n  6\nContinuous\n  0\nENDTAB\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n";
    out.reserve(kTargetBytes + 4096);
    unsigned handle = 0x100;
    char buffer[512];
    for (int i = 0; out.size() < kTargetBytes; ++i) {
      double x = 1000.0 + i * 0.731, y = 2000.0 - i * 0.377;
      int n = 0;
      switch (i % 3) {
        case 0:
          n = std::snprintf(
              buffer, sizeof buffer,
              "  0\nLINE\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\nKerb\n100\nAcDbLine\n"
              " 10\n%.6f\n 20\n%.6f\n 30\n0.0\n 11\n%.6f\n 21\n%.6f\n 31\n0.0\n",
              handle++, x, y, x + 5.25, y + 1.5);
          break;
        case 1:
          n = std::snprintf(buffer, sizeof buffer,
                            "  0\nLWPOLYLINE\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\nIsland\n"
                            "100\nAcDbPolyline\n 90\n4\n 70\n1\n 10\n%.6f\n 20\n%.6f\n 10\n%.6f\n"
                            " 20\n%.6f\n 42\n0.5\n 10\n%.6f\n 20\n%.6f\n 10\n%.6f\n 20\n%.6f\n",
                            handle++, x, y, x + 3, y, x + 3, y + 2, x, y + 2);
          break;
        default:
          n = std::snprintf(
              buffer, sizeof buffer,
              "  0\nTEXT\n  5\n%X\n330\n1F\n100\nAcDbEntity\n  8\nNotes\n100\nAcDbText\n"
              " 10\n%.6f\n 20\n%.6f\n 30\n0.0\n 40\n2.5\n  1\nBay %d\n100\nAcDbText\n",
              handle++, x, y, i);
      }
      out.append(buffer, static_cast<std::size_t>(n));
    }
    out += "  0\nENDSEC\n  0\nEOF\n";
    return out;
  }();
  return text;
}

void BM_ReadLargeDrawing(benchmark::State& state) {
  const std::string& text = LargeDrawing();
  for (auto _ : state) {
    auto drawing = cad::ReadDxfText(text, "large.dxf");
    benchmark::DoNotOptimize(drawing);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLargeDrawing)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteLargeDrawingWithAdditions(benchmark::State& state) {
  auto drawing = cad::ReadDxfText(LargeDrawing(), "large.dxf");
  drawing->AddLayer("Turn_Vehicle");
  cad::CadBlock& block = drawing->AddBlock({0, 0, 0}, "2718");
  for (int i = 0; i < 1000; ++i) {
    block.AddLightWeightPolyline({{i * 1.0, 0, 0}, {i + 0.5, 1, 0}}).SetLayer("Turn_Vehicle");
  }
  drawing->InsertBlock({0, 0, 0}, "2718", 1, 1, 1, 0);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string written = cad::WriteDxfText(*drawing);
    bytes = written.size();
    benchmark::DoNotOptimize(written);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteLargeDrawingWithAdditions)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
