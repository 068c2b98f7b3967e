#pragma once

// A block definition of the in-memory drawing, and model space, which is kept
// as a block of the same shape. Entities are owned here and never move, so
// references handed out stay valid as long as the drawing does.

#include <memory>
#include <string>
#include <vector>

#include "cad/dxf/CadEntityInterface.h"
#include "cad/dxf/DrawingEntity.h"

namespace veerline::cad {

class DrawingModel;

class DrawingBlock final : public CadBlock {
 public:
  DrawingBlock(DrawingModel& owner, std::string name, const CadPoint& origin)
      : mOwner(owner), mName(std::move(name)), mOrigin(origin) {}

  std::string Name() const override { return mName; }
  const CadPoint& Origin() const { return mOrigin; }
  // Block-type flags as a drawing file keeps them (1 anonymous, 2 has attributes...).
  int Flags() const { return mFlags; }
  void SetFlags(int flags) { mFlags = flags; }
  const std::vector<std::unique_ptr<DrawingEntity>>& Entities() const { return mEntities; }

  // For a block read from a file: the tag index of its BLOCK and ENDBLK
  // records. A block Veerline adds has none.
  bool FromFile() const { return mEndBlk != 0; }
  std::size_t BlockTag() const { return mBlockTag; }
  std::size_t EndBlkTag() const { return mEndBlk; }
  void SetSource(std::size_t blockTag, std::size_t endBlkTag) {
    mBlockTag = blockTag;
    mEndBlk = endBlkTag;
  }
  // An erased block (an undone run's output) is neither shown nor written.
  bool Erased() const { return mErased; }
  void SetErased(bool erased) { mErased = erased; }

  CadEntity& AddLightWeightPolyline(const std::vector<CadPoint>& points) override;
  CadEntity& AddCircle(const CadPoint& centre, double radius) override;
  CadEntity& AddText(const std::string& value, const CadPoint& insertion, double height) override;

  // A new entity of the kind with a fresh handle, appended to this block.
  DrawingEntity& AddEntity(EntityKind kind);
  // Appends an entity that already has its handle (the DXF reader uses this).
  DrawingEntity& Adopt(std::unique_ptr<DrawingEntity> entity);

 private:
  DrawingModel& mOwner;
  std::string mName;
  CadPoint mOrigin;
  int mFlags = 0;
  std::size_t mBlockTag = 0, mEndBlk = 0;
  bool mErased = false;
  std::vector<std::unique_ptr<DrawingEntity>> mEntities;
};

}  // namespace veerline::cad
