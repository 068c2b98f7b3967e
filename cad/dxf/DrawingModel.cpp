#include "cad/dxf/DrawingModel.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace veerline::cad {

namespace {

CadError InvalidArgument(const std::string& member) {
  return CadError::Other(static_cast<std::int32_t>(0x80070057u),
                         "Invalid argument (" + member + ")");
}

// Handles compare without regard to case; they are kept in upper case.
std::string NormaliseHandle(const std::string& handle) {
  std::string upper = handle;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

DrawingModel::DrawingModel()
    : mModelSpace(std::make_unique<DrawingBlock>(*this, "*Model_Space", CadPoint{})) {
  mLayers.push_back({"0", 7, true});
}

DrawingModel::~DrawingModel() = default;

const DrawingLayer* DrawingModel::FindLayer(const std::string& name) const {
  auto it = std::find_if(mLayers.begin(), mLayers.end(),
                         [&](const DrawingLayer& layer) { return SameName(layer.Name, name); });
  return it == mLayers.end() ? nullptr : &*it;
}

void DrawingModel::RemoveAddedLayer(const std::string& name) {
  std::erase_if(mLayers, [&](const DrawingLayer& layer) {
    return !layer.FromFile && layer.Name != "0" && SameName(layer.Name, name);
  });
}

const DrawingLinetype* DrawingModel::FindLinetype(const std::string& name) const {
  for (const DrawingLinetype& linetype : mLinetypes) {
    if (SameName(linetype.Name, name)) return &linetype;
  }
  return nullptr;
}

void DrawingModel::AddLinetype(const DrawingLinetype& linetype) {
  if (linetype.Name.empty() || FindLinetype(linetype.Name)) return;
  mLinetypes.push_back(linetype);
}

void DrawingModel::RemoveAddedLinetype(const std::string& name) {
  std::erase_if(mLinetypes, [&](const DrawingLinetype& linetype) {
    return !linetype.FromFile && SameName(linetype.Name, name);
  });
}

void DrawingModel::SetSource(std::shared_ptr<const DxfSource> source) {
  mSource = std::move(source);
  if (mSource) mNextHandle = std::max(mNextHandle, mSource->HandleFloor());
}

std::optional<double> DrawingModel::HeaderReal(std::string_view name) const {
  return mSource ? mSource->HeaderReal(name) : std::nullopt;
}

bool DrawingModel::HasAdditions() const {
  auto changed = [](const DrawingBlock& block) {
    for (const auto& entity : block.Entities()) {
      if (!entity->FromFile() || entity->Erased()) return true;
    }
    return false;
  };
  if (changed(*mModelSpace)) return true;
  for (const auto& block : mBlocks) {
    if (!block->FromFile() || block->Erased() || changed(*block)) return true;
  }
  return std::any_of(mLayers.begin(), mLayers.end(),
                     [](const DrawingLayer& layer) { return !layer.FromFile; }) &&
         mSource != nullptr;
}

DrawingLayer& DrawingModel::AddOrGetLayer(const std::string& name) {
  if (const DrawingLayer* found = FindLayer(name)) return const_cast<DrawingLayer&>(*found);
  mLayers.push_back({name, 7, true});
  return mLayers.back();
}

DrawingBlock* DrawingModel::FindBlock(const std::string& name) const {
  for (const auto& block : mBlocks) {
    if (SameName(block->Name(), name) && !block->Erased()) return block.get();
  }
  return nullptr;
}

DrawingEntity* DrawingModel::FindEntity(const std::string& handle) const {
  DrawingEntity* entity = nullptr;
  if (auto value = ParseHandle(handle)) {
    auto it = mHandles.find(*value);
    if (it != mHandles.end()) entity = it->second;
  } else {
    auto it = mWideHandles.find(NormaliseHandle(handle));
    if (it != mWideHandles.end()) entity = it->second;
  }
  return entity && !entity->Erased() ? entity : nullptr;
}

bool DrawingModel::IsHandleUsed(const std::string& handle) const {
  if (auto value = ParseHandle(handle)) return mHandles.count(*value) != 0;
  return mWideHandles.count(NormaliseHandle(handle)) != 0;
}

std::string DrawingModel::NewHandle() {
  while (mHandles.count(mNextHandle) != 0) ++mNextHandle;
  mHandles.emplace(mNextHandle, nullptr);
  return FormatHandle(mNextHandle++);
}

bool DrawingModel::ClaimHandle(const std::string& handle) {
  // Any number of hexadecimal digits, not all zero.
  if (handle.empty() || handle.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
      handle.find_first_not_of('0') == std::string::npos) {
    return false;
  }
  auto value = ParseHandle(handle);
  if (!value) return mWideHandles.emplace(NormaliseHandle(handle), nullptr).second;
  if (!mHandles.emplace(*value, nullptr).second) return false;
  // Keep fresh handles above every handle read, unless that would run out of room.
  if (*value >= mNextHandle && *value < UINT64_MAX / 2) mNextHandle = *value + 1;
  return true;
}

void DrawingModel::Register(const DrawingBlock& block, DrawingEntity& entity) {
  DrawingEntity* pointer = &block == mModelSpace.get() ? &entity : nullptr;
  if (auto value = ParseHandle(entity.Handle())) {
    mHandles[*value] = pointer;
  } else {
    mWideHandles[NormaliseHandle(entity.Handle())] = pointer;
  }
}

void DrawingModel::AddLayer(const std::string& name) {
  if (name.empty()) throw InvalidArgument("Layers.Add");
  AddOrGetLayer(name);
}

// "Blocks" "Add": a new empty block; an existing name gives the existing block.
DrawingBlock& DrawingModel::AddBlock(const CadPoint& origin, const std::string& name) {
  if (name.empty() || name.front() == '*') throw InvalidArgument("Blocks.Add");
  if (DrawingBlock* existing = FindBlock(name)) return *existing;
  mBlocks.push_back(std::make_unique<DrawingBlock>(*this, name, origin));
  return *mBlocks.back();
}

DrawingBlock& DrawingModel::AddBlockDefinition(const std::string& name, const CadPoint& origin,
                                               int flags) {
  if (DrawingBlock* existing = FindBlock(name)) return *existing;
  mBlocks.push_back(std::make_unique<DrawingBlock>(*this, name, origin));
  mBlocks.back()->SetFlags(flags);
  return *mBlocks.back();
}

void DrawingModel::InsertBlock(const CadPoint& point, const std::string& name, double scaleX,
                               double scaleY, double scaleZ, double rotation) {
  if (!FindBlock(name)) {
    throw CadError::Other(static_cast<std::int32_t>(0x80070057u), "Block not found: " + name);
  }
  for (double v : {point.X, point.Y, point.Z, scaleX, scaleY, scaleZ, rotation}) {
    if (!std::isfinite(v)) throw InvalidArgument("InsertBlock");
  }
  DrawingEntity& insert = mModelSpace->AddEntity(EntityKind::Insert);
  EntityData& data = insert.Data();
  data.BlockName = name;
  data.Insertion = point;
  data.ScaleX = scaleX;
  data.ScaleY = scaleY;
  data.ScaleZ = scaleZ;
  // The automation call takes radians; the drawing keeps degrees.
  data.RotationDeg = rotation * 180.0 / 3.14159265358979323846;
}

}  // namespace veerline::cad
