// Run > Fleet check in the main window: the checks before the pick, the pick
// of the path as Execute makes it, the fleet dialog, and the run of a chosen
// row's vehicle into the drawing.
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <filesystem>

#include "cad/CadConnection.h"
#include "cad/ScriptedPicker.h"
#include "cad/dxf/DxfWriter.h"
#include "library/VehicleDataFile.h"
#include "run/ExecuteSweep.h"
#include "run/RunChecks.h"
#include "ui/DrawingWindow.h"
#include "ui/FleetDialog.h"
#include "ui/InteractivePicker.h"
#include "ui/VehicleTurningWindow.h"
#include "ui/WindowHost.h"

namespace veerline::ui {
namespace {

QString SpeedUnitShort(int code) {
  return code == 1 ? QStringLiteral("mph") : code == 2 ? QStringLiteral("m/s") : QStringLiteral("km/h");
}

QString LengthUnitShort(int code) {
  static const char* const kNames[] = {"", "m", "dm", "cm", "mm", "ft", "in"};
  return code >= 0 && code <= 6 ? QString::fromLatin1(kNames[code]) : QString();
}

bool IsPolyline(int type) {
  return type == cad::kEntityLightWeightPolyline || type == cad::kEntityPolyline;
}

}  // namespace

void frmVehicleTurning::OnFleetCheck() {
  if (mRunning) return;
  const RunInputs inputs = CurrentRunInputs();
  const NumberSymbols symbols = mHost->Symbols();
  // The options every vehicle shares are checked once, before the pick, with
  // the Execute button's own messages; each vehicle's own refusals are its row's.
  RunInputs shared = inputs;
  shared.vehicle.Unit = static_cast<std::int16_t>(shared.pathUnit);
  shared.vehicle[Dimension::LockToLockTime] = "1";
  if (const auto message = CheckExecuteButton(shared)) {
    ShowMessage(message->kind, QString::fromStdString(message->title),
                QString::fromStdString(message->text));
    return;
  }
  if (mAttacher.Current() == nullptr) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Reading from drawing"),
                QStringLiteral("No drawing is open. Open a drawing in the drawing window first "
                               "(File > Open drawing...), then choose Run > Fleet check again."));
    return;
  }
  std::vector<FleetVehicle> vehicles;
  try {
    for (const library::NumberedVehicle& v :
         library::ReadVehiclesInUse(std::filesystem::path(QFile::encodeName(mVehicleFilePath).toStdString())))
      vehicles.push_back({v.record, v.vehicle});
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Veerline"), QString::fromUtf8(failure.what()));
    return;
  }
  if (vehicles.empty()) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Fleet check"),
                QStringLiteral("The open library holds no vehicle."));
    return;
  }
  if (mFleet != nullptr) mFleet->close();

  // The pick, as Execute makes it: the main window steps aside and the
  // drawing window asks for the path.
  mRunning = true;
  mDrawingWindow->SetRunInProgress(true);
  cad::CadEntity* entity = nullptr;
  try {
    mConnection->Attach();
    mHost->MinimiseMainWindow();
    mDrawingWindow->show();
    mDrawingWindow->raise();
    SetStatusPanelText(0, QString::fromLatin1(kPickPrompt));
    entity = cad::entselPoly(*mConnection, kPickPrompt);
  } catch (const std::exception&) {
    entity = nullptr;
  }
  mHost->RestoreMainWindow();
  mDrawingWindow->SetRunInProgress(false);
  mRunning = false;
  TidyAfterRun();
  if (mCloseRequested) {
    close();
    return;
  }
  if (entity == nullptr || mAttacher.Current() == nullptr) return;
  if (!IsPolyline(entity->EntityType())) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Fleet check"),
                QStringLiteral("The vehicles drive along a polyline: pick the path polyline."));
    return;
  }

  FleetRequest request;
  request.drawingText = cad::WriteDxfText(*mAttacher.Current());
  request.drawingName = QFileInfo(mDrawingWindow->DrawingPath()).fileName().toStdString();
  request.pathHandle = entity->Handle();
  request.inputs = inputs;
  request.symbols = symbols;
  request.library = QFileInfo(mVehicleFilePath).fileName().toStdString();
  mFleet = new FleetDialog(std::move(request), std::move(vehicles),
                           SpeedUnitShort(inputs.speedUnit), LengthUnitShort(inputs.pathUnit),
                           this);
  mFleet->setAttribute(Qt::WA_DeleteOnClose);
  connect(mFleet, &QDialog::rejected, mFleet, &QWidget::close);
  connect(mFleet, &FleetDialog::vehicleChosen, this, [this](int record) {
    if (mFleet != nullptr) ExecuteOnPath(record, mFleet->PathHandle());
  });
  mFleet->show();
}

void frmVehicleTurning::ExecuteOnPath(int record, const std::string& handle) {
  if (mRunning) return;
  const int before = SelectedEntry() != nullptr ? SelectedEntry()->data(Qt::UserRole).toInt() : -1;
  SelectListEntryWithRecord(record);
  if (SelectedEntry() == nullptr || SelectedEntry()->data(Qt::UserRole).toInt() != record) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Fleet check"),
                QStringLiteral("That vehicle is no longer in the open library."));
    return;
  }
  if (before == record) LoadVehicle(record);  // its fields as stored, whatever was typed since
  ExecuteOnHandle(handle);
}

void frmVehicleTurning::ExecuteOnHandle(const std::string& handle) {
  // The drawing's pick answers with the handle once, then the window's own
  // pick is back.
  cad::DrawingApplication* application = mAttacher.Application();
  cad::ScriptedPicker picker;
  picker.PickHandle(handle);
  if (application != nullptr) application->SetPicker(&picker);
  OnExecute();
  if (application != nullptr && application == mAttacher.Application())
    application->SetPicker(&mDrawingWindow->Picker());
}

FleetDialog* frmVehicleTurning::Fleet() const { return mFleet; }

}  // namespace veerline::ui
