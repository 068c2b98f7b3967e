// The vehicle list and the commands on the current library file.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include "library/VehicleDataFile.h"
#include "ui/FileFolders.h"
#include "ui/StandardLibraries.h"
#include "ui/SummaryCall.h"
#include "ui/UserLocale.h"
#include "ui/VehicleTurningWindow.h"

namespace veerline::ui {
namespace {

namespace fs = std::filesystem;

constexpr int kNameLength = 100;
const QString kVeerlineTitle = QStringLiteral("Veerline");
const QString kOpenCaption = QStringLiteral("Vehicle Turning Simulation ");

fs::path ToPath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

// A failure of a window procedure with its own text.
class WindowFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Creates an empty library file where none exists.
void CreateEmptyLibrary(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
    throw WindowFailure(QStringLiteral("Can't create the vehicle file %1: %2")
                            .arg(path, file.errorString())
                            .toStdString());
}

// The name of a copy: "Copy of " and the stored 100-character name, cut to 100.
QString CopyName(const QString& name) {
  const QString stored = name.leftJustified(kNameLength, QChar(' '), true);
  QString copy = (QStringLiteral("Copy of ") + stored).left(kNameLength);
  while (copy.endsWith(QChar(' '))) copy.chop(1);
  return copy;
}

// A failure's own text; one the system reports on the file says so in the
// user's words: "The library fleet.vdt cannot be written: permission denied."
QString FailureText(const std::exception& failure, const QString& library) {
  QString reason = QString::fromUtf8(failure.what());
  if (dynamic_cast<const library::LibrarySystemError*>(&failure) == nullptr) return reason;
  if (!reason.isEmpty()) reason[0] = reason[0].toLower();
  return QStringLiteral("The library %1 cannot be written: %2.")
      .arg(QFileInfo(library).fileName(), reason);
}

}  // namespace

// The shipped default library is never worked on in place: the user's copy in
// the data folder stands for it, made from it when there is none yet.
QString frmVehicleTurning::WorkingLibraryPath(const QString& path) const {
  QString shipped = QFileInfo(ShippedVehicleFilePath()).absoluteFilePath();
  QString copy = DefaultVehicleFilePath();
  const QString chosen = QFileInfo(path).absoluteFilePath();
  // The standard libraries beside the program are shipped files too: the
  // user works on a copy of each in the data folder.
  if (IsStandardLibrary(mServices.programFolder, chosen)) {
    shipped = chosen;
    copy = QDir(mServices.dataFolder).filePath(QFileInfo(chosen).fileName());
  }
  if (chosen != shipped && chosen != QFileInfo(copy).absoluteFilePath()) return path;
  QDir().mkpath(QFileInfo(copy).absolutePath());
  if (!FileExists(copy) && FileExists(shipped) && QFile::copy(shipped, copy))
    QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner);
  return copy;
}

QListWidgetItem* frmVehicleTurning::SelectedEntry() const {
  QListWidgetItem* item = mList->currentItem();
  return item != nullptr && item->isSelected() ? item : nullptr;
}

bool frmVehicleTurning::FileExists(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

void frmVehicleTurning::LoadVehicleList(const QString& path) {
  {
    const QSignalBlocker blocker(mList);
    mList->clear();
  }
  QString listed = path;
  if (!FileExists(path)) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Open File"),
                QStringLiteral("Can't find saved Vehicle File! Please open file"));
    const QString chosen =
        ChooseFileInLastFolder(mServices, this, FileDialogKind::Open);
    if (!chosen.isEmpty()) {
      mVehicleFilePath = WorkingLibraryPath(chosen);
      SetCaption(kOpenCaption);
      WriteVehicleFileSetting();
      listed = mVehicleFilePath;
    }
  }
  const QSignalBlocker blocker(mList);
  try {
    if (!FileExists(listed)) CreateEmptyLibrary(listed);
    // A drawing or any other file taken for a library is refused, not listed.
    library::CheckVehicleLibrary(ToPath(listed));
    for (const library::ListedVehicle& vehicle : library::ListVehicleRecords(ToPath(listed))) {
      auto* item = new QListWidgetItem(QString::fromStdString(vehicle.name));
      item->setData(Qt::UserRole, vehicle.record);
      mList->addItem(item);
    }
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, kVeerlineTitle, QString::fromUtf8(failure.what()));
  }
  mList->setCurrentRow(-1);
}

