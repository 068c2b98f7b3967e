#pragma once

// The narrow interface through which Veerline reads from and writes to a CAD
// drawing: the application, its document and the interactive pick, over the
// entities of cad/dxf/CadEntityInterface.h. The stand-in application over the
// in-memory drawing (DrawingApplication) implements it; a bridge to a live CAD
// application could implement it as well. No Qt or DXF library types.

#include <string>
#include <vector>

#include "cad/dxf/CadEntityInterface.h"

namespace veerline::cad {

// The document's "Utility": the interactive pick.
class CadUtility {
 public:
  virtual ~CadUtility() = default;
  // Waits for the user to pick an entity. Throws PickMissed when the click hit
  // nothing and another CadError when the user cancels.
  virtual CadEntity& GetEntity(const std::string& prompt) = 0;
};

class CadDocument {
 public:
  virtual ~CadDocument() = default;
  virtual int WindowState() const = 0;
  virtual void SetWindowState(int state) = 0;
  virtual CadUtility& Utility() = 0;
  virtual void SendCommand(const std::string& command) = 0;
  // "Layers" "Add": creates the layer when absent; adding an existing one is harmless.
  virtual void AddLayer(const std::string& name) = 0;
  // "Blocks" "Add": a new empty block definition.
  virtual CadBlock& AddBlock(const CadPoint& origin, const std::string& name) = 0;
  // "ModelSpace" "InsertBlock": one reference of the named block in model space.
  virtual void InsertBlock(const CadPoint& point, const std::string& name, double scaleX,
                           double scaleY, double scaleZ, double rotation) = 0;
  virtual void Regen() = 0;
};

class CadApplication {
 public:
  virtual ~CadApplication() = default;
  // Throws CadNotRunning when no document is open.
  virtual CadDocument& ActiveDocument() = 0;
  virtual std::string Caption() const = 0;
  // "Library" "CreatePoint" and "ConvertArrayToPoints" (x, y, z triples).
  virtual CadPoint CreatePoint() const { return {}; }
  virtual std::vector<CadPoint> ConvertArrayToPoints(const std::vector<double>& xyz) const;
};

// Finds the running CAD application by its class name; throws CadNotRunning
// when there is none.
class CadAttacher {
 public:
  virtual ~CadAttacher() = default;
  virtual CadApplication& Attach(const std::string& className) = 0;
};

}  // namespace veerline::cad
