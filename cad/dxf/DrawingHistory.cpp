#include "cad/dxf/DrawingHistory.h"

#include <algorithm>

namespace veerline::cad {

DrawingMark DrawingHistory::Mark(const DrawingModel& drawing) {
  DrawingMark mark;
  mark.ModelSpaceEntities = drawing.ModelSpace().Entities().size();
  for (const auto& block : drawing.Blocks()) mark.BlockEntities.push_back(block->Entities().size());
  mark.Blocks = drawing.Blocks().size();
  for (const DrawingLayer& layer : drawing.Layers()) mark.Layers.push_back(layer.Name);
  for (const DrawingLinetype& linetype : drawing.Linetypes())
    mark.Linetypes.push_back(linetype.Name);
  return mark;
}

bool DrawingHistory::RecordAdditions(const std::string& name, DrawingModel& drawing,
                                     const DrawingMark& before) {
  Action action = Additions(drawing, before);
  if (action.Added.empty() && action.AddedBlocks.empty() && action.AddedLayers.empty() &&
      action.AddedLinetypes.empty()) {
    return false;
  }
  action.Name = name;
  Push(std::move(action));
  return true;
}

void DrawingHistory::TakeBackAdditions(DrawingModel& drawing, const DrawingMark& before) {
  Apply(drawing, Additions(drawing, before), false);
}

DrawingHistory::Action DrawingHistory::Additions(DrawingModel& drawing, const DrawingMark& before) {
  Action action;
  const auto& model = drawing.ModelSpace().Entities();
  for (std::size_t i = before.ModelSpaceEntities; i < model.size(); ++i) {
    if (!model[i]->Erased()) action.Added.push_back(model[i].get());
  }
  const auto& blocks = drawing.Blocks();
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    if (blocks[b]->Erased()) continue;
    if (b >= before.Blocks) {
      action.AddedBlocks.push_back(blocks[b].get());
      continue;
    }
    const auto& entities = blocks[b]->Entities();
    for (std::size_t i = before.BlockEntities[b]; i < entities.size(); ++i) {
      if (!entities[i]->Erased()) action.Added.push_back(entities[i].get());
    }
  }
  for (const DrawingLayer& layer : drawing.Layers()) {
    if (std::find(before.Layers.begin(), before.Layers.end(), layer.Name) == before.Layers.end()) {
      action.AddedLayers.push_back(layer);
    }
  }
  for (const DrawingLinetype& linetype : drawing.Linetypes()) {
    if (std::find(before.Linetypes.begin(), before.Linetypes.end(), linetype.Name) ==
        before.Linetypes.end()) {
      action.AddedLinetypes.push_back(linetype);
    }
  }
  return action;
}

void DrawingHistory::Erase(const std::string& name, const std::vector<DrawingEntity*>& entities) {
  Action action;
  action.Name = name;
  for (DrawingEntity* entity : entities) {
    if (entity && !entity->Erased()) {
      entity->SetErased(true);
      action.Erased.push_back(entity);
    }
  }
  if (!action.Erased.empty()) Push(std::move(action));
}

// A new action drops the actions that were undone.
void DrawingHistory::Push(Action action) {
  mActions.resize(mDone);
  mActions.push_back(std::move(action));
  mDone = mActions.size();
}

void DrawingHistory::Apply(DrawingModel& drawing, const Action& action, bool forward) {
  for (DrawingEntity* entity : action.Added) entity->SetErased(!forward);
  for (DrawingBlock* block : action.AddedBlocks) block->SetErased(!forward);
  for (DrawingEntity* entity : action.Erased) entity->SetErased(forward);
  for (const DrawingLinetype& linetype : action.AddedLinetypes) {
    if (forward) {
      drawing.AddLinetype(linetype);
    } else {
      drawing.RemoveAddedLinetype(linetype.Name);
    }
  }
  for (const DrawingLayer& layer : action.AddedLayers) {
    if (forward) {
      drawing.AddOrGetLayer(layer.Name) = layer;
    } else {
      drawing.RemoveAddedLayer(layer.Name);
    }
  }
}

void DrawingHistory::Undo(DrawingModel& drawing) {
  if (!CanUndo()) return;
  --mDone;
  Apply(drawing, mActions[mDone], false);
}

void DrawingHistory::Redo(DrawingModel& drawing) {
  if (!CanRedo()) return;
  Apply(drawing, mActions[mDone], true);
  ++mDone;
}

}  // namespace veerline::cad
