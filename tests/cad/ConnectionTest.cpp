#include <gtest/gtest.h>

#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {
namespace {

struct Shown {
  MessageKind Kind;
  std::string Title, Text;
};

// Records what the connection asks of the window.
class ConnectionHost final : public Host {
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
  NumberSymbols Symbols() const override { return {}; }
};

TEST(CadConnection, NothingIsAvailableBeforeAnAttach) {
  DrawingAttacher attacher;
  CadConnection connection(attacher);
  EXPECT_EQ(connection.ClassName(), "ICAD.Application");
  EXPECT_THROW(connection.Application(), CadError);
  EXPECT_THROW(connection.Document(), CadError);
  try {
    connection.Attach();
    FAIL();
  } catch (const CadError& error) {
    EXPECT_EQ(error.Kind(), CadErrorKind::CadNotRunning);
  }
}

TEST(CadConnection, ApplicationOnlyAttachKeepsTheStoredDocument) {
  DrawingAttacher attacher;
  CadConnection connection(attacher);
  attacher.Open(std::make_unique<DrawingModel>());
  DrawingApplication* first = attacher.Application();
  connection.Attach();
  EXPECT_EQ(&connection.Document(), static_cast<CadDocument*>(first));
  attacher.Open(std::make_unique<DrawingModel>());
  DrawingApplication* second = attacher.Application();
  connection.AttachApplication();
  EXPECT_EQ(&connection.Application(), static_cast<CadApplication*>(second));
  connection.Attach();
  EXPECT_EQ(&connection.Document(), static_cast<CadDocument*>(second));
}

TEST(ActivateCadWindow, MinimisedDocumentIsSetToNormalOthersAreLeft) {
  DrawingAttacher attacher;
  CadConnection connection(attacher);
  ConnectionHost host;
  attacher.Open(std::make_unique<DrawingModel>());
  attacher.Application()->SetWindowState(1);
  ActivateCadWindow(connection, host);
  EXPECT_EQ(attacher.Application()->WindowState(), 0);
  EXPECT_EQ(host.Calls, std::vector<std::string>{"events"});
  attacher.Application()->SetWindowState(2);
  ActivateCadWindow(connection, host);
  EXPECT_EQ(attacher.Application()->WindowState(), 2);
}

TEST(ActivateCadWindow, FailuresAreIgnored) {
  DrawingAttacher attacher;
  CadConnection connection(attacher);
  ConnectionHost host;
  EXPECT_NO_THROW(ActivateCadWindow(connection, host));
  EXPECT_TRUE(host.Calls.empty());
}

TEST(IsCadUnreachable, CodesFrom429To451) {
  EXPECT_TRUE(IsCadUnreachable(CadError::NotRunning().Code()));
  EXPECT_TRUE(IsCadUnreachable(kMemberNotSupportedCode));
  EXPECT_FALSE(IsCadUnreachable(428));
  EXPECT_FALSE(IsCadUnreachable(452));
  EXPECT_FALSE(IsCadUnreachable(kPickMissedCode));
}

}  // namespace
}  // namespace veerline::cad
