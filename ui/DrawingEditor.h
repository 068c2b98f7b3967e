#pragma once

#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cad/dxf/DrawingHistory.h"
#include "cad/geometry/SnapPoints.h"

class QAction;
class QLineEdit;
class QToolBar;
class QPainter;

namespace veerline::cad {
class DrawingEntity;
}

namespace veerline::ui {

class DrawingOverlay;
class DrawingWindow;
class DriveTool;
class PathTool;

// Editing in the drawing window: a click selects an entity (a block
// reference a run inserted selects all that run inserted), Delete erases the
// selection, and undo and redo cover every change made to the drawing: paths
// drawn, runs, deletions. Owns the Edit menu, the drawing toolbar and the
// Path and Drive tools.
class DrawingEditor : public QObject {
  Q_OBJECT

 public:
  explicit DrawingEditor(DrawingWindow& window);
  ~DrawingEditor() override;

  PathTool& Path() const { return *mPath; }
  DriveTool& Drive() const { return *mDrive; }
  const std::vector<cad::DrawingEntity*>& Selection() const { return mSelection; }
  const cad::DrawingHistory& History() const { return mHistory; }

  // A run is about to write into the drawing, and has ended: what it added
  // becomes one action, and its model-space references one selectable group.
  void BeginRun();
  // True when the run left something in the drawing.
  bool EndRun();
  // Records what was added since the mark as one action, then shows it.
  void RecordAdditions(const std::string& name, const cad::DrawingMark& mark);
  // What was added since the mark and what the run started in `run` adds
  // become one action of that name; without a run, the additions alone.
  void AddThenRun(const cad::DrawingMark& mark, const std::string& name,
                  const std::function<void()>& run);

  void Select(std::vector<cad::DrawingEntity*> entities);
  void Undo();
  void Redo();
  void DeleteSelection();

  // Snap geometry of the drawing as it is now, read again after every change.
  const cad::SnapGeometry* Snaps();

  DrawingOverlay& Overlay() const { return *mOverlay; }
  // Enables the editing actions for the drawing's state and the running run.
  void UpdateActions();

 signals:
  // Undo took back a run's output.
  void runUndone();

 private:
  void BuildActions();
  void BuildRadiusField(QToolBar& bar);
  void OnClicked(QPoint position, Qt::MouseButton button);
  void OnDrawingReplaced();
  // Shows a change the editor made: the drawing window repaints and marks it.
  void AfterChange();
  void PaintSelection(QPainter& painter) const;

  DrawingWindow& mWindow;
  DrawingOverlay* mOverlay = nullptr;  // owned by the view
  std::unique_ptr<PathTool> mPath;
  std::unique_ptr<DriveTool> mDrive;
  cad::DrawingHistory mHistory;
  std::optional<cad::SnapGeometry> mSnaps;
  std::vector<cad::DrawingEntity*> mSelection;
  // The model-space entities each run added, selected together.
  std::vector<std::vector<cad::DrawingEntity*>> mRuns;
  std::optional<cad::DrawingMark> mRunMark;
  std::string mRunName = "Run";
  // Set by AddThenRun until its run begins: where that run's action starts.
  std::optional<cad::DrawingMark> mPendingMark;
  std::string mPendingName;
  QAction* mUndo = nullptr;
  QAction* mRedo = nullptr;
  QAction* mDelete = nullptr;
  QAction* mPathAction = nullptr;
  QAction* mDriveAction = nullptr;
  QAction* mReverseLegAction = nullptr;  // the Path tool's next leg the other way
  QLineEdit* mRadiusField = nullptr;
};

}  // namespace veerline::ui
