#include "ui/VehicleTurningWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>
#include <QWindow>
#include <variant>

#include "cad/CadConnection.h"
#include "engine/TurningRadius.h"
#include "run/ExecuteSweep.h"
#include "run/RunChecks.h"
#include "run/RunOptions.h"
#include "ui/AboutBox.h"
#include "ui/ClearanceGroup.h"
#include "ui/ClearanceReport.h"
#include "ui/DimensionHelp.h"
#include "ui/DesktopStart.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/ManoeuvrePick.h"
#include "ui/ElidedLabel.h"
#include "ui/FieldFaultText.h"
#include "ui/HelpWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/DriveTool.h"
#include "ui/PathTool.h"
#include "ui/QtColourSettings.h"
#include "ui/RunDiagramBox.h"
#include "ui/SettingsDialog.h"
#include "ui/SummaryCall.h"
#include "ui/UserLocale.h"
#include "ui/VehicleIllustrations.h"
#include "ui/WindowHost.h"

namespace veerline::ui {

frmVehicleTurning::frmVehicleTurning(UiServices services, QWidget* parent)
    : QMainWindow(parent), mServices(std::move(services)) {
  setObjectName(QStringLiteral("frmVehicleTurning"));
  // Above the drawing window, not above other programs: the window is the
  // drawing window's transient (set when first shown). X11 window managers
  // keep only a dialog-type window above its parent, so it is one, with the
  // buttons of a main window.
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Veerline, Vehicle Turning Simulation"));
  mHost = std::make_unique<WindowHost>(*this);
  BuildControls();
  BuildMenus();
  BuildStatusBar();
  mConnection = std::make_unique<cad::CadConnection>(mAttacher);
  mColours = std::make_unique<QtColourSettings>(mServices);
  mDrawingWindow = std::make_unique<DrawingWindow>(mServices, mAttacher);
  connect(mDrawingWindow.get(), &DrawingWindow::exitRequested, this, &QWidget::close);
  // Path corners start at the chosen vehicle's turning radius.
  mDrawingWindow->Editor().Path().SetRadiusSource(
      [this] { return MinCentrelineRadius(CurrentFields(), mHost->Symbols()); });
  mDrawingWindow->Editor().Path().SetGuidedOffsetSource(
      [this] { return StretchedAxleSpan(CurrentFields(), mHost->Symbols()); });
  // The Drive tool drives the window's vehicle at its speed and runs the result.
  DriveTool& drive = mDrawingWindow->Editor().Drive();
  drive.SetInputsSource([this] { return CurrentRunInputs(); });
  drive.SetGuidedOffsetSource(
      [this] { return StretchedAxleSpan(CurrentFields(), mHost->Symbols()); });
  drive.SetRunner([this](const std::string& handle) { ExecuteOnHandle(handle); });
  ConnectClearance();
  // Fields start with their defaults, written with the user's decimal symbol.
  const VehicleFields defaults = VehicleFields::Defaults(mHost->Symbols());
  for (int i = 0; i < kDimensionCount; ++i)
    mFields[i]->setText(QString::fromStdString(defaults.texts[i]));
  FormLoad();
}

frmVehicleTurning::~frmVehicleTurning() = default;

Host& frmVehicleTurning::WindowHostRef() { return *mHost; }

HelpWindow* frmVehicleTurning::Help() const { return mHelp; }

QWidget* frmVehicleTurning::Picture2() const { return mPicture2; }

QWidget* frmVehicleTurning::Picture3() const { return mPicture3; }

QString frmVehicleTurning::DefaultVehicleFilePath() const {
  return QDir(mServices.dataFolder).filePath(QStringLiteral("DefaultVehicles.vdt"));
}

QString frmVehicleTurning::ShippedVehicleFilePath() const {
  return QDir(mServices.programFolder).filePath(QStringLiteral("DefaultVehicles.vdt"));
}

VehicleFields frmVehicleTurning::CurrentFields() const {
  VehicleFields fields;
  fields.txt_Name = mName->text().toStdString();
  fields.Text1 = mDescription->text().toStdString();
  fields.Type = static_cast<std::int16_t>(
      mTypeList->currentIndex() < 0 ? 0 : mTypeList->currentData().toInt());
  // The unit list's item data equals its position; no selection reads as -1.
  fields.Unit = static_cast<std::int16_t>(mVehicleUnit->currentIndex());
  for (int i = 0; i < kDimensionCount; ++i) fields.texts[i] = mFields[i]->text().toStdString();
  return fields;
}

RunInputs frmVehicleTurning::CurrentRunInputs() const {
  RunInputs inputs;
  inputs.vehicle = CurrentFields();
  inputs.pathUnit = mPathUnit->currentIndex();
  inputs.speedUnit = mSpeedUnit->currentIndex();
  inputs.txt_Speed = mSpeed->text().toStdString();
  inputs.txt_plotSpacing = mPlotSpacing->text().toStdString();
  inputs.plotVehicle = mPlotVehicle->isChecked();
  inputs.plotOnlyFirstAndLast = mPlotOnlyFirstAndLast->isChecked();
  inputs.plotSweep = mPlotSweep->isChecked();
  inputs.plotPerimeter = mPlotEnvelope->isChecked();
  inputs.reverse = mReverse->isChecked();
  inputs.exactTracking = mExactTracking->isChecked();
  inputs.obstacleLayers = mClearanceGroup->ChosenLayers();
  inputs.txt_ClearanceMargin = mClearanceGroup->MarginText();
  return inputs;
}

void frmVehicleTurning::ShowFieldsForType(int typeCode) {
  for (int segment = 1; segment < 4; ++segment) mSegmentHeaders[segment]->hide();
  for (int d = 0; d < 16; ++d) {
    const auto dimension = static_cast<Dimension>(d);
    const bool alwaysShown = dimension == Dimension::Front || dimension == Dimension::Wheelbase ||
                             dimension == Dimension::Back;
    mDimensionCaptions[d]->setVisible(alwaysShown);
    mFields[d]->setVisible(alwaysShown);
  }
  for (int segment = 1; segment < 4; ++segment) {
    mFields[static_cast<int>(Dimension::VehicleWidth) + segment]->hide();
    mFields[static_cast<int>(Dimension::WheelWidth) + segment]->hide();
  }
  ShowDimensionHelp(typeCode, mDimensionCaptions, mFields, mImage);
  const VehicleTypeInfo* info = FindVehicleType(typeCode);
  if (info == nullptr) return;
  for (Dimension dimension : info->dimensionsUsed) {
    mDimensionCaptions[static_cast<int>(dimension)]->show();
    mFields[static_cast<int>(dimension)]->show();
  }
  for (int segment = 1; segment < info->segmentCount; ++segment) {
    mSegmentHeaders[segment]->show();
    mFields[static_cast<int>(Dimension::VehicleWidth) + segment]->show();
    mFields[static_cast<int>(Dimension::WheelWidth) + segment]->show();
  }
}

void frmVehicleTurning::MoveProgressBarIntoPanel(QProgressBar* bar, QStatusBar* status, int panel) {
  if (panel < 1 || panel > static_cast<int>(mPanels.size())) return;
  const QLabel* target = mPanels[panel - 1];
  const int left = status->x() + target->x();
  bar->setGeometry(left, height() - status->height() + 2, target->width(), status->height() - 2);
  bar->raise();
}

MessageAnswer frmVehicleTurning::ShowMessage(MessageKind kind, const QString& title,
                                             const QString& text) {
  return mServices.showMessage(this, kind, title, text);
}

void frmVehicleTurning::SetStatusPanelText(int panel, const QString& text) {
  if (panel == 0)
    static_cast<ElidedLabel*>(mPanels[0])->SetFullText(text);
  else if (panel > 0 && panel < static_cast<int>(mPanels.size()))
    mPanels[panel]->setText(text);
}

QString frmVehicleTurning::StatusPanelText(int panel) const {
  if (panel < 0 || panel >= static_cast<int>(mPanels.size())) return {};
  return mPanels[panel]->text();
}

void frmVehicleTurning::SetTotalLengthCaption(const QString& caption) {
  mTotalLength->setText(caption);
  mTotalLength->repaint();
}

void frmVehicleTurning::AskSummaryFor(int vehicleType) {
  AskSummary(vehicleType, CurrentFields(), *mHost);
}

void frmVehicleTurning::ShowIllustration(int typeCode) {
  const VehicleTypeInfo* info = FindVehicleType(typeCode);
  if (info == nullptr) {
    mImage->clear();
    return;
  }
  mImage->setPixmap(VehicleIllustration(QString::fromLatin1(info->key.data(), info->key.size())));
}

void frmVehicleTurning::OnTypeChanged() {
  const int type = mTypeList->currentIndex() < 0 ? 0 : mTypeList->currentData().toInt();
  if (FindVehicleType(type) != nullptr) {
    ShowIllustration(type);
    ShowFieldsForType(type);
  }
  AskSummaryFor(type);
}

// The summary follows the vehicle last loaded from the list, not the type list.
void frmVehicleTurning::OnPathUnitChanged() { AskSummaryFor(mLoadedVehicleType); }

void frmVehicleTurning::OnDimensionKeyReleased() { AskSummaryFor(mLoadedVehicleType); }

void frmVehicleTurning::OnPlotVehicleToggled() {
  if (mPlotVehicle->isChecked()) {
    mPlotOnlyFirstAndLast->setEnabled(true);
    const bool spacingEnabled = !mPlotOnlyFirstAndLast->isChecked();
    mPlotSpacing->setEnabled(spacingEnabled);
    mPlotSpacingLabel->setEnabled(spacingEnabled);
  } else {
    mPlotOnlyFirstAndLast->setEnabled(false);
    mPlotSpacing->setEnabled(false);
    mPlotSpacingLabel->setEnabled(false);
  }
}

void frmVehicleTurning::OnPlotOnlyFirstAndLastToggled() {
  const bool spacingEnabled = !mPlotOnlyFirstAndLast->isChecked();
  mPlotSpacing->setEnabled(spacingEnabled);
  mPlotSpacingLabel->setEnabled(spacingEnabled);
}

// Runs the Execute button's checks and the run on the open drawing. A second
// press while a run is in progress (its pick and station loop let window
// events through) is refused, and the drawing cannot be replaced meanwhile.
void frmVehicleTurning::OnExecute() {
  if (mRunning) return;
  const RunInputs inputs = CurrentRunInputs();
  if (!CheckBeforeRun(inputs)) {
    emit runFinished(RunOutcome::Ended);
    return;
  }
  mRunning = true;
  mExecute->setEnabled(false);
  mDrawingWindow->SetRunInProgress(true);
  // The speed track is recorded in the unit chosen now; the diagram keeps it.
  mRunSpeedUnit = inputs.speedUnit == 1   ? SpeedUnit::MilesPerHour
                  : inputs.speedUnit == 2 ? SpeedUnit::MetresPerSecond
                                          : SpeedUnit::KilometresPerHour;
  mRunDiagram = {QString::fromStdString(inputs.vehicle.txt_Name).trimmed(), inputs.vehicle.Type,
                 inputs.pathUnit};
  RunContext context{*mHost, *mConnection, *mColours, mRunState};
  context.manoeuvreOf = [this](cad::CadEntity& picked) {
    return ManoeuvreOfPick(mDrawingWindow->Drawing(), picked);
  };
  RunOutcome outcome = RunOutcome::Ended;
  RunResult result;
  try {
    result = ExecuteButton(inputs, context);
    outcome = result.outcome;
  } catch (const std::exception& error) {
    // The run reports its own failures; this only keeps an unexpected one
    // from ending the program.
    mHost->RestoreMainWindow();
    ShowMessage(MessageKind::Warning, QString::fromLatin1(kFailureTitle),
                QString::fromStdString(error.what()) + QStringLiteral(" Execute sweep"));
  }
  mDrawingWindow->SetRunInProgress(false);
  mExecute->setEnabled(true);
  mRunning = false;
  const auto run = std::make_shared<const RunResultModel>(MakeRunResultModel(
      result, mRunState, {}, inputs.speedUnit, inputs.vehicle.Type, StatusPanelText(0).toStdString()));
  mClearanceReport->Show(run->clearance, mHost->Symbols());
  mClearanceGroup->ShowLayers(mAttacher.Current());
  if (run->RunHappened()) ShowRunInDrawing(run, inputs);
  TidyAfterRun();
  emit runFinished(outcome);
  if (mCloseRequested) close();
}

void frmVehicleTurning::ConnectClearance() {
  connect(mDrawingWindow.get(), &DrawingWindow::drawingChanged, this, [this] {
    mClearanceGroup->ShowLayers(mAttacher.Current());
    TakeDrawingUnits();
  });
  // A row chosen highlights the obstacle and zooms in on its mark, some ten
  // metres around it in the run's path unit.
  connect(mClearanceReport, &ClearanceReport::conflictChosen, this,
          [this](const QString& handle, QPointF mark) {
            mDrawingWindow->View()->SetHighlight(handle.toStdString());
            mDrawingWindow->View()->ZoomOn(mark, 10 / MetresPerUnit(mRunDiagram.pathUnit));
          });
  connect(&mDrawingWindow->Editor(), &DrawingEditor::runUndone, this,
          &frmVehicleTurning::ClearRunFigures);
  // The diagrams' cursor follows the drawing window's playback.
  connect(mDrawingWindow.get(), &DrawingWindow::playbackStationChanged, this,
          [this](std::optional<double> station) {
            mPicture2->ShowCursorAt(station);
            mPicture3->ShowCursorAt(station);
          });
}

// Hands the run to the drawing window for playback and the report, with what
// the report says of it beside its results.
void frmVehicleTurning::ShowRunInDrawing(std::shared_ptr<const RunResultModel> run,
                                         const RunInputs& inputs) {
  const NumberSymbols symbols = mHost->Symbols();
  paint::ReportTitle title;
  const QString drawing = mDrawingWindow->DrawingPath();
  title.drawingFile = drawing.isEmpty() ? tr("(unsaved drawing)") : QFileInfo(drawing).fileName();
  title.date = QLocale().toString(QDate::currentDate(), QLocale::ShortFormat);
  title.vehicleName = QString::fromStdString(inputs.vehicle.txt_Name).trimmed();
  title.vehicleSource = tr("library %1").arg(QFileInfo(mVehicleFilePath).fileName());
  static const char* const kUnits[] = {"", "m", "dm", "cm", "mm", "ft", "in"};
  title.unitLabel = inputs.pathUnit >= 0 && inputs.pathUnit <= 6
                        ? QString::fromLatin1(kUnits[inputs.pathUnit])
                        : QString();
  title.speed = TryParseFieldNumber(inputs.txt_Speed, symbols);
  title.lockToLock = TryParseFieldNumber(inputs.vehicle[Dimension::LockToLockTime], symbols);
  // The speed checked, in metres a second, sets the pace of real-time playback.
  const double perUnit = inputs.speedUnit == 1 ? 0.44704 : inputs.speedUnit == 2 ? 1 : 1 / 3.6;
  const double metresPerSecond = title.speed ? *title.speed * perUnit : 0;
  mDrawingWindow->SetRunResult(std::move(run), title, metresPerSecond,
                               [this] { return mHost->Symbols(); });
}

// A drawing that says its unit ($INSUNITS) sets the path unit when it opens.
void frmVehicleTurning::TakeDrawingUnits() {
  const cad::DrawingModel* drawing = mAttacher.Current();
  if (drawing == nullptr) return;
  const std::optional<double> code = drawing->HeaderReal("$INSUNITS");
  if (!code) return;
  // $INSUNITS codes: 1 inches, 2 feet, 4 millimetres, 5 centimetres,
  // 6 metres, 14 decimetres; the list's positions follow its own order.
  const std::array<std::pair<int, int>, 6> positions{
      {{1, 6}, {2, 5}, {4, 4}, {5, 3}, {6, 1}, {14, 2}}};
  for (const auto& [insunits, position] : positions)
    if (*code == insunits) mPathUnit->setCurrentIndex(position);
}

// The figures of a run whose output was undone go with it: the diagrams, the
// summary in the status line and the clearance report.
void frmVehicleTurning::ClearRunFigures() {
  mDrawingWindow->ClearRunResult();
  mDiagramState.Reset();
  mPicture2->ClearRun();
  mPicture3->ClearRun();
  mClearanceReport->Show(ClearanceResult{}, mHost->Symbols());
  SetStatusPanelText(0, QString());
}

bool frmVehicleTurning::CheckBeforeRun(const RunInputs& inputs) {
  MarkVehicleFaults(false);
  // What the button refuses itself is reported by it when the run starts.
  const NumberSymbols symbols = mHost->Symbols();
  if (std::holds_alternative<RunMessage>(MakeRunOptions(inputs, symbols))) return true;
  // A bad lock-to-lock time has the button's own message.
  const std::optional<FieldFaultAt> fault = FirstFieldFault(inputs.vehicle, symbols);
  if (fault && fault->field != Dimension::LockToLockTime) {
    const QString text = QString::fromStdString(inputs.vehicle[fault->field]);
    ShowMessage(MessageKind::Warning, QStringLiteral("Bad value"),
                FieldFaultMessage(fault->field, fault->fault, text, UserDecimalSeparator()));
    mFields[static_cast<int>(fault->field)]->setFocus();
    return false;
  }
  if (mAttacher.Current() == nullptr) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Reading from drawing"),
                QStringLiteral("No drawing is open. Open a drawing in the drawing window first "
                               "(File > Open drawing...), then press Execute again."));
    return false;
  }
  return true;
}

