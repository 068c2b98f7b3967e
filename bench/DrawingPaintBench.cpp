// The drawing window's cost on a large site plan: 100,000 model-space
// entities (kerb lines, polylines with bulges, trees as circles and as block
// references, arcs, labels, paved areas as solid hatches, dashed services) over
// a square kilometre. Opening reads the file and flattens and indexes it;
// repainting paints offscreen into a window-sized picture as the window does;
// a playback frame draws the kept picture and the vehicle at its next station.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>
#include <memory>
#include <string>

#include "bench/WindingPath.h"
#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/DrawingOutput.h"
#include "cad/ScriptedPicker.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfReader.h"
#include "paint/DrawingPainter.h"
#include "paint/PictureCache.h"
#include "paint/VehicleFigure.h"
#include "run/ExecuteSweep.h"
#include "run/RunResultModel.h"
#include "run/SilentHost.h"

namespace veerline {
namespace {

constexpr int kEntities = 100000;
const QSize kWindow(1600, 1000);

// Fonts need a QGuiApplication; it lives for the whole benchmark program.
void EnsureGui() {
  static std::unique_ptr<QGuiApplication> app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "veerline-bench";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
  }();
}

// A fixed sequence of numbers in [0, 1), the same on every machine.
class Sequence {
 public:
  double Next() {
    mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(mState >> 11) / 9007199254740992.0;
  }
  double In(double low, double high) { return low + (high - low) * Next(); }

 private:
  std::uint64_t mState = 12345;
};

void Group(std::string& out, int code, const std::string& value) {
  out += std::to_string(code);
  out += '\n';
  out += value;
  out += '\n';
}

void Group(std::string& out, int code, double value) { Group(out, code, std::to_string(value)); }

void Head(std::string& out, const char* type, const char* layer, int colour) {
  Group(out, 0, type);
  Group(out, 8, layer);
  if (colour != 256) Group(out, 62, std::to_string(colour));
}

std::string SitePlan() {
  std::string dxf;
  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "HEADER");
  Group(dxf, 9, "$ACADVER");
  Group(dxf, 1, "AC1015");
  Group(dxf, 9, "$LTSCALE");
  Group(dxf, 40, 1.0);
  Group(dxf, 0, "ENDSEC");
  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "TABLES");
  Group(dxf, 0, "TABLE");
  Group(dxf, 2, "LTYPE");
  Group(dxf, 0, "LTYPE");
  Group(dxf, 2, "DASHED");
  Group(dxf, 49, 1.2);
  Group(dxf, 49, -0.6);
  Group(dxf, 0, "ENDTAB");
  Group(dxf, 0, "TABLE");
  Group(dxf, 2, "LAYER");
  const char* layers[] = {"Kerb", "Trees", "Text", "Paving", "Services"};
  for (int i = 0; i < 5; ++i) {
    Group(dxf, 0, "LAYER");
    Group(dxf, 2, layers[i]);
    Group(dxf, 62, std::to_string(i + 1));
    Group(dxf, 6, i == 4 ? "DASHED" : "CONTINUOUS");
  }
  Group(dxf, 0, "ENDTAB");
  Group(dxf, 0, "ENDSEC");
  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "BLOCKS");
  Group(dxf, 0, "BLOCK");
  Group(dxf, 2, "TREE");
  Group(dxf, 70, "0");
  Group(dxf, 10, 0.0);
  Group(dxf, 20, 0.0);
  Head(dxf, "CIRCLE", "0", 0);
  Group(dxf, 10, 0.0);
  Group(dxf, 20, 0.0);
  Group(dxf, 40, 1.0);
  Head(dxf, "LINE", "0", 3);
  Group(dxf, 10, -1.0);
  Group(dxf, 20, 0.0);
  Group(dxf, 11, 1.0);
  Group(dxf, 21, 0.0);
  Group(dxf, 0, "ENDBLK");
  Group(dxf, 0, "ENDSEC");
  Group(dxf, 0, "SECTION");
  Group(dxf, 2, "ENTITIES");
  Sequence r;
  for (int i = 0; i < kEntities; ++i) {
    const double x = r.In(0, 1000), y = r.In(0, 1000);
    switch (i % 20) {
      case 0:
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
      case 6:
      case 7:  // 40 %: kerb lines
        Head(dxf, "LINE", "Kerb", 256);
        Group(dxf, 10, x);
        Group(dxf, 20, y);
        Group(dxf, 11, x + r.In(-8, 8));
        Group(dxf, 21, y + r.In(-8, 8));
        break;
      case 8:
      case 9:
      case 10:
      case 11:  // 20 %: polylines, some with bulges
        Head(dxf, "LWPOLYLINE", i % 40 == 8 ? "Services" : "Kerb", 256);
        Group(dxf, 90, "5");
        for (int k = 0; k < 5; ++k) {
          Group(dxf, 10, x + 3 * k);
          Group(dxf, 20, y + r.In(-2, 2));
          if (k % 2 == 1) Group(dxf, 42, 0.3);
        }
        break;
      case 12:
      case 13:
      case 14:  // 15 %: trees drawn as circles
        Head(dxf, "CIRCLE", "Trees", 256);
        Group(dxf, 10, x);
        Group(dxf, 20, y);
        Group(dxf, 40, r.In(0.5, 3));
        break;
      case 15:
      case 16:  // 10 %: trees as block references
        Head(dxf, "INSERT", "Trees", 256);
        Group(dxf, 2, "TREE");
        Group(dxf, 10, x);
        Group(dxf, 20, y);
        Group(dxf, 41, 1.5);
        Group(dxf, 42, 1.5);
        break;
      case 17:  // 5 %: arcs
        Head(dxf, "ARC", "Kerb", 256);
        Group(dxf, 10, x);
        Group(dxf, 20, y);
        Group(dxf, 40, r.In(2, 12));
        Group(dxf, 50, 10.0);
        Group(dxf, 51, 130.0);
        break;
      case 18:  // 5 %: labels
        Head(dxf, "TEXT", "Text", 256);
        Group(dxf, 10, x);
        Group(dxf, 20, y);
        Group(dxf, 40, 1.5);
        Group(dxf, 1, "Plot " + std::to_string(i));
        break;
      default:  // 5 %: paved areas
        Head(dxf, "HATCH", "Paving", 256);
        Group(dxf, 2, "SOLID");
        Group(dxf, 70, "1");
        Group(dxf, 71, "0");
        Group(dxf, 91, "1");
        Group(dxf, 92, "2");
        Group(dxf, 72, "0");
        Group(dxf, 73, "1");
        Group(dxf, 93, "4");
        for (const auto& [dx, dy] : {std::pair{0, 0}, {4, 0}, {4, 3}, {0, 3}}) {
          Group(dxf, 10, x + dx);
          Group(dxf, 20, y + dy);
        }
        Group(dxf, 97, "0");
        Group(dxf, 75, "0");
        Group(dxf, 76, "1");
        Group(dxf, 98, "0");
        break;
    }
  }
  Group(dxf, 0, "ENDSEC");
  Group(dxf, 0, "EOF");
  return dxf;
}

