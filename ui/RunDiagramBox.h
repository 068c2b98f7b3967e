#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

#include "engine/NumberRule.h"
#include "engine/RunState.h"
#include "engine/VehicleModel.h"
#include "ui/DiagramAnnotation.h"

class QMenu;

namespace veerline::ui {

// One of the two run diagram boxes of the main window: it paints the
// "Turning Report" or the "Lock to lock Report" from the window's run state,
// with a station axis and the vehicle's name; shows the station and value
// under the pointer as its tooltip and a cursor line with each curve's value
// at the pointer's station; opens its pop-up menu on a right click.
class RunDiagramBox : public QWidget {
  Q_OBJECT

 public:
  enum class Kind { Turning, Speed };

  RunDiagramBox(Kind kind, const RunState& state, QWidget* parent = nullptr);

  Kind DiagramKind() const { return mKind; }
  // The unit the speed track was recorded in; the labels follow it.
  void SetSpeedUnit(SpeedUnit unit);
  SpeedUnit DiagramSpeedUnit() const { return mSpeedUnit; }
  // The symbols the readout writes its numbers with.
  void SetSymbols(std::function<NumberSymbols()> symbols) { mSymbols = std::move(symbols); }
  // The menu a right click opens.
  void SetPopup(QMenu* popup) { mPopup = popup; }
  // The vehicle and path unit of the run shown; the legend, the axis and the
  // name follow them.
  void SetRun(const DiagramRun& run);
  const DiagramRun& Run() const { return mRun; }
  // Shows nothing of a run: the tracks were cleared.
  void ClearRun();

  // The diagram as a picture of the box's size, with its axis and the
  // vehicle's name but no cursor; null for an empty box.
  QImage Render() const;
  // The tooltip text for the pointer at a position in the box.
  QString Readout(const QPoint& position) const;
  // The station under the pointer while it is over the box, and what the
  // cursor line shows there: the station, then each curve's value.
  std::optional<double> CursorStation() const { return mCursorStation; }
  // Puts the cursor line at a station, as playback does; none takes it away.
  void ShowCursorAt(std::optional<double> station);
  QStringList CursorTexts() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // The diagram, its station axis and the vehicle's name.
  void PaintDiagram(QPainter& painter) const;
  QStringList Legend() const;
  std::vector<CursorReading> Readings(double station) const;

  Kind mKind;
  const RunState& mState;
  SpeedUnit mSpeedUnit = SpeedUnit::KilometresPerHour;
  std::function<NumberSymbols()> mSymbols;
  QMenu* mPopup = nullptr;
  DiagramRun mRun;
  std::optional<double> mCursorStation;
};

}  // namespace veerline::ui
