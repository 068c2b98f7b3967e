#pragma once

// The run as a video for a presentation or an e-mail: an H.264 MP4 that any
// player, slide program, phone or browser plays. Each frame is the drawing
// around the swept path as the drawing window paints it, with the vehicle at
// one station over it and the playback readouts under it; Debian's ffmpeg
// encodes the frames.

#include <QImage>
#include <QString>
#include <QTransform>
#include <QSize>
#include <string>

#include "engine/NumberRule.h"
#include "run/RunResultModel.h"

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::paint {

struct AnimationOptions {
  QSize size{1280, 720};
  int framesPerSecond = 25;
  // Played at the run's speed, but faster where that would take longer.
  double metresPerSecond = 10 / 3.6;
  double longestSeconds = 40;
  NumberSymbols symbols = NumberSymbols::PointDecimal();
  QString unitLabel;  // the drawing unit, after the scale bar's length
  QString title;      // the vehicle and the drawing, at the right of the caption
  std::string ffmpeg = "ffmpeg";
};

// Paints the frames of a run one after the other.
class AnimationFrames {
 public:
  AnimationFrames(const cad::DrawingModel& drawing, const RunResultModel& model,
                  const AnimationOptions& options);
  int Count() const { return mCount; }
  // The pose a frame shows.
  std::size_t PoseOf(int frame) const;
  QImage Frame(int frame) const;

 private:
  const RunResultModel& mModel;
  AnimationOptions mOptions;
  QImage mBackground;
  QTransform mToScreen;
  int mCount = 0;
  double mPosesPerFrame = 1;
};

// Writes the video, whole or not at all; throws std::runtime_error saying
// why (no ffmpeg, a run without stations, the encoder's complaint).
void WriteRunAnimation(const cad::DrawingModel& drawing, const RunResultModel& model,
                       const AnimationOptions& options, const std::string& file);

}  // namespace veerline::paint