// The pick's highlight and the texts of the run's steps go once the run has
// ended; a run that finished has replaced them already.
void frmVehicleTurning::TidyAfterRun() {
  mDrawingWindow->View()->SetHighlight(std::string());
  const QString status = StatusPanelText(0);
  if (status == QString::fromLatin1(kPickPrompt) ||
      status.startsWith(QStringLiteral("Evaluating")) ||
      status == QStringLiteral("Cleaning up....please wait"))
    SetStatusPanelText(0, QString());
}

namespace {

// Marks a control red with a tooltip saying why, or takes the mark away.
// A control that is clear again shows its help (none when empty).
void SetFaultMark(QWidget* control, bool atFault, const QString& tip,
                  const QString& help = QString()) {
  control->setProperty("fault", atFault);
  const QString kind = QString::fromLatin1(control->metaObject()->className());
  control->setStyleSheet(atFault ? QStringLiteral("%1 { background-color: #ffc8c8; }").arg(kind)
                                 : QString());
  control->setToolTip(atFault ? tip : help);
}

}  // namespace

void frmVehicleTurning::MarkField(int dimension) {
  QLineEdit* field = mFields[dimension];
  const FieldFault fault = CheckFieldText(static_cast<Dimension>(dimension),
                                          field->text().toStdString(), mHost->Symbols());
  const bool atFault = fault != FieldFault::None;
  if (field->property("fault").toBool() == atFault && !atFault) return;
  // Once the text reads again the field says what it measures.
  const int type = mTypeList->currentIndex() < 0 ? 0 : mTypeList->currentData().toInt();
  SetFaultMark(field, atFault, FieldFaultTip(fault, UserDecimalSeparator()),
               DimensionHelp(type, static_cast<Dimension>(dimension)));
}

