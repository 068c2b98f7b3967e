#pragma once

// The stand-in CAD application over the in-memory drawing: the application and
// its one open document as the run sees them through the CAD interface. It
// forwards layers, blocks and inserts to the drawing and keeps what a live
// application would keep of its own: the window state, the commands sent, the
// regens and the interactive pick.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cad/CadInterface.h"
#include "cad/Picker.h"
#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {

class DrawingApplication final : public CadApplication, public CadDocument {
 public:
  explicit DrawingApplication(DrawingModel& drawing);
  ~DrawingApplication() override;
  DrawingApplication(const DrawingApplication&) = delete;
  DrawingApplication& operator=(const DrawingApplication&) = delete;

  DrawingModel& Drawing() { return mDrawing; }

  // The pick used by "Utility" "GetEntity"; without one every pick is cancelled.
  void SetPicker(Picker* picker) { mPicker = picker; }
  // Called on every Regen, so a window can repaint.
  void SetRegenCallback(std::function<void()> callback) { mRegenCallback = std::move(callback); }
  int RegenCount() const { return mRegenCount; }
  const std::vector<std::string>& SentCommands() const { return mSentCommands; }

  // CadDocument.
  int WindowState() const override { return mWindowState; }
  void SetWindowState(int state) override { mWindowState = state; }
  CadUtility& Utility() override;
  void SendCommand(const std::string& command) override { mSentCommands.push_back(command); }
  void AddLayer(const std::string& name) override { mDrawing.AddLayer(name); }
  CadBlock& AddBlock(const CadPoint& origin, const std::string& name) override {
    return mDrawing.AddBlock(origin, name);
  }
  void InsertBlock(const CadPoint& point, const std::string& name, double scaleX, double scaleY,
                   double scaleZ, double rotation) override {
    mDrawing.InsertBlock(point, name, scaleX, scaleY, scaleZ, rotation);
  }
  void Regen() override;

  // CadApplication.
  CadDocument& ActiveDocument() override { return *this; }
  std::string Caption() const override { return "Veerline Drawing - " + mDrawing.FileName(); }

 private:
  class PickUtility;

  DrawingModel& mDrawing;
  std::unique_ptr<PickUtility> mUtility;
  Picker* mPicker = nullptr;
  std::function<void()> mRegenCallback;
  int mRegenCount = 0;
  int mWindowState = 0;
  std::vector<std::string> mSentCommands;
};

// The attacher for the in-memory drawing: attaching fails with CadNotRunning
// while no drawing is open, as it does when the CAD application is not running.
// Each opened drawing gets a fresh application, as a newly started one would.
class DrawingAttacher final : public CadAttacher {
 public:
  DrawingAttacher();
  ~DrawingAttacher() override;
  void Open(std::unique_ptr<DrawingModel> drawing);
  std::unique_ptr<DrawingModel> Close();
  DrawingModel* Current() const { return mDrawing.get(); }
  // The application over the open drawing, or null while none is open.
  DrawingApplication* Application() const { return mApplication.get(); }
  CadApplication& Attach(const std::string& className) override;

 private:
  std::unique_ptr<DrawingModel> mDrawing;
  std::unique_ptr<DrawingApplication> mApplication;
};

}  // namespace veerline::cad
