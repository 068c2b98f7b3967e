#include "ui/DrawingEditor.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <algorithm>
#include <unordered_set>

#include "cad/dxf/DrawingModel.h"
#include "engine/NumberRule.h"
#include "ui/DrawingOverlay.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/DriveTool.h"
#include "ui/PathTool.h"
#include "ui/UserLocale.h"

namespace veerline::ui {
namespace {

const QColor kSelectionColour(255, 128, 0);

}  // namespace

DrawingEditor::DrawingEditor(DrawingWindow& window) : mWindow(window) {
  mOverlay = new DrawingOverlay(*window.View());
  mOverlay->AddPaintStep([this](QPainter& painter) { PaintSelection(painter); });
  // Connected before the path tool, so a click that ends a path is not
  // taken for a selection too.
  connect(window.View(), &DrawingView::clicked, this, &DrawingEditor::OnClicked);
  mPath = std::make_unique<PathTool>(window, *this);
  mDrive = std::make_unique<DriveTool>(window, *this);
  BuildActions();
  connect(&window, &DrawingWindow::drawingChanged, this, &DrawingEditor::OnDrawingReplaced);
  // Layers switched off or on change what can be snapped to.
  connect(window.LayerList(), &QListWidget::itemChanged, this, [this] { mSnaps.reset(); });
  // A pick for a run takes the clicks; a path being drawn is given up.
  connect(&window.Picker(), &InteractivePicker::pickStarted, mPath.get(), &PathTool::Cancel);
  connect(&window.Picker(), &InteractivePicker::pickStarted, mDrive.get(), &DriveTool::Cancel);
  connect(mPath.get(), &PathTool::activeChanged, this, [this] { UpdateActions(); });
  connect(mDrive.get(), &DriveTool::activeChanged, this, [this] { UpdateActions(); });
}

DrawingEditor::~DrawingEditor() = default;

void DrawingEditor::BuildActions() {
  QMenu* edit = mWindow.menuBar()->addMenu(tr("&Edit"));
  edit->setObjectName(QStringLiteral("DrawingEditMenu"));
  mUndo = edit->addAction(tr("Undo"), this, &DrawingEditor::Undo);
  mUndo->setObjectName(QStringLiteral("UndoDrawing"));
  mUndo->setShortcut(QKeySequence::Undo);
  mRedo = edit->addAction(tr("Redo"), this, &DrawingEditor::Redo);
  mRedo->setObjectName(QStringLiteral("RedoDrawing"));
  // Ctrl+Y everywhere, besides the platform's own redo keys.
  QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
  const QKeySequence ctrlY(Qt::CTRL | Qt::Key_Y);
  if (!redoKeys.contains(ctrlY)) redoKeys.prepend(ctrlY);
  mRedo->setShortcuts(redoKeys);
  edit->addSeparator();
  mDelete = edit->addAction(tr("Delete"), this, &DrawingEditor::DeleteSelection);
  mDelete->setObjectName(QStringLiteral("DeleteSelection"));
  mDelete->setShortcut(QKeySequence::Delete);

  QMenu* draw = mWindow.menuBar()->addMenu(tr("&Draw"));
  draw->setObjectName(QStringLiteral("DrawingDrawMenu"));
  mPathAction = draw->addAction(tr("Path"), mPath.get(), &PathTool::Start);
  mPathAction->setObjectName(QStringLiteral("DrawPath"));
  mPathAction->setShortcut(QKeySequence(Qt::Key_P));
  mPathAction->setToolTip(
      tr("Draw a path: straight legs, corners rounded to the turning radius R (P). "
         "Shift keeps a leg level or plumb."));

  mDriveAction = draw->addAction(tr("Drive"), mDrive.get(), &DriveTool::Start);
  mDriveAction->setObjectName(QStringLiteral("DrawDrive"));
  mDriveAction->setShortcut(QKeySequence(Qt::Key_D));
  mDriveAction->setToolTip(
      tr("Drive the vehicle with the mouse: a path it can drive at the run's speed, with the "
         "swept area shown as it goes (D)"));

  mReverseLegAction = draw->addAction(tr("Reverse Leg"), this, [this] {
    if (mDrive->IsActive()) {
      mDrive->SwitchDirection();
    } else {
      mPath->SwitchDirection();
    }
  });
  mReverseLegAction->setObjectName(QStringLiteral("PathReverseLeg"));
  mReverseLegAction->setToolTip(
      tr("While drawing a path: end the leg at its last point and drive the next leg the other "
         "way (R)"));

  QToolBar* bar = mWindow.addToolBar(tr("Drawing"));
  bar->setObjectName(QStringLiteral("DrawingToolBar"));
  bar->addAction(mPathAction);
  BuildRadiusField(*bar);
  bar->addAction(mDriveAction);
  bar->addAction(mReverseLegAction);
  bar->addSeparator();
  bar->addAction(mUndo);
  bar->addAction(mRedo);
  bar->addAction(mDelete);
  UpdateActions();
}

// R of the Path tool in the toolbar: it shows the radius the tool starts
// with and takes a typed one (Enter), while a path is being drawn.
void DrawingEditor::BuildRadiusField(QToolBar& bar) {
  auto* caption = new QLabel(tr(" R "));
  caption->setObjectName(QStringLiteral("lblPathRadius"));
  mRadiusField = new QLineEdit;
  mRadiusField->setObjectName(QStringLiteral("txt_PathRadius"));
  mRadiusField->setFixedWidth(64);
  mRadiusField->setToolTip(tr("Corner radius of the path, in drawing units (Enter takes it)"));
  bar.addWidget(caption);
  bar.addWidget(mRadiusField);
  connect(mPath.get(), &PathTool::radiusChanged, mRadiusField,
          [this](double radius) { mRadiusField->setText(PathTool::RadiusText(radius)); });
  connect(mRadiusField, &QLineEdit::returnPressed, this, [this] {
    const std::string typed = mRadiusField->text().trimmed().toStdString();
    std::optional<double> value = TryParseFieldNumber(typed, UserNumberSymbols());
    if (!value) value = TryParseFieldNumber(typed, NumberSymbols::PointDecimal());
    if (!value || !mPath->SetRadius(*value)) {
      mWindow.ShowWarning(tr("Path"),
                          tr("'%1' is not a radius.").arg(QString::fromStdString(typed)));
      mRadiusField->setText(PathTool::RadiusText(mPath->Radius()));
      return;
    }
    mWindow.View()->setFocus(Qt::OtherFocusReason);
  });
}

void DrawingEditor::UpdateActions() {
  const bool editable = mWindow.Drawing() != nullptr && !mWindow.RunInProgress();
  mUndo->setEnabled(editable && mHistory.CanUndo());
  mRedo->setEnabled(editable && mHistory.CanRedo());
  mUndo->setText(mHistory.CanUndo() ? tr("Undo %1").arg(QString::fromStdString(mHistory.UndoName()))
                                    : tr("Undo"));
  mRedo->setText(mHistory.CanRedo() ? tr("Redo %1").arg(QString::fromStdString(mHistory.RedoName()))
                                    : tr("Redo"));
  mDelete->setEnabled(editable && !mSelection.empty());
  mPathAction->setEnabled(editable && !mWindow.Picker().IsPicking() && !mDrive->IsActive());
  mDriveAction->setEnabled(editable && !mWindow.Picker().IsPicking() && !mPath->IsActive());
  mRadiusField->setEnabled(mPath->IsActive());
  mReverseLegAction->setEnabled(mPath->IsActive() || mDrive->IsActive());
}

const cad::SnapGeometry* DrawingEditor::Snaps() {
  const cad::DrawingModel* drawing = mWindow.Drawing();
  if (drawing == nullptr) return nullptr;
  if (!mSnaps) mSnaps.emplace(*drawing);
  return &*mSnaps;
}

void DrawingEditor::BeginRun() {
  mPath->Cancel();
  mDrive->Cancel();
  Select({});
  mRunName = mPendingMark ? mPendingName : "Run";
  if (mPendingMark) {
    mRunMark = std::move(mPendingMark);
    mPendingMark.reset();
  } else if (const cad::DrawingModel* drawing = mWindow.Drawing()) {
    mRunMark = cad::DrawingHistory::Mark(*drawing);
  }
  UpdateActions();
}

void DrawingEditor::AddThenRun(const cad::DrawingMark& mark, const std::string& name,
                               const std::function<void()>& run) {
  mPendingMark = mark;
  mPendingName = name;
  run();
  // The run was refused before it began: the additions are an action of their own.
  if (mPendingMark) {
    mPendingMark.reset();
    RecordAdditions(name, mark);
  }
}

// A run that put nothing into model space (a refused pick, a path that could
// not be read, a cancelled run) leaves nothing: the blocks and layers it made
// for its output are taken back, and there is no "Undo Run" for it.
bool DrawingEditor::EndRun() {
  cad::DrawingModel* drawing = mWindow.Drawing();
  bool left = false;
  if (drawing != nullptr && mRunMark) {
    std::vector<cad::DrawingEntity*> added;
    const auto& model = drawing->ModelSpace().Entities();
    for (std::size_t i = mRunMark->ModelSpaceEntities; i < model.size(); ++i)
      if (!model[i]->Erased()) added.push_back(model[i].get());
    if (added.empty()) {
      mHistory.TakeBackAdditions(*drawing, *mRunMark);
    } else if (mHistory.RecordAdditions(mRunName, *drawing, *mRunMark)) {
      mRuns.push_back(std::move(added));
      left = true;
    }
    mSnaps.reset();
  }
  mRunMark.reset();
  UpdateActions();
  return left;
}

void DrawingEditor::RecordAdditions(const std::string& name, const cad::DrawingMark& mark) {
  if (cad::DrawingModel* drawing = mWindow.Drawing())
    mHistory.RecordAdditions(name, *drawing, mark);
  AfterChange();
}

void DrawingEditor::Select(std::vector<cad::DrawingEntity*> entities) {
  mSelection = std::move(entities);
  if (mSelection.size() > 1) Snaps();  // the overlay draws a group from the snap curves
  mWindow.View()->SetHighlight(mSelection.empty() ? std::string() : mSelection.front()->Handle());
  mOverlay->update();
  UpdateActions();
}

void DrawingEditor::Undo() {
  cad::DrawingModel* drawing = mWindow.Drawing();
  if (drawing == nullptr || mWindow.RunInProgress() || !mHistory.CanUndo()) return;
  const bool run = mHistory.UndoName() == "Run" || mHistory.UndoName() == "Drive";
  mHistory.Undo(*drawing);
  AfterChange();
  if (run) emit runUndone();
}

void DrawingEditor::Redo() {
  cad::DrawingModel* drawing = mWindow.Drawing();
  if (drawing == nullptr || mWindow.RunInProgress() || !mHistory.CanRedo()) return;
  mHistory.Redo(*drawing);
  AfterChange();
}

void DrawingEditor::DeleteSelection() {
  if (mWindow.Drawing() == nullptr || mWindow.RunInProgress() || mSelection.empty()) return;
  mHistory.Erase("Delete", mSelection);
  mSelection.clear();
  AfterChange();
}

void DrawingEditor::AfterChange() {
  mSnaps.reset();
  // Undo and redo may have erased what was selected.
  std::erase_if(mSelection, [](const cad::DrawingEntity* e) { return e->Erased(); });
  Select(std::move(mSelection));
  mWindow.NoteDrawingEdited();
}

// A click selects the entity under it, a run's reference the whole run; a
// click on empty space clears the selection. Picks and the path tool have
// the clicks to themselves.
void DrawingEditor::OnClicked(QPoint position, Qt::MouseButton button) {
  cad::DrawingModel* drawing = mWindow.Drawing();
  if (button != Qt::LeftButton || drawing == nullptr || mWindow.RunInProgress() ||
      mWindow.Picker().IsPicking() || mPath->IsActive() || mDrive->IsActive())
    return;
  const std::optional<std::string> handle = mWindow.View()->HitTest(position);
  cad::DrawingEntity* entity = handle ? drawing->FindEntity(*handle) : nullptr;
  if (entity == nullptr) {
    Select({});
    return;
  }
  for (const auto& run : mRuns) {
    if (std::find(run.begin(), run.end(), entity) == run.end()) continue;
    std::vector<cad::DrawingEntity*> shown;
    std::copy_if(run.begin(), run.end(), std::back_inserter(shown),
                 [](const cad::DrawingEntity* e) { return !e->Erased(); });
    // The clicked reference first, so the view highlights it exactly.
    std::iter_swap(shown.begin(), std::find(shown.begin(), shown.end(), entity));
    Select(std::move(shown));
    return;
  }
  Select({entity});
}

void DrawingEditor::OnDrawingReplaced() {
  mPath->Cancel();
  mDrive->Cancel();
  mHistory.Clear();
  mRuns.clear();
  mSelection.clear();
  mSnaps.reset();
  mRunMark.reset();
  mOverlay->update();
  UpdateActions();
}

// The selection's lines and arcs over the drawing, as the view highlights
// one entity: thick, in the highlight colour.
void DrawingEditor::PaintSelection(QPainter& painter) const {
  if (mSelection.size() < 2 || !mSnaps) return;
  const std::unordered_set<const cad::DrawingEntity*> chosen(mSelection.begin(), mSelection.end());
  painter.setPen(QPen(kSelectionColour, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  for (const cad::SnapCurve& curve : mSnaps->Curves())
    if (chosen.contains(curve.Owner)) painter.drawPolyline(CurveOnScreen(curve, *mWindow.View()));
}

}  // namespace veerline::ui