void frmVehicleTurning::MarkVehicleFaults(bool nameNeeded) {
  const int type = mTypeList->currentIndex() < 0 ? 0 : mTypeList->currentData().toInt();
  const NumberSymbols symbols = mHost->Symbols();
  const bool noName = nameNeeded && mName->text().trimmed().isEmpty();
  SetFaultMark(mName, noName, QStringLiteral("The vehicle needs a name."));
  const bool noUnit = mVehicleUnit->currentIndex() < 0 || mVehicleUnit->currentData().toInt() == 0;
  SetFaultMark(mVehicleUnit, noUnit, QStringLiteral("Choose the unit of the vehicle's lengths."));
  for (Dimension d : FieldsOfType(type)) {
    QLineEdit* field = mFields[static_cast<int>(d)];
    const std::string text = field->text().toStdString();
    const bool blank = field->text().trimmed().isEmpty();
    const FieldFault fault = CheckFieldText(d, text, symbols);
    if (blank && FieldRequired(type, d))
      SetFaultMark(field, true, QStringLiteral("A value is needed here."));
    else if (fault != FieldFault::None)
      SetFaultMark(field, true, FieldFaultTip(fault, UserDecimalSeparator()));
  }
}

// The diagrams keep their own copy of the tracks, as a drawn picture keeps its
// pixels: a later pick that is cancelled, or a check that refuses the run,
// resets the run state but leaves the diagrams of the last run.
void frmVehicleTurning::DrawRunDiagrams() {
  mDiagramState.stationTrack = mRunState.stationTrack;
  mDiagramState.steeringTrack = mRunState.steeringTrack;
  mDiagramState.articulationTrack1 = mRunState.articulationTrack1;
  mDiagramState.articulationTrack2 = mRunState.articulationTrack2;
  mDiagramState.articulationTrack3 = mRunState.articulationTrack3;
  mDiagramState.speedTrack = mRunState.speedTrack;
  mPicture2->SetSpeedUnit(mRunSpeedUnit);
  mPicture2->SetRun(mRunDiagram);
  mPicture3->SetRun(mRunDiagram);
  mPicture3->update();
  mPicture2->update();
}

