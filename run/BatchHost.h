#pragma once

// A run host without a window that keeps what the run showed: every message
// box in order and the text of the first status panel. Questions are answered
// Yes, random numbers come from a seeded generator and the clock is the
// system's. The command-line tool and the fleet check run vehicles through it.

#include <random>
#include <string>
#include <vector>

#include "run/RunHost.h"

namespace veerline {

// One message box the run showed.
struct RecordedMessage {
  MessageKind kind;
  std::string title;
  std::string text;
};

class BatchHost : public RunHost {
 public:
  explicit BatchHost(unsigned seed, NumberSymbols symbols = NumberSymbols::PointDecimal())
      : mRandom(seed), mSymbols(std::move(symbols)) {}

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetProgressVisible(bool) override {}
  void SetProgressMaximum(double) override {}
  void SetProgressValue(double) override {}
  void ProcessPendingEvents() override {}
  void MinimiseMainWindow() override {}
  void RestoreMainWindow() override {}
  double NextRandom() override;
  LocalTime Now() override;
  // The decimal symbol the run reads its fields with.
  NumberSymbols Symbols() const override { return mSymbols; }

  const std::vector<RecordedMessage>& Messages() const { return mMessages; }
  const std::string& StatusText() const { return mStatus; }

 private:
  std::mt19937 mRandom;
  NumberSymbols mSymbols;
  std::vector<RecordedMessage> mMessages;
  std::string mStatus;
};

const char* MessageKindKey(MessageKind kind);

}  // namespace veerline
