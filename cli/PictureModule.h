#pragma once

// Pictures, the design report and the animation are painted with Qt, which
// takes a while to load; a run that writes none of them should not wait for
// it. They live in a module of their own beside the program, loaded the first
// time one is asked for. This is the module's face, free of Qt.

#include <optional>
#include <string>

#include "cad/dxf/DrawingModel.h"
#include "engine/RunState.h"
#include "run/RunResultModel.h"

namespace veerline::cli {

// What the design report and the animation say of the run beside its results.
struct ReportTitleText {
  std::string drawingFile, date, vehicleName, vehicleSource, unitLabel;
  std::optional<double> speed;       // the speed checked, in the run's speed unit
  std::optional<double> lockToLock;  // seconds
};

enum class ReportPaper { A4, A3 };

class PictureWriter {
 public:
  virtual ~PictureWriter() = default;
  // A PNG of the drawing with the run's output, fitted to the picture, with a
  // scale bar. With thumbnailWidth above 0, returns the picture scaled to that
  // width as PNG bytes; else nothing.
  virtual std::string DrawingPicture(const cad::DrawingModel& drawing, const std::string& unitLabel,
                                     const std::string& file, int thumbnailWidth) = 0;
  // PREFIX-turning.png and PREFIX-speed.png, painted as the main window paints them.
  virtual void Diagrams(const RunState& state, int speedUnit, const std::string& prefix) = 0;
  // The design report as a PDF file, written whole or not at all.
  virtual void DesignReport(const cad::DrawingModel& drawing, const RunResultModel& model,
                            const ReportTitleText& title, ReportPaper paper,
                            const std::string& file) = 0;
  // The run as an MP4 video, played at the speed checked (metres a second).
  virtual void Animation(const cad::DrawingModel& drawing, const RunResultModel& model,
                         const ReportTitleText& title, double metresPerSecond,
                         const std::string& file) = 0;
};

// The module's writer, loaded on the first call (from any thread, once);
// throws BadInput when the module cannot be loaded.
PictureWriter& Pictures();

// The name the module's entry point is exported under.
inline constexpr const char* kPictureModuleEntry = "veerline_picture_writer";

}  // namespace veerline::cli
