// The picture module: everything the command line paints with Qt, behind
// the PictureWriter face, loaded only when something is to be painted.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "cli/PictureModule.h"
#include "engine/SafeSave.h"
#include "paint/DesignReport.h"
#include "paint/DrawingPainter.h"
#include "paint/RunAnimation.h"
#include "paint/RunDiagrams.h"

namespace veerline::cli {
namespace {

// Qt's notes about the headless set-up (no runtime folder, offscreen fonts) are
// no business of a batch tool's user; warnings that matter still reach stderr.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  if (text.startsWith(QStringLiteral("QStandardPaths:"))) return;
  std::fprintf(stderr, "veerline-cli: %s\n", text.toLocal8Bit().constData());
}

// The PNG bytes of an image.
std::string PngBytes(const QImage& image) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (image.isNull() || !image.save(&buffer, "PNG")) return {};
  return std::string(png.constData(), static_cast<std::size_t>(png.size()));
}

// Encodes the picture as PNG in memory, then saves it whole or not at all.
void Save(const QImage& image, const std::string& file) {
  const std::string png = PngBytes(image);
  if (png.empty()) throw std::runtime_error("cannot write picture " + file);
  SaveFileSafely(file, png);
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

paint::ReportTitle Title(const ReportTitleText& text) {
  paint::ReportTitle title;
  title.drawingFile = Text(text.drawingFile);
  title.date = Text(text.date);
  title.vehicleName = Text(text.vehicleName);
  title.vehicleSource = Text(text.vehicleSource);
  title.unitLabel = Text(text.unitLabel);
  title.speed = text.speed;
  title.lockToLock = text.lockToLock;
  return title;
}

// Painting text needs a GUI application: the module makes one on the
// offscreen platform, unless the program has one, and keeps it for as long
// as the program runs.
class QtPictureWriter final : public PictureWriter {
 public:
  QtPictureWriter() {
    if (QCoreApplication::instance() != nullptr) return;
    qInstallMessageHandler(QuietQtMessages);
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "veerline-cli";
    static char* argv[] = {name, nullptr};
    mApp = std::make_unique<QGuiApplication>(argc, argv);
  }

  std::string DrawingPicture(const cad::DrawingModel& drawing, const std::string& unitLabel,
                             const std::string& file, int thumbnailWidth) override {
    paint::RenderOptions options;
    options.unitLabel = Text(unitLabel);
    const QImage picture = paint::RenderDrawing(drawing, QSize(1600, 1200), options);
    Save(picture, file);
    if (thumbnailWidth <= 0) return {};
    return PngBytes(picture.scaledToWidth(thumbnailWidth, Qt::SmoothTransformation));
  }

  void Diagrams(const RunState& state, int speedUnit, const std::string& prefix) override {
    const QSize box(800, 400);
    Save(paint::RenderTurningDiagram(state, box), prefix + "-turning.png");
    Save(paint::RenderSpeedDiagram(state, box, static_cast<SpeedUnit>(speedUnit)),
         prefix + "-speed.png");
  }

  void DesignReport(const cad::DrawingModel& drawing, const RunResultModel& model,
                    const ReportTitleText& title, ReportPaper paper,
                    const std::string& file) override {
    const QByteArray pdf = paint::DesignReportPdf(
        drawing, model, Title(title), paper == ReportPaper::A3 ? paint::Paper::A3 : paint::Paper::A4,
        NumberSymbols::PointDecimal());
    if (pdf.isEmpty()) throw std::runtime_error("cannot write report " + file);
    SaveFileSafely(file, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
  }

  void Animation(const cad::DrawingModel& drawing, const RunResultModel& model,
                 const ReportTitleText& title, double metresPerSecond,
                 const std::string& file) override {
    paint::AnimationOptions options;
    options.metresPerSecond = metresPerSecond;
    options.unitLabel = Text(title.unitLabel);
    options.title = Text(title.vehicleName) + QStringLiteral("  ·  ") + Text(title.drawingFile);
    paint::WriteRunAnimation(drawing, model, options, file);
  }

 private:
  std::unique_ptr<QGuiApplication> mApp;
};

}  // namespace
}  // namespace veerline::cli

#if defined(_WIN32)
#define VEERLINE_MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define VEERLINE_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The module's one entry point. The writer lives until the program ends (it
// holds the GUI application, which must not be taken down behind the
// program's back at exit).
VEERLINE_MODULE_EXPORT veerline::cli::PictureWriter* veerline_picture_writer() {
  static auto* const writer = new veerline::cli::QtPictureWriter();
  return writer;
}
