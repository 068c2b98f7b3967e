#pragma once

// The records Veerline adds to a drawing, written in the form the file's
// version takes: R12 without subclass markers, owners or lightweight
// polylines; R13 with markers and owners but polylines still as POLYLINE
// with VERTEX records; R14 and later with lightweight polylines too.

#include <cstdint>
#include <functional>
#include <string>

#include "cad/dxf/DrawingModel.h"
#include "cad/dxf/DxfEmitter.h"
#include "cad/dxf/DxfSource.h"

namespace veerline::cad {

struct AdditionStyle {
  DxfVersion Version = DxfVersion::R2000;
  bool Handles = true;  // whether records carry handles
  // Names as the file spells them (case may differ from ours).
  std::string ContinuousName = "Continuous";
  std::string TextStyle;  // empty: leave the text style to the default
  // Copied from a layer record of the file (R2000 on): plot style and lineweight.
  std::string PlotStyleHandle;
};

class AdditionWriter {
 public:
  AdditionWriter(DxfEmitter& out, const AdditionStyle& style,
                 std::function<std::string()> newHandle)
      : mOut(out), mStyle(style), mNewHandle(std::move(newHandle)) {}

  bool Modern() const { return mStyle.Version >= DxfVersion::R13; }
  bool HasLightweightPolylines() const { return mStyle.Version >= DxfVersion::R14; }
  // Called after each entity of a block, so a caller can pass the text on
  // and keep little in memory.
  void SetFlush(std::function<void()> flush) { mFlush = std::move(flush); }

  void Linetype(const DrawingLinetype& linetype, const std::string& tableHandle);
  void Layer(const DrawingLayer& layer, const std::string& tableHandle);
  void TextStyle(const std::string& name, const std::string& tableHandle);
  // A registered application, which extended data under its name needs.
  void AppId(const std::string& name, const std::string& tableHandle);
  void BlockRecord(const std::string& name, const std::string& handle,
                   const std::string& tableHandle);
  // A block definition with its entities; recordHandle is its BLOCK_RECORD.
  void Block(const DrawingBlock& block, const std::string& recordHandle);
  void Entity(const DrawingEntity& entity, const std::string& owner);
  // An empty table, for a drawing that lacks one.
  void TableHead(const std::string& name, const std::string& handle, int count);
  void TableEnd() { mOut.Raw(0, "ENDTAB"); }

 private:
  void Handle(const std::string& handle, int code = 5);
  void EntityHead(const char* type, const DrawingEntity& e, const std::string& owner,
                  const char* subclass);
  void TableRecordHead(const char* type, const std::string& tableHandle, const char* subclass);
  void LightweightPolyline(const DrawingEntity& e, const std::string& owner);
  void OldPolyline(const DrawingEntity& e, const std::string& owner, bool is3d);
  void Text(const DrawingEntity& e, const std::string& owner);
  void XData(const DrawingEntity& e);

  DxfEmitter& mOut;
  const AdditionStyle& mStyle;
  std::function<std::string()> mNewHandle;
  std::function<void()> mFlush;
};

}  // namespace veerline::cad
