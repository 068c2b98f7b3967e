// What a run asks of its host: the failure handler's window and message, and
// the block names from its random numbers and clock.

#include <gtest/gtest.h>

#include "run/RunBlockNames.h"
#include "run/RunFailure.h"
#include "tests/cad/FakeCad.h"

namespace veerline {
namespace {

struct Shown {
  MessageKind Kind;
  std::string Title, Text;
};

// Records the messages and the window calls of the failure handler.
class FailureHost final : public RunHost {
 public:
  std::vector<Shown> Messages;
  std::vector<std::string> Calls;

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override {
    Calls.push_back("message");
    Messages.push_back({kind, title, text});
    return MessageAnswer::Ok;
  }
  void SetStatusText(int, const std::string&) override {}
  void SetProgressVisible(bool) override {}
  void SetProgressMaximum(double) override {}
  void SetProgressValue(double) override {}
  void ProcessPendingEvents() override { Calls.push_back("events"); }
  void MinimiseMainWindow() override { Calls.push_back("minimise"); }
  void RestoreMainWindow() override { Calls.push_back("restore"); }
  double NextRandom() override { return 0; }
  LocalTime Now() override { return {}; }
  NumberSymbols Symbols() const override { return {}; }
};

TEST(ReportRunFailure, UnreachableApplicationCodesGiveTheReadingMessage) {
  const std::string expected = std::string("IntelliCAD is not running, or wrong version!") + kCR +
                               kCR +
                               "If running on Vista or Windows 7, make sure to run IntelliCad "
                               "as administrator!";
  // 438, an object without the member, lies in the range as well.
  for (int code : {429, cad::kMemberNotSupportedCode, 451}) {
    SCOPED_TRACE(code);
    FailureHost host;
    ReportRunFailure(host, cad::CadError::Other(code, "whatever"));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Warning);
    EXPECT_EQ(host.Messages[0].Title, "Reading from drawing");
    EXPECT_EQ(host.Messages[0].Text, expected);
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"restore", "message"}));
  }
}

TEST(ReportRunFailure, OtherFailuresShowTheirDescriptionWithTheTag) {
  FailureHost host;
  ReportRunFailure(host, cad::CadError::PickMissed());
  ReportRunFailure(host, cad::CadError::Other(452, "Odd failure"));
  ReportRunFailure(host, "Type mismatch");
  ASSERT_EQ(host.Messages.size(), 3u);
  EXPECT_EQ(host.Messages[0].Text, cad::CadError::PickMissed().Description() + " Execute sweep");
  EXPECT_EQ(host.Messages[1].Text, "Odd failure Execute sweep");
  EXPECT_EQ(host.Messages[2].Text, "Type mismatch Execute sweep");
  for (const Shown& shown : host.Messages) {
    EXPECT_EQ(shown.Title, "Veichle Turning Simulation");
    EXPECT_EQ(shown.Kind, MessageKind::Warning);
  }
}

TEST(RunBlockNames, RandomDigitsOfEachRangeThenTheTimeStamp) {
  cad::FakeHost host;
  host.now = {2024, 3, 5, 17, 8, 9};
  host.randoms = {0.5, 0.0, 0.9999999};
  EXPECT_EQ(RunBlockName(0, 999, host), "499240305170809");
  EXPECT_EQ(RunBlockName(999, 1999, host), "999240305170809");
  EXPECT_EQ(RunBlockName(2000, 4000, host), "5999240305170809");
  EXPECT_EQ(TimeStamp({1999, 12, 31, 0, 0, 0}), "991231000000");
  // Random runs from lower to lower + upper - 1.
  cad::FakeHost edges;
  edges.randoms = {0.0, 0.9999999999, 0.5};
  EXPECT_EQ(Random(999, 1999, edges), 999);
  EXPECT_EQ(Random(999, 1999, edges), 2997);
  EXPECT_EQ(Random(0, 999, edges), 499);
  // The three names of a run, in the order vehicle, sweep, envelope.
  cad::FakeHost run;
  run.now = {2025, 1, 2, 3, 4, 5};
  run.randoms = {0.1, 0.2, 0.375};
  const cad::RunBlockNames names = MakeRunBlockNames(run);
  EXPECT_EQ(names.vehicle, "99250102030405");
  EXPECT_EQ(names.sweep, "1398250102030405");
  EXPECT_EQ(names.envelope, "3500250102030405");
}

}  // namespace
}  // namespace veerline