void frmVehicleTurning::OnListClick() {
  mNewRecordPending = false;
  QListWidgetItem* item = SelectedEntry();
  if (item != nullptr) LoadVehicle(item->data(Qt::UserRole).toInt());
}

void frmVehicleTurning::LoadVehicle(int record) {
  try {
    const VehicleRecord vehicle = library::ReadVehicleRecord(ToPath(mVehicleFilePath), record);
    mLoadedVehicleType = vehicle.Type;
    ShowIllustration(vehicle.Type);
    const int typeEntry = mTypeList->findData(static_cast<int>(vehicle.Type));
    if (typeEntry < 0)
      throw WindowFailure("Invalid property value: the vehicle has type code " +
                          std::to_string(vehicle.Type) + ", which the type list does not have.");
    mTypeList->setCurrentIndex(typeEntry);
    const int unitEntry = mVehicleUnit->findData(static_cast<int>(vehicle.Unit));
    if (unitEntry < 0)
      throw WindowFailure("Invalid property value: the vehicle has unit code " +
                          std::to_string(vehicle.Unit) + ", which the unit list does not have.");
    mVehicleUnit->setCurrentIndex(unitEntry);

    const VehicleFields texts = VehicleFields::FromRecord(vehicle, UserNumberSymbols());
    mName->setText(QString::fromStdString(vehicle.Name).trimmed());
    mDescription->setText(QString::fromStdString(vehicle.Description).trimmed());
    for (Dimension limit :
         {Dimension::MaxTurningAngle, Dimension::MaxSegmentAngle, Dimension::LockToLockTime})
      mFields[static_cast<int>(limit)]->setText(QString::fromStdString(texts[limit]));

    // Only the fields the type shows are filled; the others keep their texts.
    ShowFieldsForType(vehicle.Type);
    const VehicleTypeInfo* info = FindVehicleType(vehicle.Type);
    for (Dimension dimension : info->dimensionsUsed)
      mFields[static_cast<int>(dimension)]->setText(QString::fromStdString(texts[dimension]));
    for (int segment = 0; segment < info->segmentCount; ++segment) {
      for (Dimension first : {Dimension::VehicleWidth, Dimension::WheelWidth}) {
        const int d = static_cast<int>(first) + segment;
        mFields[d]->setText(QString::fromStdString(texts.texts[d]));
      }
    }
    AskSummaryFor(vehicle.Type);
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, kVeerlineTitle, QString::fromUtf8(failure.what()));
  }
}

void frmVehicleTurning::ClearTextboxes() {
  mName->clear();
  mDescription->clear();
  for (QLineEdit* field : mFields) field->clear();
}

void frmVehicleTurning::OnNew() {
  ClearTextboxes();
  mNewRecordPending = true;
}

void frmVehicleTurning::SelectListEntryWithRecord(int record) {
  for (int row = 0; row < mList->count(); ++row) {
    if (mList->item(row)->data(Qt::UserRole).toInt() == record) {
      mList->setCurrentRow(row);
      return;
    }
  }
}

void frmVehicleTurning::SaveOrCopyVehicle(const QString& mode) {
  MarkVehicleFaults(true);
  const QString name = mName->text().trimmed();
  if (name.isEmpty()) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Missing value"),
                QStringLiteral("Please Input Name for the Vehicle"));
    return;
  }
  if (mVehicleUnit->currentIndex() < 0 || mVehicleUnit->currentData().toInt() == 0) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Missing value"),
                QStringLiteral("Please select Unit for the Vehicle"));
    return;
  }
  auto report = [this](const QString& description) {
    ShowMessage(MessageKind::Warning, kVeerlineTitle,
                description + QStringLiteral(" Prepare to Save or Copy"));
  };
  try {
    VehicleFields fields = CurrentFields();
    fields.Unit = static_cast<std::int16_t>(mVehicleUnit->currentData().toInt());
    VehicleRecord vehicle = fields.ToRecord(UserNumberSymbols());
    vehicle.Name = name.toStdString();
    vehicle.Description = mDescription->text().trimmed().toStdString();
    const fs::path file = ToPath(mVehicleFilePath);
    std::int32_t written = 0;
    if (mode == QStringLiteral("Copy")) {
      mNewRecordPending = true;
      vehicle.Name = CopyName(name).toStdString();
      written = library::AddVehicleRecord(file, vehicle);
    } else if (mList->count() == 0 || mNewRecordPending) {
      written = library::AddVehicleRecord(file, vehicle);
    } else if (SelectedEntry() != nullptr) {
      written = SelectedEntry()->data(Qt::UserRole).toInt();
      library::WriteVehicleRecord(file, vehicle, written);
    } else {
      ShowMessage(MessageKind::Error, QStringLiteral("Save Setting"),
                  QStringLiteral("Nothing selected in List!"));
      return;
    }
    mNewRecordPending = false;
    LoadVehicleList(mVehicleFilePath);
    SelectListEntryWithRecord(written);
  } catch (const ConversionError& failure) {
    report(QString::fromStdString(failure.description));
  } catch (const std::exception& failure) {
    report(FailureText(failure, mVehicleFilePath));
  }
}

