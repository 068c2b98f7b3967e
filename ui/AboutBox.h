#pragma once

#include <QDialog>

#include "ui/UiServices.h"

namespace veerline::ui {

// The product's web page: the setting "UpdateAddress" of the section, or the
// built-in address when it is not set.
QString ProductWebAddress(const UiServices& services);

// Centres a window on its screen unless it is minimised or maximised.
void CentreOnScreen(QWidget* window);

// The about box: product name, version, description and a button that opens
// the product's web page. Shown without blocking the main window.
class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(const UiServices& services, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnCheckForUpdates();

  UiServices mServices;
  bool mCentred = false;
};

}  // namespace veerline::ui
