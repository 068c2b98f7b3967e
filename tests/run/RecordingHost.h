#pragma once

#include <string>
#include <vector>

#include "run/RunHost.h"

namespace veerline::testing {

struct Shown {
  MessageKind kind;
  std::string title;
  std::string text;
};

// A host that records every message and status text and answers questions
// with a preset answer.
class RecordingHost : public RunHost {
 public:
  explicit RecordingHost(NumberSymbols symbols = NumberSymbols::PointDecimal())
      : mSymbols(std::move(symbols)) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override {
    messages.push_back({kind, title, text});
    return kind == MessageKind::Question ? questionAnswer : MessageAnswer::Ok;
  }
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 0) status.push_back(text);
  }
  void SetProgressVisible(bool visible) override { progressVisible = visible; }
  void SetProgressMaximum(double) override {}
  void SetProgressValue(double) override {}
  void ProcessPendingEvents() override {}
  void MinimiseMainWindow() override { minimised = true; }
  void RestoreMainWindow() override { minimised = false; }
  double NextRandom() override { return 0.5; }
  LocalTime Now() override { return {2026, 12, 8, 14, 5, 9}; }
  NumberSymbols Symbols() const override { return mSymbols; }
  void DrawRunDiagrams() override { ++diagramsDrawn; }

  std::vector<Shown> messages;
  std::vector<std::string> status;
  MessageAnswer questionAnswer = MessageAnswer::Yes;
  bool minimised = false;
  bool progressVisible = false;
  int diagramsDrawn = 0;

 private:
  NumberSymbols mSymbols;
};

}  // namespace veerline::testing