void frmVehicleTurning::OnDelete() {
  QListWidgetItem* item = SelectedEntry();
  if (item == nullptr) return;
  const int oldRow = mList->row(item);
  const MessageAnswer answer =
      ShowMessage(MessageKind::Question, QStringLiteral("Delet Vehicle"),
                  QStringLiteral("Delete current Vehicle? \r\r") + item->text().trimmed());
  if (answer != MessageAnswer::Yes) return;
  if (mVehicleFilePath.isEmpty()) {
    ShowMessage(MessageKind::Error, QStringLiteral("Missing path"),
                QStringLiteral("Missing Vehicle file path!"));
    return;
  }
  try {
    library::DeleteVehicleRecord(ToPath(mVehicleFilePath), item->data(Qt::UserRole).toInt());
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, kVeerlineTitle, FailureText(failure, mVehicleFilePath));
  }
  LoadVehicleList(mVehicleFilePath);
  if (mList->count() == 0)
    ClearTextboxes();
  else
    mList->setCurrentRow(std::min(std::max(oldRow - 1, 0), mList->count() - 1));
}

void frmVehicleTurning::OnMenuOpen() {
  OpenLibraryFile(ChooseFileInLastFolder(mServices, this, FileDialogKind::Open));
}

void frmVehicleTurning::OpenLibraryFile(const QString& chosen) {
  try {
    if (!chosen.isEmpty()) {
      const QString working = WorkingLibraryPath(chosen);
      // A file that is no vehicle library is refused; the current one stays.
      library::CheckVehicleLibrary(ToPath(working));
      mVehicleFilePath = working;
      SetCaption(kOpenCaption);
    }
    if (!mVehicleFilePath.isEmpty()) {
      LoadVehicleList(mVehicleFilePath);
      SetCaption(kOpenCaption);
      WriteVehicleFileSetting();
      if (mList->count() > 0) mList->setCurrentRow(0);
    } else {
      mProgressBar->hide();
    }
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Veichle Turning Simulation"),
                QString::fromUtf8(failure.what()) + QStringLiteral(" open File"));
  }
}

void frmVehicleTurning::OnMenuNew() {
  const QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::Save);
  if (FileExists(chosen)) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Save As"),
                QStringLiteral("File already exist, cant overwrite"));
    return;
  }
  if (chosen.isEmpty()) return;
  try {
    CreateEmptyLibrary(chosen);
  } catch (const std::exception& failure) {
    ShowMessage(MessageKind::Warning, kVeerlineTitle, QString::fromUtf8(failure.what()));
    return;
  }
  mVehicleFilePath = chosen;
  SetCaption(kOpenCaption);
  LoadVehicleList(mVehicleFilePath);
}

// Copies the whole current library to a new file; the current one stays open.
void frmVehicleTurning::OnMenuSaveAs() {
  const QString chosen = ChooseFileInLastFolder(mServices, this, FileDialogKind::Save);
  if (FileExists(chosen)) {
    ShowMessage(MessageKind::Warning, QStringLiteral("Save As"),
                QStringLiteral("File already exist, cant overwrite"));
    return;
  }
  if (chosen.isEmpty() || !FileExists(mVehicleFilePath)) return;
  QFile source(mVehicleFilePath);
  if (!source.copy(chosen))
    ShowMessage(
        MessageKind::Warning, kVeerlineTitle,
        QStringLiteral("Can't copy the vehicle file to %1: %2").arg(chosen, source.errorString()));
}

}  // namespace veerline::ui