const std::string& SitePlanText() {
  static const std::string text = SitePlan();
  return text;
}

// Reading the file, flattening and indexing it, and fitting it to the window.
void BM_OpenLargeDrawing(benchmark::State& state) {
  EnsureGui();
  for (auto _ : state) {
    auto model = cad::ReadDxfText(SitePlanText(), "site.dxf");
    paint::DrawingPainter painter(*model);
    painter.ZoomToExtents(kWindow, paint::RenderOptions{});
    benchmark::DoNotOptimize(painter.Scene().Size());
  }
}
BENCHMARK(BM_OpenLargeDrawing)->Unit(benchmark::kMillisecond);

paint::DrawingPainter& ViewAtZoom(double zoom) {
  static auto model = cad::ReadDxfText(SitePlanText(), "site.dxf");
  static paint::DrawingPainter painter(*model);
  painter.ZoomToExtents(kWindow, paint::RenderOptions{});
  painter.View().ZoomAt(QPointF(kWindow.width() / 2.0, kWindow.height() / 2.0), zoom);
  return painter;
}

paint::RenderOptions WindowOptions() {
  paint::RenderOptions options;
  options.darkBackground = true;
  return options;
}

// A whole repaint of the window at a zoom factor (1: the whole drawing), as
// after a zoom; the view moves a little each time so nothing is reused.
void BM_ZoomRepaint(benchmark::State& state) {
  EnsureGui();
  paint::DrawingPainter& painter = ViewAtZoom(static_cast<double>(state.range(0)));
  QImage image(kWindow, QImage::Format_RGB32);
  int step = 0;
  for (auto _ : state) {
    painter.View().Pan(QPointF(++step % 2 ? 7 : -7, 0));
    QPainter p(&image);
    painter.Paint(p, kWindow, WindowOptions());
  }
  state.counters["pieces"] = static_cast<double>(painter.Scene().Size());
}
BENCHMARK(BM_ZoomRepaint)->Arg(1)->Arg(4)->Arg(30)->Unit(benchmark::kMillisecond);

