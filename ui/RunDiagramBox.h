#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "engine/NumberRule.h"
#include "engine/RunState.h"
#include "engine/VehicleModel.h"

class QMenu;

namespace veerline::ui {

// One of the two run diagram boxes of the main window: it paints the
// "Turning Report" or the "Lock to lock Report" from the window's run state,
// shows the station and value under the pointer as its tooltip, and opens its
// pop-up menu on a right click.
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

  // The diagram as a picture of the box's size; null for an empty box.
  QImage Render() const;
  // The tooltip text for the pointer at a position in the box.
  QString Readout(const QPoint& position) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  Kind mKind;
  const RunState& mState;
  SpeedUnit mSpeedUnit = SpeedUnit::KilometresPerHour;
  std::function<NumberSymbols()> mSymbols;
  QMenu* mPopup = nullptr;
};

}  // namespace veerline::ui
