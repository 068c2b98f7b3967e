#pragma once

#include <string>

#include "run/RunHost.h"

namespace veerline {

// A host that shows nothing and keeps nothing, for runs without a window
// (benchmarks, fuzzing): questions get the answer it was made with, random
// numbers are 0.5 and the clock stands still.
class SilentHost : public RunHost {
 public:
  explicit SilentHost(MessageAnswer questionAnswer = MessageAnswer::Yes)
      : mQuestionAnswer(questionAnswer) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string&, const std::string&) override {
    return kind == MessageKind::Question ? mQuestionAnswer : MessageAnswer::Ok;
  }
  void SetStatusText(int, const std::string&) override {}
  void SetProgressVisible(bool) override {}
  void SetProgressMaximum(double) override {}
  void SetProgressValue(double) override {}
  void ProcessPendingEvents() override {}
  void MinimiseMainWindow() override {}
  void RestoreMainWindow() override {}
  double NextRandom() override { return 0.5; }
  LocalTime Now() override { return {2026, 1, 2, 3, 4, 5}; }
  NumberSymbols Symbols() const override { return NumberSymbols::PointDecimal(); }

 private:
  MessageAnswer mQuestionAnswer;
};

}  // namespace veerline
