#pragma once

#include <iosfwd>
#include <random>
#include <string>
#include <vector>

#include "run/RunHost.h"

namespace veerline::cli {

// One message box the run showed.
struct ShownMessage {
  MessageKind kind;
  std::string title;
  std::string text;
};

// The command line's window: message boxes go to stderr as "TITLE: TEXT" and
// are recorded for the report; questions are answered Yes; status texts and
// progress are kept but not shown.
class CliHost : public RunHost {
 public:
  CliHost(std::ostream& err, unsigned seed);

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
  NumberSymbols Symbols() const override { return NumberSymbols::PointDecimal(); }

  const std::vector<ShownMessage>& Messages() const { return mMessages; }
  const std::string& StatusText() const { return mStatus; }

 private:
  std::ostream& mErr;
  std::mt19937 mRandom;
  std::vector<ShownMessage> mMessages;
  std::string mStatus;
};

const char* MessageKindKey(MessageKind kind);

}  // namespace veerline::cli
