#pragma once

#include <QDialog>
#include <array>

#include "ui/UiServices.h"

class QComboBox;

namespace veerline::ui {

// One colour list of the dialog: its control, its settings key and default position.
struct ColourSetting {
  const char* control;
  const char* key;
  int defaultPosition;
};

// The thirteen colour settings in the order they are read and saved.
const std::array<ColourSetting, 14>& ColourSettingsInLoadOrder();

// The colour settings dialog: one list per kind of entity a run draws, each
// stored as its list position. Shown without blocking the main window.
class frmVehicleTurningSettings : public QDialog {
  Q_OBJECT

 public:
  explicit frmVehicleTurningSettings(const UiServices& services, QWidget* parent = nullptr);

  QComboBox* List(const char* control) const;

 private:
  void LoadChoices();
  void OnOk();

  UiServices mServices;
  std::array<QComboBox*, 14> mLists{};  // Combo1..Combo14
};

}  // namespace veerline::ui
