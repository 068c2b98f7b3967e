#pragma once

// The in-memory drawing: layers, block definitions, model space and their
// entities. It serves as the CAD application and its one open document, so the
// run can work on a drawing read from a DXF file exactly as on a live CAD
// application; the drawing window reads everything back for painting.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cad/CadInterface.h"
#include "cad/DrawingBlock.h"
#include "cad/DrawingEntity.h"
#include "cad/Picker.h"

namespace veerline::cad {

struct DrawingLayer {
  std::string Name;
  int ColorIndex = 7;
  bool Visible = true;
};

// Axis-aligned bounds of drawn geometry.
struct DrawingExtents {
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

class DrawingModel final : public CadDocument, public CadApplication {
 public:
  DrawingModel();
  ~DrawingModel() override;
  DrawingModel(const DrawingModel&) = delete;
  DrawingModel& operator=(const DrawingModel&) = delete;

  // File name shown in the caption ("Untitled" until set).
  void SetFileName(std::string fileName) { mFileName = std::move(fileName); }
  const std::string& FileName() const { return mFileName; }

  // Layers in the order they were added; layer "0" always exists.
  const std::vector<DrawingLayer>& Layers() const { return mLayers; }
  const DrawingLayer* FindLayer(const std::string& name) const;
  DrawingLayer& AddOrGetLayer(const std::string& name);

  // Block definitions other than model space, in the order they were added.
  const std::vector<std::unique_ptr<DrawingBlock>>& Blocks() const { return mBlocks; }
  DrawingBlock* FindBlock(const std::string& name) const;
  // A block definition read from a file; unlike AddBlock it takes any name.
  DrawingBlock& AddBlockDefinition(const std::string& name, const CadPoint& origin, int flags);
  DrawingBlock& ModelSpace() { return *mModelSpace; }
  const DrawingBlock& ModelSpace() const { return *mModelSpace; }

  // The model-space entity with this handle (case does not matter), or null.
  DrawingEntity* FindEntity(const std::string& handle) const;
  // Bounds of model space with block references expanded; empty when nothing is drawn.
  std::optional<DrawingExtents> Extents() const;

  // A handle not used yet, above every handle read or issued so far.
  std::string NewHandle();
  // The first handle value a writer may use for objects of its own, and
  // whether a handle is taken by an entity.
  std::uint64_t HandleSeed() const { return mNextHandle; }
  bool IsHandleUsed(const std::string& handle) const;
  // Records a handle read from a file; false when it is malformed or already used.
  bool ClaimHandle(const std::string& handle);
  // Called by blocks when they take in an entity.
  void Register(const DrawingBlock& block, DrawingEntity& entity);

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
  void AddLayer(const std::string& name) override;
  CadBlock& AddBlock(const CadPoint& origin, const std::string& name) override;
  void InsertBlock(const CadPoint& point, const std::string& name, double scaleX, double scaleY,
                   double scaleZ, double rotation) override;
  void Regen() override;

  // CadApplication.
  CadDocument& ActiveDocument() override { return *this; }
  std::string Caption() const override { return "Veerline Drawing - " + mFileName; }

 private:
  class PickUtility;

  std::string mFileName = "Untitled";
  std::vector<DrawingLayer> mLayers;
  std::vector<std::unique_ptr<DrawingBlock>> mBlocks;
  std::unique_ptr<DrawingBlock> mModelSpace;
  std::unordered_map<std::string, DrawingEntity*> mModelSpaceByHandle;
  std::unordered_set<std::string> mUsedHandles;
  std::uint64_t mNextHandle = 0x100;
  std::unique_ptr<PickUtility> mUtility;
  Picker* mPicker = nullptr;
  std::function<void()> mRegenCallback;
  int mRegenCount = 0;
  int mWindowState = 0;
  std::vector<std::string> mSentCommands;
};

// The attacher for the in-memory drawing: attaching fails with CadNotRunning
// while no drawing is open, as it does when the CAD application is not running.
class DrawingAttacher final : public CadAttacher {
 public:
  void Open(std::unique_ptr<DrawingModel> drawing) { mDrawing = std::move(drawing); }
  std::unique_ptr<DrawingModel> Close() { return std::move(mDrawing); }
  DrawingModel* Current() const { return mDrawing.get(); }
  CadApplication& Attach(const std::string& className) override;

 private:
  std::unique_ptr<DrawingModel> mDrawing;
};

}  // namespace veerline::cad
