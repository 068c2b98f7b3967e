#pragma once

// The in-memory drawing: layers, block definitions, model space and their
// entities. The stand-in CAD application (cad/DrawingApplication.h) serves it
// to the run as the application's one open document, so the run works on a
// drawing read from a DXF file exactly as on a live CAD application; the
// drawing window reads everything back for painting.
//
// A drawing read from a file keeps the file (DxfSource) unchanged: layers,
// blocks and entities are views onto its records. What Veerline adds sits
// beside them and is merged in when the drawing is written.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cad/dxf/CadEntityInterface.h"
#include "cad/dxf/DrawingBlock.h"
#include "cad/dxf/DrawingEntity.h"
#include "cad/dxf/DxfSource.h"

namespace veerline::cad {

struct DrawingLayer {
  std::string Name;
  int ColorIndex = 7;   // 1 to 255
  bool Visible = true;  // on; a layer that is off has a negative colour in the file
  bool Frozen = false;
  std::string Linetype = "Continuous";
  int TrueColor = -1;  // 0xRRGGBB, or -1 when the layer has none
  bool FromFile = false;
};

// A linetype: dash lengths in drawing units, positive drawn, negative gaps,
// zero dots; empty for a continuous line.
// A text a complex linetype writes into its pattern, at the end of one of
// its elements, in the pattern's units.
struct LinetypeText {
  std::size_t Element = 0;
  std::string Text;  // UTF-8
  double Height = 1;
  double RotationDeg = 0;
  bool AbsoluteRotation = false;    // from the drawing's x axis, not along the line
  double OffsetX = 0, OffsetY = 0;  // along and across the line
};

struct DrawingLinetype {
  std::string Name;
  std::string Description;
  std::vector<double> Pattern;
  bool FromFile = false;
  std::vector<LinetypeText> Texts = {};
};

class DrawingModel final {
 public:
  DrawingModel();
  ~DrawingModel();
  DrawingModel(const DrawingModel&) = delete;
  DrawingModel& operator=(const DrawingModel&) = delete;

  // File name shown in the caption ("Untitled" until set).
  void SetFileName(std::string fileName) { mFileName = std::move(fileName); }
  const std::string& FileName() const { return mFileName; }

  // Layers in the order they were read or added; layer "0" always exists.
  // Names compare without regard to ASCII case, as in CAD programs.
  const std::vector<DrawingLayer>& Layers() const { return mLayers; }
  const DrawingLayer* FindLayer(const std::string& name) const;
  DrawingLayer& AddOrGetLayer(const std::string& name);
  // Takes out a layer that Veerline added (undoing a run); file layers stay.
  void RemoveAddedLayer(const std::string& name);

  const std::vector<DrawingLinetype>& Linetypes() const { return mLinetypes; }
  const DrawingLinetype* FindLinetype(const std::string& name) const;
  // Adds a linetype unless one of that name exists.
  void AddLinetype(const DrawingLinetype& linetype);
  // Takes out a linetype that Veerline added (undoing a run); file linetypes stay.
  void RemoveAddedLinetype(const std::string& name);

  // The file the drawing was read from, or null for a new drawing.
  const std::shared_ptr<const DxfSource>& Source() const { return mSource; }
  void SetSource(std::shared_ptr<const DxfSource> source);
  // A header variable's first value as a number ($LTSCALE...), or nothing.
  std::optional<double> HeaderReal(std::string_view name) const;
  // Paper-space and other entities of the ENTITIES section that are not
  // model space; written back as read, not shown.
  std::size_t OtherEntityCount() const { return mOtherEntities; }
  void CountOtherEntity() { ++mOtherEntities; }

  // Block definitions other than model space, in the order they were added.
  const std::vector<std::unique_ptr<DrawingBlock>>& Blocks() const { return mBlocks; }
  DrawingBlock* FindBlock(const std::string& name) const;
  // A block definition read from a file; unlike AddBlock it takes any name.
  DrawingBlock& AddBlockDefinition(const std::string& name, const CadPoint& origin, int flags);
  DrawingBlock& ModelSpace() { return *mModelSpace; }
  const DrawingBlock& ModelSpace() const { return *mModelSpace; }

  // The model-space entity with this handle (case does not matter), or null.
  DrawingEntity* FindEntity(const std::string& handle) const;

  // A handle not used yet, above every handle read or issued so far.
  std::string NewHandle();
  // The model-space entities and blocks that differ from the file: whether
  // anything was added or erased since reading.
  bool HasAdditions() const;
  // The first handle value a writer may use for objects of its own, and
  // whether a handle is taken by an entity.
  std::uint64_t HandleSeed() const { return mNextHandle; }
  bool IsHandleUsed(const std::string& handle) const;
  // Records a handle read from a file; false when it is malformed or already used.
  bool ClaimHandle(const std::string& handle);
  // Room for this many handles, so that reading a large drawing does not rehash.
  void ReserveHandles(std::size_t count) { mHandles.reserve(count); }
  // Called by blocks when they take in an entity.
  void Register(const DrawingBlock& block, DrawingEntity& entity);

  // Creates the layer when absent; adding an existing one is harmless.
  void AddLayer(const std::string& name);
  // A new empty block definition; an existing name gives the existing block.
  DrawingBlock& AddBlock(const CadPoint& origin, const std::string& name);
  // One reference of the named block in model space; the rotation in radians.
  void InsertBlock(const CadPoint& point, const std::string& name, double scaleX, double scaleY,
                   double scaleZ, double rotation);

 private:
  std::string mFileName = "Untitled";
  std::shared_ptr<const DxfSource> mSource;
  std::size_t mOtherEntities = 0;
  std::vector<DrawingLayer> mLayers;
  std::vector<DrawingLinetype> mLinetypes;
  std::vector<std::unique_ptr<DrawingBlock>> mBlocks;
  std::unique_ptr<DrawingBlock> mModelSpace;
  // Every handle in use, by value; the model-space entity it names, or null
  // for other owners. Handles too wide for 64 bits are kept by their text.
  std::unordered_map<std::uint64_t, DrawingEntity*> mHandles;
  std::unordered_map<std::string, DrawingEntity*> mWideHandles;
  std::uint64_t mNextHandle = 0x100;
};

}  // namespace veerline::cad
