#pragma once

#include <memory>
#include <string>

#include "cad/dxf/DrawingModel.h"
#include "engine/RunState.h"
#include "paint/DesignReport.h"
#include "run/RunResultModel.h"

#include <QImage>

class QGuiApplication;

namespace veerline::cli {

// Painting text needs a GUI application; the command line makes one on the
// offscreen platform for as long as this object lives.
class PictureSupport {
 public:
  PictureSupport();
  ~PictureSupport();
  PictureSupport(const PictureSupport&) = delete;
  PictureSupport& operator=(const PictureSupport&) = delete;

 private:
  std::unique_ptr<QGuiApplication> mApp;
};

// A PNG of the drawing with the run's output, fitted to the picture, with a
// scale bar; returns the picture written.
QImage WriteDrawingPicture(const cad::DrawingModel& drawing, const std::string& unitLabel,
                         const std::string& file);
// The design report as a PDF file, written whole or not at all.
void WriteDesignReport(const cad::DrawingModel& drawing, const RunResultModel& model,
                       const paint::ReportTitle& title, paint::Paper paper, const std::string& file);
// The run as an MP4 video, played at the speed checked (metres a second).
void WriteAnimation(const cad::DrawingModel& drawing, const RunResultModel& model,
                    const paint::ReportTitle& title, double metresPerSecond,
                    const std::string& file);
// PREFIX-turning.png and PREFIX-speed.png, painted as the main window paints them.
void WriteDiagramPictures(const RunState& state, int speedUnit, const std::string& prefix);

}  // namespace veerline::cli
