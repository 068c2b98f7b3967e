#pragma once

#include <QTimer>
#include <QWidget>

#include "ui/UiServices.h"

namespace veerline::ui {

// The start-up screen: product name, version and build, and the decimal
// separator the user must type. Closes itself after two seconds and then
// reports mainWindowDue so the program opens the main window.
class frmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit frmSplash(const UiServices& services, QWidget* parent = nullptr);

  QTimer* Timer1() { return &mTimer; }

 signals:
  void mainWindowDue();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnTimer();

  QTimer mTimer;
  bool mCentred = false;
};

}  // namespace veerline::ui
