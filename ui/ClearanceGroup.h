#pragma once

#include <QGroupBox>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QSettings;

namespace veerline::cad {
class DrawingModel;
}

namespace veerline::ui {

// The main window's clearance group: the drawing's layers, each with a check
// box saying whether its entities are obstacles, and the margin in path
// units. The chosen layer names and the margin text are kept in the settings;
// a chosen layer the open drawing lacks stays chosen for the next drawing.
class ClearanceGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit ClearanceGroup(QWidget* parent = nullptr);

  // Lists the layers of the drawing (none without one), checking those chosen.
  void ShowLayers(const cad::DrawingModel* drawing);
  // The checked layers of the drawing shown, in its order.
  std::vector<std::string> ChosenLayers() const;
  std::string MarginText() const;

  // Keys "ObstacleLayers" and "ClearanceMargin" of the open settings group.
  void ReadSettings(QSettings& settings);
  void WriteSettings(QSettings& settings) const;

 private:
  void RememberChoice();

  QListWidget* mLayers = nullptr;
  QLineEdit* mMargin = nullptr;
  QStringList mChosen;  // chosen names, also those the drawing shown lacks
};

}  // namespace veerline::ui
