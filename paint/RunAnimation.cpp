#include "paint/RunAnimation.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "engine/SafeSave.h"
#include "paint/DrawingPainter.h"
#include "paint/ReportSheet.h"
#include "paint/VehicleFigure.h"

namespace veerline::paint {
namespace {

constexpr int kCaptionPixels = 34;
constexpr int kEncoderTimeoutMs = 10 * 60 * 1000;

}  // namespace

AnimationFrames::AnimationFrames(const cad::DrawingModel& drawing, const RunResultModel& model,
                                 const AnimationOptions& options)
    : mModel(model), mOptions(options) {
  if (model.poses.empty() || options.size.isEmpty()) return;
  // The drawing around the run, painted once as the drawing window paints it.
  const QSize picture(options.size.width(), options.size.height() - kCaptionPixels);
  DrawingPainter painter(drawing);
  RenderOptions render;
  render.symbols = options.symbols;
  render.unitLabel = options.unitLabel;
  QRectF region = RunBounds(model).value_or(painter.Extents().value_or(QRectF(0, 0, 1, 1)));
  const double pad = std::max(region.width(), region.height()) * 0.05;
  region.adjust(-pad, -pad, pad, pad);
  painter.View().FitInto(region, QRectF(QPointF(0, 0), QSizeF(picture)));
  mBackground = QImage(options.size, QImage::Format_RGB32);
  mBackground.fill(Qt::white);
  {
    QPainter p(&mBackground);
    painter.Paint(p, picture, render);
  }
  mToScreen = painter.View().ToScreen();

  const double mpu = model.metresPerUnit > 0 ? model.metresPerUnit : 1;
  const double metres = static_cast<double>(model.poses.size() - 1) * model.calculationStep * mpu;
  const double speed = options.metresPerSecond > 0 ? options.metresPerSecond : 10 / 3.6;
  const double seconds = std::clamp(metres / speed, 1.0, options.longestSeconds);
  mCount = std::max(2, static_cast<int>(std::ceil(seconds * options.framesPerSecond)) + 1);
  mPosesPerFrame = static_cast<double>(model.poses.size() - 1) / (mCount - 1);
}

std::size_t AnimationFrames::PoseOf(int frame) const {
  const auto pose = static_cast<std::size_t>(std::lround(frame * mPosesPerFrame));
  return std::min(pose, mModel.poses.size() - 1);
}

QImage AnimationFrames::Frame(int frame) const {
  QImage image = mBackground.copy();
  const std::size_t pose = PoseOf(frame);
  QPainter p(&image);
  VehicleColours colours;
  if (PoseIsStop(mModel, pose)) {
    colours.body = QColor(200, 20, 20);
    colours.fill = QColor(200, 20, 20, 70);
  }
  PaintVehiclePose(p, mToScreen, mModel.segments, mModel.vehicleType, mModel.metresPerUnit,
                   mModel.poses[pose], mModel.ReadingsAt(pose).steering.value_or(0), colours, 2);
  const QRect caption(0, image.height() - kCaptionPixels, image.width(), kCaptionPixels);
  p.fillRect(caption, QColor(30, 34, 40));
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(15);
  p.setFont(font);
  p.setPen(PoseIsStop(mModel, pose) ? QColor(255, 120, 120) : Qt::white);
  p.drawText(caption.adjusted(12, 0, -12, 0), Qt::AlignLeft | Qt::AlignVCenter,
             StationReadout(mModel, pose, mOptions.symbols));
  p.setPen(QColor(170, 178, 190));
  p.drawText(caption.adjusted(12, 0, -12, 0), Qt::AlignRight | Qt::AlignVCenter, mOptions.title);
  return image;
}

void WriteRunAnimation(const cad::DrawingModel& drawing, const RunResultModel& model,
                       const AnimationOptions& options, const std::string& file) {
  if (model.poses.empty()) throw std::runtime_error("the run reached no station to animate");
  // yuv420p video wants even sizes.
  AnimationOptions even = options;
  even.size = QSize(std::max(64, options.size.width() & ~1), std::max(64, options.size.height() & ~1));
  const AnimationFrames frames(drawing, model, even);
  QTemporaryDir folder;
  if (!folder.isValid()) throw std::runtime_error("no temporary folder for the animation");
  const QString video = folder.filePath(QStringLiteral("run.mp4"));
  QProcess encoder;
  encoder.setProcessChannelMode(QProcess::SeparateChannels);
  encoder.start(QString::fromStdString(options.ffmpeg),
                {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                 QStringLiteral("-f"), QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"),
                 QStringLiteral("bgra"), QStringLiteral("-s"),
                 QStringLiteral("%1x%2").arg(even.size.width()).arg(even.size.height()),
                 QStringLiteral("-r"), QString::number(even.framesPerSecond), QStringLiteral("-i"),
                 QStringLiteral("-"), QStringLiteral("-c:v"), QStringLiteral("libx264"),
                 QStringLiteral("-preset"), QStringLiteral("veryfast"), QStringLiteral("-pix_fmt"),
                 QStringLiteral("yuv420p"), QStringLiteral("-movflags"), QStringLiteral("+faststart"),
                 QStringLiteral("-y"), video});
  if (!encoder.waitForStarted())
    throw std::runtime_error("cannot run " + options.ffmpeg +
                             " to encode the animation (install Debian's ffmpeg package)");
  for (int i = 0; i < frames.Count(); ++i) {
    const QImage frame = frames.Frame(i);
    const auto* bytes = reinterpret_cast<const char*>(frame.constBits());
    if (encoder.write(bytes, frame.sizeInBytes()) != frame.sizeInBytes()) break;
    // Keep at most a few frames waiting in the pipe.
    while (encoder.bytesToWrite() > 4 * frame.sizeInBytes())
      if (!encoder.waitForBytesWritten(kEncoderTimeoutMs)) break;
  }
  encoder.closeWriteChannel();
  if (!encoder.waitForFinished(kEncoderTimeoutMs)) {
    encoder.kill();
    encoder.waitForFinished();
    throw std::runtime_error("the video encoder did not finish");
  }
  if (encoder.exitStatus() != QProcess::NormalExit || encoder.exitCode() != 0)
    throw std::runtime_error("the video encoder failed: " +
                             encoder.readAllStandardError().trimmed().toStdString());
  QFile encoded(video);
  if (!encoded.open(QIODevice::ReadOnly)) throw std::runtime_error("the encoder wrote no video");
  const QByteArray content = encoded.readAll();
  if (content.isEmpty()) throw std::runtime_error("the encoder wrote an empty video");
  SaveFileSafely(file, std::string_view(content.constData(), static_cast<std::size_t>(content.size())));
}

}  // namespace veerline::paint