// Puts the diagram on the clipboard as an image of the box's size. An empty
// box copies nothing.
void frmVehicleTurning::CopyPictureToClipboard(RunDiagramBox* box) {
  try {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr) return;
    clipboard->clear();
    const QImage image = box->Render();
    if (image.isNull()) return;
    clipboard->setImage(image);
  } catch (const std::exception& error) {
    ShowMessage(MessageKind::Warning, QString::fromLatin1(kFailureTitle),
                QString::fromStdString(error.what()) + QStringLiteral(" Load frm"));
  }
}

void frmVehicleTurning::OnOpenDrawing() {
  mDrawingWindow->show();
  mDrawingWindow->raise();
  mDrawingWindow->activateWindow();
  mDrawingWindow->OnOpenDrawing();
}

// Stops a run in progress at its next check and closes the program.
void frmVehicleTurning::OnCancel() {
  mRunState.stopRequested = true;
  close();
}

void frmVehicleTurning::OnShowColors() {
  if (mSettingsDialog == nullptr) {
    mSettingsDialog = new frmVehicleTurningSettings(mServices, this);
    mSettingsDialog->setAttribute(Qt::WA_DeleteOnClose);
  }
  mSettingsDialog->show();
  mSettingsDialog->raise();
  mSettingsDialog->activateWindow();
}

