#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "engine/NumberRule.h"
#include "paint/ReportSheet.h"
#include "run/RunResultModel.h"
#include "ui/UiServices.h"

class QAction;
class QMenu;
class QPainter;
class QTransform;
class QListWidget;
class QListWidgetItem;

namespace veerline::cad {
class DrawingAttacher;
class DrawingModel;
}  // namespace veerline::cad

namespace veerline::ui {

class DrawingEditor;
class DrawingView;
class InteractivePicker;
class PlaybackBar;

// The drawing window: shows the drawing that is open for the runs, lets the
// user open, save and close drawings, switch layers on and off, and pick the
// path. Drawings are opened and closed through the application's one attacher,
// so with no drawing open a run finds no CAD application, as it should.
class DrawingWindow : public QMainWindow {
  Q_OBJECT

 public:
  DrawingWindow(UiServices services, cad::DrawingAttacher& attacher, QWidget* parent = nullptr);
  ~DrawingWindow() override;

  // Opens the drawing last used (settings key "DrawingFile"), or an empty
  // drawing when there is none or it cannot be read.
  void OpenAtStart();
  // Reads a DXF file and opens it in place of the current drawing; a file that
  // cannot be read is reported and the current drawing stays. The user is
  // asked first whether changes to the current drawing are to be saved.
  bool OpenDrawingFile(const QString& path);
  // Opens an empty drawing in place of the current one.
  bool NewDrawing();
  // Saves to the drawing's file; one that has none asks for a name.
  bool SaveDrawing();
  bool SaveDrawingAs();
  // Saves to the given file, which becomes the drawing's file.
  bool SaveDrawingTo(const QString& path);
  // Closes the drawing; runs then report that no drawing is open.
  bool CloseDrawing();
  // Asks whether a changed drawing is to be saved (Yes, No or Cancel); false
  // when the user cancelled or saving failed, so the caller keeps the drawing.
  bool OfferToSaveChanges();

  cad::DrawingModel* Drawing() const;
  QString DrawingPath() const { return mPath; }
  bool IsModified() const { return mModified; }
  DrawingView* View() const { return mView; }
  InteractivePicker& Picker() const { return *mPicker; }
  QListWidget* LayerList() const { return mLayerList; }
  // Selection, undo and redo, and the Path tool.
  DrawingEditor& Editor() const { return *mEditor; }
  // The drawing was edited here: it is shown again and counts as changed.
  void NoteDrawingEdited();

  // While a run works on the drawing it must not be replaced or closed.
  void SetRunInProgress(bool running);
  bool RunInProgress() const { return mRunning; }

  // The prompt of a pick in progress, in the status bar.
  void ShowPrompt(const QString& prompt);
  // A warning box over this window.
  void ShowWarning(const QString& title, const QString& text);
  void ClearPrompt();

  // The Open menu entry: asks for a file and opens it.
  void OnOpenDrawing();

  // ---- The last run (DrawingWindowRun.cpp) ------------------------------
  // The run just made on this drawing, for playback and the exports: what
  // the report says of it beside its results, the speed it was checked at
  // (metres a second) and the symbols numbers are written with.
  void SetRunResult(std::shared_ptr<const RunResultModel> run, paint::ReportTitle title,
                    double metresPerSecond, std::function<NumberSymbols()> symbols);
  // The run is gone (undone, or another drawing is open).
  void ClearRunResult();
  const RunResultModel* RunResult() const { return mRun.get(); }
  PlaybackBar& Playback() const { return *mPlayback; }
  // The design report of the run as PDF, and the run as an MP4 video; false
  // (and a warning) when the file could not be written.
  bool ExportReport(const QString& path, paint::Paper paper);
  bool ExportAnimation(const QString& path);

 signals:
  // The user closed the window; a waiting pick ends as cancelled.
  void windowClosed();
  // Another drawing (or none) is open now.
  void drawingChanged();
  // File > Exit: the user wants to end the program.
  void exitRequested();
  // Playback shows another station of the run (a station distance); none
  // when no run is shown.
  void playbackStationChanged(std::optional<double> station);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildMenus();
  void BuildRunMenu(QMenu* file);
  void BuildLayerList();
  // Space, Left, Right, Home and End while a run can be played; false for other keys.
  bool PlaybackKey(int key);
  void PaintPlayback(QPainter& painter, const QTransform& toScreen) const;
  void OnExportReport(paint::Paper paper);
  void OnExportAnimation();
  // Replaces the open drawing (or closes it with null) and shows the new one.
  void Install(std::unique_ptr<cad::DrawingModel> drawing, const QString& path);
  void OnRegen();
  void OnLayerChanged(QListWidgetItem* item);
  void RefreshLayerList();
  void UpdateTitle();
  void UpdateActions();
  void RememberDrawingFile(const QString& path);
  void Warn(const QString& text);

  UiServices mServices;
  cad::DrawingAttacher& mAttacher;
  std::unique_ptr<InteractivePicker> mPicker;
  std::unique_ptr<DrawingEditor> mEditor;
  DrawingView* mView = nullptr;
  QListWidget* mLayerList = nullptr;
  QString mPath;  // file of the open drawing; empty for a new one
  bool mModified = false;
  bool mModifiedBeforeRun = false;
  bool mRunning = false;
  bool mFillingLayers = false;
  QAction* mOpen = nullptr;
  QAction* mNew = nullptr;
  QAction* mSave = nullptr;
  QAction* mSaveAs = nullptr;
  QAction* mClose = nullptr;
  QAction* mExtents = nullptr;
  QAction* mReportA4 = nullptr;
  QAction* mReportA3 = nullptr;
  QAction* mAnimation = nullptr;
  double mRunSpeed = 0;  // metres a second
  PlaybackBar* mPlayback = nullptr;
  std::shared_ptr<const RunResultModel> mRun;
  paint::ReportTitle mRunTitle;
  std::function<NumberSymbols()> mSymbols;
};

}  // namespace veerline::ui
