#pragma once

// Undo and redo for the drawing. An action (a path drawn, a run's output, a
// deletion) is recorded as what it added and what it erased: entities,
// blocks and layers. Undoing erases what was added and restores what was
// erased; nothing is freed, so redoing is the same in reverse.

#include <cstddef>
#include <string>
#include <vector>

#include "cad/dxf/DrawingModel.h"

namespace veerline::cad {

// How far the drawing reached before an action, to tell what it added.
struct DrawingMark {
  std::size_t ModelSpaceEntities = 0;
  std::vector<std::size_t> BlockEntities;  // per block, in the drawing's order
  std::size_t Blocks = 0;
  std::vector<std::string> Layers;
  std::vector<std::string> Linetypes;
};

class DrawingHistory {
 public:
  static DrawingMark Mark(const DrawingModel& drawing);

  // Records everything added since the mark as one action; false when the
  // action added nothing.
  bool RecordAdditions(const std::string& name, DrawingModel& drawing, const DrawingMark& before);
  // Takes back everything added since the mark without recording an action:
  // the drawing is as it was, and there is nothing to undo or redo for it.
  void TakeBackAdditions(DrawingModel& drawing, const DrawingMark& before);
  // Erases the entities as one action.
  void Erase(const std::string& name, const std::vector<DrawingEntity*>& entities);

  bool CanUndo() const { return mDone > 0; }
  bool CanRedo() const { return mDone < mActions.size(); }
  // The name of the action Undo or Redo would act on, for menus.
  std::string UndoName() const { return CanUndo() ? mActions[mDone - 1].Name : std::string(); }
  std::string RedoName() const { return CanRedo() ? mActions[mDone].Name : std::string(); }
  void Undo(DrawingModel& drawing);
  void Redo(DrawingModel& drawing);
  void Clear() {
    mActions.clear();
    mDone = 0;
  }

 private:
  struct Action {
    std::string Name;
    std::vector<DrawingEntity*> Added, Erased;
    std::vector<DrawingBlock*> AddedBlocks;
    std::vector<DrawingLayer> AddedLayers;
    std::vector<DrawingLinetype> AddedLinetypes;
  };
  static Action Additions(DrawingModel& drawing, const DrawingMark& before);
  void Push(Action action);
  static void Apply(DrawingModel& drawing, const Action& action, bool forward);

  std::vector<Action> mActions;
  std::size_t mDone = 0;
};

}  // namespace veerline::cad
