#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "engine/NumberRule.h"
#include "run/RunResultModel.h"

class QComboBox;
class QLabel;
class QSlider;
class QToolButton;

namespace veerline::ui {

// The bar under the drawing that plays a run back: play and pause, a station
// slider, step buttons, the speed (real time at the run's speed, x2, x5,
// x10) and the readouts of the station shown: station, direction, steering
// and articulation angles and speed, and the stop when the vehicle stands
// there. It only reads the run; the drawing is never touched.
class PlaybackBar : public QWidget {
  Q_OBJECT

 public:
  explicit PlaybackBar(QWidget* parent = nullptr);

  // The run to play, at the speed it was checked at (metres a second), its
  // numbers written with the symbols; the bar shows its first station.
  void SetRun(std::shared_ptr<const RunResultModel> model, double metresPerSecond,
              std::function<NumberSymbols()> symbols);
  void ClearRun();
  const RunResultModel* Run() const { return mModel.get(); }
  bool HasRun() const { return mModel && !mModel->poses.empty(); }

  // The station shown: an index into the run's poses.
  std::size_t Pose() const { return mPose; }
  double Station() const;
  bool Playing() const { return mTimer.isActive(); }
  bool AtStop() const;

  void TogglePlay();
  void Pause();
  void Step(int poses);
  void JumpTo(std::size_t pose);
  void JumpToEnd();
  // Playback rate as a multiple of real time (1, 2, 5 or 10).
  double Rate() const;

  // The readouts as shown.
  QString ReadoutText() const;

 signals:
  // Another station is shown: the drawing's vehicle and the diagrams' cursor follow.
  void poseChanged(std::size_t pose);

 private:
  void Tick();
  void Show(std::size_t pose);
  void UpdateReadout();

  std::shared_ptr<const RunResultModel> mModel;
  std::function<NumberSymbols()> mSymbols;
  double mStationsPerSecond = 1;
  std::size_t mPose = 0;
  double mPosition = 0;  // the pose, with the part of a station played since
  QTimer mTimer;
  QElapsedTimer mClock;
  QToolButton* mPlay = nullptr;
  QToolButton* mBack = nullptr;
  QToolButton* mForward = nullptr;
  QSlider* mSlider = nullptr;
  QComboBox* mSpeed = nullptr;
  QLabel* mReadout = nullptr;
};

}  // namespace veerline::ui