// A repaint while the mouse drags the picture by a few pixels: the window's
// picture moves and only the uncovered strips are painted.
void BM_PanRepaint(benchmark::State& state) {
  EnsureGui();
  paint::DrawingPainter& painter = ViewAtZoom(static_cast<double>(state.range(0)));
  paint::PictureCache cache;
  cache.Picture(painter, kWindow, WindowOptions());
  int step = 0;
  for (auto _ : state) {
    ++step;
    painter.View().Pan(QPointF(step % 2 ? 9 : -6, step % 3 ? 4 : -5));
    benchmark::DoNotOptimize(cache.Picture(painter, kWindow, WindowOptions()).constBits());
  }
}
BENCHMARK(BM_PanRepaint)->Arg(1)->Arg(4)->Arg(30)->Unit(benchmark::kMillisecond);

// A pick in the crowded drawing at the whole view.
void BM_PickNearestPolyline(benchmark::State& state) {
  EnsureGui();
  static auto model = cad::ReadDxfText(SitePlanText(), "site.dxf");
  paint::DrawingPainter painter(*model);
  painter.ZoomToExtents(kWindow, paint::RenderOptions{});
  Sequence r;
  for (auto _ : state) {
    const QPointF at(r.In(0, kWindow.width()), r.In(0, kWindow.height()));
    benchmark::DoNotOptimize(painter.HitTest(at, 6, true));
  }
}
BENCHMARK(BM_PickNearestPolyline)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace veerline

namespace veerline {
namespace {

// A semitrailer's run along a winding 600 m path laid over the site plan,
// through the Execute button, so the drawing holds the run's blocks.
struct SitePlanRun {
  cad::DrawingAttacher attacher;
  cad::ScriptedPicker picker;
  cad::DefaultColourSettings colours;
  SilentHost host;
  RunState state;
  RunResultModel model;

  SitePlanRun() {
    attacher.Open(cad::ReadDxfText(SitePlanText(), "site.dxf"));
    attacher.Application()->SetPicker(&picker);
    std::vector<cad::CadPoint> vertices;
    const auto path = bench::WindingPath(600);
    for (const auto& v : path) vertices.push_back({v.X + 200, v.Y + 500, 0});
    cad::CadEntity& entity = attacher.Current()->ModelSpace().AddLightWeightPolyline(vertices);
    auto& polyline = static_cast<cad::DrawingEntity&>(entity);
    for (std::size_t i = 0; i < path.size(); ++i) polyline.Data().Vertices[i].Bulge = path[i].Bulge;
    picker.PickHandle(entity.Handle());
    RunInputs inputs;
    inputs.vehicle = VehicleFields::Defaults(NumberSymbols::PointDecimal());
    inputs.vehicle.Type = 2;
    inputs.vehicle.Unit = 1;
    inputs.pathUnit = 1;
    inputs.txt_Speed = "10";
    inputs.txt_plotSpacing = "20";
    inputs.plotOnlyFirstAndLast = false;
    cad::CadConnection connection(attacher);
    RunContext context{host, connection, colours, state};
    const RunResult run = ExecuteButton(inputs, context);
    model = MakeRunResultModel(run, state, {}, 0, 2, "");
  }
};

// One frame of playback in the drawing window, zoomed to a street's width
// around the path (1:4 of the site): the window's picture of the drawing as
// kept between frames, the scale bar, and the vehicle at the next station.
void BM_PlaybackFrame(benchmark::State& state) {
  EnsureGui();
  static SitePlanRun run;
  if (run.model.poses.empty()) return state.SkipWithError("the run gave no poses");
  paint::DrawingPainter painter(*run.attacher.Current());
  painter.ZoomToExtents(kWindow, paint::RenderOptions{});
  painter.View().ZoomAt(painter.View().WorldToScreen(QPointF(400, 500)), 4);
  paint::PictureCache cache;
  QImage window(kWindow, QImage::Format_RGB32);
  const paint::RenderOptions options = WindowOptions();
  std::size_t pose = 0;
  for (auto _ : state) {
    pose = (pose + 1) % run.model.poses.size();
    QPainter p(&window);
    p.drawImage(0, 0, cache.Picture(painter, kWindow, options));
    painter.PaintOverlay(p, kWindow, options);
    paint::PaintVehiclePose(p, painter.View().ToScreen(), run.model.segments, run.model.vehicleType,
                            run.model.metresPerUnit, run.model.poses[pose],
                            run.model.ReadingsAt(pose).steering.value_or(0), paint::VehicleColours{}, 2);
  }
  state.counters["entities"] = static_cast<double>(run.attacher.Current()->ModelSpace().Entities().size());
  state.counters["stations"] = static_cast<double>(run.model.poses.size());
}
BENCHMARK(BM_PlaybackFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace veerline
