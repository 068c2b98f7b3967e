#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "engine/Host.h"
#include "engine/RunState.h"
#include "engine/VehicleModel.h"
#include "run/RunInputs.h"
#include "run/RunResultModel.h"
#include "ui/DiagramAnnotation.h"
#include "ui/UiServices.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace veerline::cad {
class CadConnection;
}

namespace veerline::ui {

class ClearanceGroup;
class ClearanceReport;
class DrawingWindow;
class FleetDialog;
class QtColourSettings;
class RunDiagramBox;
class WindowHost;
class frmVehicleTurningSettings;
class frmAbout;
class HelpWindow;

// The main window: the fields of one vehicle, the vehicle list of the current
// library, the path unit, speed and output options, the run diagrams on a tab
// strip and the status bar. It owns the library state and the run state.
class frmVehicleTurning : public QMainWindow {
  Q_OBJECT

 public:
  // Opens the window: fills the lists, reads the saved options, opens the
  // current library and loads its first vehicle.
  explicit frmVehicleTurning(UiServices services, QWidget* parent = nullptr);
  ~frmVehicleTurning() override;

  // ---- What a run reads and drives -------------------------------------
  VehicleFields CurrentFields() const;
  RunState& State() { return mRunState; }
  // The tracks the diagrams show: those of the last run that reached its
  // output, kept while later attempts are cancelled or refused.
  const RunState& DiagramState() const { return mDiagramState; }
  Host& WindowHostRef();
  const UiServices& Services() const { return mServices; }
  RunInputs CurrentRunInputs() const;
  QWidget* Picture2() const;
  QWidget* Picture3() const;
  // The drawing window and the one attacher through which drawings are opened
  // for the runs and closed again.
  DrawingWindow& DrawingWindowRef() { return *mDrawingWindow; }
  cad::DrawingAttacher& Attacher() { return mAttacher; }
  bool RunInProgress() const { return mRunning; }
  // The window was asked to close while a run was in progress; the run stops
  // at its next check and the window closes when it has ended.
  bool CloseRequested() const { return mCloseRequested; }

  // Loads the vehicle of this library record and runs it as Execute does,
  // on the path with this handle instead of a pick (a fleet row's run).
  void ExecuteOnPath(int record, const std::string& handle);
  // Runs the window's vehicle as Execute does, on the path with this handle
  // instead of a pick (a path the Drive tool has just drawn).
  void ExecuteOnHandle(const std::string& handle);
  // The fleet check's window while it is open.
  FleetDialog* Fleet() const;

  // ---- Library state ----------------------------------------------------
  QString VehicleFilePath() const { return mVehicleFilePath; }
  bool NewRecordPending() const { return mNewRecordPending; }
  int LoadedVehicleType() const { return mLoadedVehicleType; }
  // The user's own copy of the default library, in the data folder.
  QString DefaultVehicleFilePath() const;
  // The default library shipped beside the program; never written to.
  QString ShippedVehicleFilePath() const;
  QString HelpFilePath() const { return mHelpFile; }
  HelpWindow* Help() const;

  // ---- Library operations -----------------------------------------------
  void LoadVehicleList(const QString& path);
  void LoadVehicle(int record);
  void SaveOrCopyVehicle(const QString& mode);
  void ClearTextboxes();
  // File > Open with the file chosen (nothing when empty): the library's
  // working copy becomes the current one and its first vehicle is loaded.
  void OpenLibraryFile(const QString& chosen);
  static bool FileExists(const QString& path);

  // Shows the captions and fields the vehicle type uses and hides the others.
  void ShowFieldsForType(int typeCode);
  // Lays the progress bar exactly over a status-bar panel (1 is the first).
  void MoveProgressBarIntoPanel(QProgressBar* bar, QStatusBar* status, int panel);

  // ---- Window services for the host -------------------------------------
  MessageAnswer ShowMessage(MessageKind kind, const QString& title, const QString& text);
  void SetStatusPanelText(int panel, const QString& text);
  QString StatusPanelText(int panel) const;
  void SetTotalLengthCaption(const QString& caption);
  QProgressBar* ProgressBar() const { return mProgressBar; }
  // Redraws both run diagrams from the run state.
  void DrawRunDiagrams();
  // Puts a diagram box's picture on the clipboard as an image.
  void CopyPictureToClipboard(RunDiagramBox* box);

 signals:
  // A run started from the Execute button has ended, however it ended.
  void runFinished(veerline::RunOutcome outcome);
  // The window has closed for good: its settings are written and the drawing
  // window is closed too. The program ends here.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window (VehicleTurningControls.cpp).
  void BuildControls();
  QWidget* BuildVehicleDataFrame();
  QWidget* BuildVehicleListFrame();
  QWidget* BuildVehicleDetailsPage();
  QWidget* BuildBottomRow();
  void BuildMenus();
  void BuildStatusBar();

  // Opening and closing (VehicleTurningOptions.cpp).
  void FormLoad();
  void FormUnload();
  void ReadOutputOptions();
  int ReadListPosition(const char* key, int count);
  QString ReadTextSetting(const char* key, const QString& fallback);
  void ReportLoadFailure(const QString& description);
  void SetCaption(const QString& prefix);

