#pragma once

#include "run/RunHost.h"

namespace veerline::ui {

class frmVehicleTurning;

// The run's window interface on the main window: message boxes through the
// window's presenter, its status-bar panels and progress bar, pending events,
// minimising and restoring, random numbers, the clock and the user's symbols.
class WindowHost : public RunHost {
 public:
  explicit WindowHost(frmVehicleTurning& window) : mWindow(window) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetProgressVisible(bool visible) override;
  void SetProgressMaximum(double maximum) override;
  void SetProgressValue(double value) override;
  void ProcessPendingEvents() override;
  void MinimiseMainWindow() override;
  void RestoreMainWindow() override;
  double NextRandom() override;
  LocalTime Now() override;
  void DrawRunDiagrams() override;
  void SetTotalLengthCaption(const std::string& caption) override;
  NumberSymbols Symbols() const override;

 private:
  frmVehicleTurning& mWindow;
};

}  // namespace veerline::ui
