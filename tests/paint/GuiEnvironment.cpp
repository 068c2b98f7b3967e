// Text painting needs a QGuiApplication; the tests run on the offscreen platform.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    mApp = std::make_unique<QGuiApplication>(mArgc, mArgv);
  }
  void TearDown() override { mApp.reset(); }

 private:
  int mArgc = 1;
  char mName[16] = "test_paint";
  char* mArgv[2] = {mName, nullptr};
  std::unique_ptr<QGuiApplication> mApp;
};

[[maybe_unused]] ::testing::Environment* const kGui =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