  // Event handlers (VehicleTurningWindow.cpp and VehicleLibraryCommands.cpp).
  void OnTypeChanged();
  void OnPathUnitChanged();
  void OnDimensionKeyReleased();
  void OnPlotVehicleToggled();
  void OnPlotOnlyFirstAndLastToggled();
  void OnListClick();
  void OnNew();
  void OnDelete();
  void OnMenuOpen();
  void OnMenuNew();
  void OnMenuSaveAs();
  void OnShowColors();
  void OnHelpFile();
  void OnAbout();
  void OnExecute();
  void OnFleetCheck();
  void OnCancel();
  void OnOpenDrawing();
  void AskSummaryFor(int vehicleType);
  // The clearance group lists the open drawing's layers; the report tab
  // centres the drawing window on the mark of the conflict chosen.
  void ConnectClearance();
  void ClearRunFigures();
  void ShowRunInDrawing(std::shared_ptr<const RunResultModel> run, const RunInputs& inputs);
  void TakeDrawingUnits();
  // Refuses a run before the pick when a field of the vehicle type does not
  // read or cannot be, or when no drawing is open; the button's own checks
  // come first. True when the run may start.
  bool CheckBeforeRun(const RunInputs& inputs);
  // Ends what a run left on screen that no longer holds once it has ended.
  void TidyAfterRun();
  // Marks a field whose text does not read, or cannot be, red with a tooltip.
  void MarkField(int dimension);
  // Marks at once every field of the vehicle's type that is needed but blank
  // or does not read, a missing unit, and for saving a missing name.
  void MarkVehicleFaults(bool nameNeeded);
  QListWidgetItem* SelectedEntry() const;
  QString WorkingLibraryPath(const QString& path) const;
  void ShowIllustration(int typeCode);
  void SelectListEntryWithRecord(int record);
  // The list row whose entry carries the name; -1 when none does.
  int RowNamed(const QString& name) const;
  void WriteVehicleFileSetting();

  UiServices mServices;
  std::unique_ptr<WindowHost> mHost;
  RunState mRunState;
  RunState mDiagramState;
  QString mVehicleFilePath;
  bool mNewRecordPending = false;
  int mLoadedVehicleType = 0;
  QString mHelpFile;
  QString mCadProgramId;
  // Declared before the drawing window, which reaches the attacher when it goes.
  cad::DrawingAttacher mAttacher;
  std::unique_ptr<cad::CadConnection> mConnection;
  std::unique_ptr<QtColourSettings> mColours;
  std::unique_ptr<DrawingWindow> mDrawingWindow;
  bool mRunning = false;
  bool mCloseRequested = false;
  int mRowAtPress = -1;  // selected list row when the mouse was pressed on the list
  SpeedUnit mRunSpeedUnit = SpeedUnit::KilometresPerHour;
  DiagramRun mRunDiagram;  // the vehicle and path unit of the run started last
  bool mUnloaded = false;
  bool mPlaced = false;

  QLineEdit* mName = nullptr;
  QLineEdit* mDescription = nullptr;
  QComboBox* mTypeList = nullptr;     // Combo1
  QComboBox* mPathUnit = nullptr;     // Combo2
  QComboBox* mVehicleUnit = nullptr;  // Combo3
  QComboBox* mSpeedUnit = nullptr;    // Combo4
  QListWidget* mList = nullptr;       // List1
  std::array<QLineEdit*, kDimensionCount> mFields{};
  std::array<QLabel*, 16> mDimensionCaptions{};  // by Dimension, F..H4
  std::array<QLabel*, 4> mSegmentHeaders{};      // "#1".."#4"
  QLabel* mTotalLength = nullptr;                // Label2
  QLabel* mImage = nullptr;                      // Image1
  QLineEdit* mSpeed = nullptr;
  QLineEdit* mPlotSpacing = nullptr;
  QLabel* mPlotSpacingLabel = nullptr;  // Label5
  QCheckBox* mReverse = nullptr;
  QCheckBox* mExactTracking = nullptr;
  QCheckBox* mPlotVehicle = nullptr;
  QCheckBox* mPlotOnlyFirstAndLast = nullptr;  // Check1
  QCheckBox* mPlotSweep = nullptr;
  QCheckBox* mPlotEnvelope = nullptr;  // Check2
  QTabWidget* mTabs = nullptr;
  QFrame* mFrame1 = nullptr;
  RunDiagramBox* mPicture2 = nullptr;
  ClearanceGroup* mClearanceGroup = nullptr;
  ClearanceReport* mClearanceReport = nullptr;
  RunDiagramBox* mPicture3 = nullptr;
  QPushButton* mExecute = nullptr;  // Command3
  QStatusBar* mStatusBar = nullptr;
  std::array<QLabel*, 2> mPanels{};
  QProgressBar* mProgressBar = nullptr;
  QPointer<frmVehicleTurningSettings> mSettingsDialog;
  QPointer<frmAbout> mAbout;
  QPointer<HelpWindow> mHelp;
  QPointer<FleetDialog> mFleet;
};

}  // namespace veerline::ui
