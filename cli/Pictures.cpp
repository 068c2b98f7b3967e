#include "cli/Pictures.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "engine/SafeSave.h"
#include "paint/DrawingPainter.h"
#include "paint/RunAnimation.h"
#include "paint/RunDiagrams.h"

namespace veerline::cli {
namespace {

// Encodes the picture as PNG in memory, then saves it whole or not at all.
void Save(const QImage& image, const std::string& file) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG"))
    throw std::runtime_error("cannot write picture " + file);
  SaveFileSafely(file, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
}

// Qt's notes about the headless set-up (no runtime folder, offscreen fonts) are
// no business of a batch tool's user; warnings that matter still reach stderr.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (text.startsWith(QStringLiteral("QStandardPaths:"))) return;
  std::fprintf(stderr, "veerline-cli: %s\n", text.toLocal8Bit().constData());
}

}  // namespace

PictureSupport::PictureSupport() {
  if (QCoreApplication::instance() != nullptr) return;
  qInstallMessageHandler(QuietQtMessages);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "veerline-cli";
  static char* argv[] = {name, nullptr};
  mApp = std::make_unique<QGuiApplication>(argc, argv);
}

PictureSupport::~PictureSupport() = default;

QImage WriteDrawingPicture(const cad::DrawingModel& drawing, const std::string& unitLabel,
                           const std::string& file) {
  paint::RenderOptions options;
  options.unitLabel = QString::fromStdString(unitLabel);
  QImage picture = paint::RenderDrawing(drawing, QSize(1600, 1200), options);
  Save(picture, file);
  return picture;
}

void WriteDesignReport(const cad::DrawingModel& drawing, const RunResultModel& model,
                       const paint::ReportTitle& title, paint::Paper paper, const std::string& file) {
  const QByteArray pdf =
      paint::DesignReportPdf(drawing, model, title, paper, NumberSymbols::PointDecimal());
  if (pdf.isEmpty()) throw std::runtime_error("cannot write report " + file);
  SaveFileSafely(file, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
}

void WriteAnimation(const cad::DrawingModel& drawing, const RunResultModel& model,
                    const paint::ReportTitle& title, double metresPerSecond,
                    const std::string& file) {
  paint::AnimationOptions options;
  options.metresPerSecond = metresPerSecond;
  options.unitLabel = title.unitLabel;
  options.title = title.vehicleName + QStringLiteral("  ·  ") + title.drawingFile;
  paint::WriteRunAnimation(drawing, model, options, file);
}

void WriteDiagramPictures(const RunState& state, int speedUnit, const std::string& prefix) {
  const QSize box(800, 400);
  Save(paint::RenderTurningDiagram(state, box), prefix + "-turning.png");
  Save(paint::RenderSpeedDiagram(state, box, static_cast<SpeedUnit>(speedUnit)), prefix + "-speed.png");
}

}  // namespace veerline::cli