void frmVehicleTurning::OnAbout() {
  if (mAbout == nullptr) {
    mAbout = new frmAbout(mServices, this);
    mAbout->setAttribute(Qt::WA_DeleteOnClose);
  }
  mAbout->show();
  mAbout->raise();
  mAbout->activateWindow();
}

// Shows the user guide that ships beside the program at its first page.
void frmVehicleTurning::OnHelpFile() {
  if (!FileExists(mHelpFile)) {
    ShowMessage(
        MessageKind::Warning, QStringLiteral("Veerline"),
        QStringLiteral("Can't find the help file %1").arg(QDir::toNativeSeparators(mHelpFile)));
    return;
  }
  if (mHelp == nullptr) {
    mHelp = new HelpWindow(this);
    mHelp->setAttribute(Qt::WA_DeleteOnClose);
  }
  mHelp->ShowPage(QUrl::fromLocalFile(mHelpFile));
}

void frmVehicleTurning::closeEvent(QCloseEvent* event) {
  if (mUnloaded) {
    event->accept();
    return;
  }
  if (mRunning) {
    // A run in progress is stopped first, as Cancel stops it (a waiting pick
    // ends as cancelled); the window closes when the run has ended.
    mCloseRequested = true;
    mRunState.stopRequested = true;
    mDrawingWindow->Picker().CancelPick();
    event->ignore();
    return;
  }
  // A drawing changed by runs is offered for saving; Cancel keeps the program open.
  if (!mDrawingWindow->OfferToSaveChanges()) {
    mCloseRequested = false;
    event->ignore();
    return;
  }
  mUnloaded = true;
  FormUnload();
  if (mSettingsDialog != nullptr) mSettingsDialog->close();
  if (mAbout != nullptr) mAbout->close();
  if (mHelp != nullptr) mHelp->close();
  mDrawingWindow->close();
  event->accept();
  emit closed();
}

void frmVehicleTurning::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  MoveProgressBarIntoPanel(mProgressBar, mStatusBar, 2);
}

// The first show keeps the window above the drawing window and lays the two
// out on the screen.
void frmVehicleTurning::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (mPlaced) return;
  mPlaced = true;
  mDrawingWindow->winId();  // the drawing window needs its native window to be a parent
  if (windowHandle() != nullptr) windowHandle()->setTransientParent(mDrawingWindow->windowHandle());
  if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  PlaceDesktopWindows(*this, *mDrawingWindow);
}

bool frmVehicleTurning::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && watched == mList->viewport()) {
    mRowAtPress = SelectedEntry() != nullptr ? mList->currentRow() : -1;
  } else if (event->type() == QEvent::KeyRelease && qobject_cast<QLineEdit*>(watched) != nullptr) {
    OnDimensionKeyReleased();
  } else if ((event->type() == QEvent::Resize || event->type() == QEvent::Move) &&
             (watched == mPanels[0] || watched == mPanels[1])) {
    MoveProgressBarIntoPanel(mProgressBar, mStatusBar, 2);
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace veerline::ui
