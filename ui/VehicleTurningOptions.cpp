// Opening and closing of the main window with the options kept in the settings.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <algorithm>
#include <exception>

#include "ui/ClearanceGroup.h"
#include "ui/VehicleTurningWindow.h"

namespace veerline::ui {
namespace {

std::unique_ptr<QSettings> OpenSection(const UiServices& services) {
  auto settings = services.openSettings();
  settings->beginGroup(QString::fromLatin1(kSettingsSection));
  return settings;
}

// Fills a list with texts whose item data is their position, with no entry
// selected and without running its change handler.
template <typename TextOf>
void FillCodeList(QComboBox* list, int count, TextOf textOf) {
  const QSignalBlocker blocker(list);
  list->clear();
  for (int code = 0; code < count; ++code) {
    const std::string_view text = textOf(code);
    list->addItem(QString::fromUtf8(text.data(), static_cast<int>(text.size())), code);
  }
  list->setCurrentIndex(-1);
}

constexpr const char* kLoadTitle = "Veichle Turning Simulation";

}  // namespace

void frmVehicleTurning::SetCaption(const QString& prefix) {
  setWindowTitle(prefix + QStringLiteral("[") + QFileInfo(mVehicleFilePath).completeBaseName() +
                 QStringLiteral("]"));
}

void frmVehicleTurning::ReportLoadFailure(const QString& description) {
  ShowMessage(MessageKind::Warning, QString::fromLatin1(kLoadTitle),
              description + QStringLiteral(" Load frm"));
}

QString frmVehicleTurning::ReadTextSetting(const char* key, const QString& fallback) {
  return OpenSection(mServices)->value(QString::fromLatin1(key), fallback).toString();
}

// Reads a saved list position or check-box value. A value that is not a whole
// number, or a position the list does not have, is reported and the default is
// used, so the rest of the window still opens.
int frmVehicleTurning::ReadListPosition(const char* key, int count) {
  const QString fallback = QStringLiteral("0");
  const QString text = ReadTextSetting(key, fallback).trimmed();
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok) {
    ReportLoadFailure(
        QStringLiteral("Type mismatch: the setting \"%1\" holds \"%2\", not a number.")
            .arg(QString::fromLatin1(key), text));
    return 0;
  }
  if (count > 0 && (value < 0 || value >= count)) {
    ReportLoadFailure(QStringLiteral("Invalid property value: the setting \"%1\" holds %2, which "
                                     "the list does not have.")
                          .arg(QString::fromLatin1(key))
                          .arg(value));
    return 0;
  }
  return value;
}

void frmVehicleTurning::ReadOutputOptions() {
  struct CheckOption {
    const char* key;
    QCheckBox* box;
    const char* fallback;
  };
  const std::array<CheckOption, 4> checks{{
      {"PlotVehicle", mPlotVehicle, "1"},
      {"PlotOnlyFirstAndLast", mPlotOnlyFirstAndLast, "1"},
      {"PlotSweep", mPlotSweep, "0"},
      {"PlotEnvelope", mPlotEnvelope, "1"},
  }};
  for (const CheckOption& option : checks) {
    if (option.box == mPlotOnlyFirstAndLast)
      mPlotSpacing->setText(ReadTextSetting("MaxVehicleSpacing", QStringLiteral("5")));
    const QString text =
        ReadTextSetting(option.key, QString::fromLatin1(option.fallback)).trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) {
      ReportLoadFailure(
          QStringLiteral("Type mismatch: the setting \"%1\" holds \"%2\", not a number.")
              .arg(QString::fromLatin1(option.key), text));
      option.box->setChecked(QString::fromLatin1(option.fallback) != QStringLiteral("0"));
      continue;
    }
    option.box->setChecked(value != 0);
  }
}

void frmVehicleTurning::FormLoad() {
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(8.25);
  setFont(font);
  // The user guide ships beside the program; its first page is the entry page.
  mHelpFile = QDir(mServices.programFolder).filePath(QStringLiteral("help/index.html"));
  try {
    // Type list in code order; the second entry is selected, which runs the type change.
    {
      const QSignalBlocker blocker(mTypeList);
      mTypeList->clear();
      for (const VehicleTypeInfo& type : VehicleTypes())
        mTypeList->addItem(
            QString::fromUtf8(type.displayName.data(), static_cast<int>(type.displayName.size())),
            type.code);
      mTypeList->setCurrentIndex(-1);
    }
    connect(mTypeList, &QComboBox::currentIndexChanged, this, &frmVehicleTurning::OnTypeChanged);
    mTypeList->setCurrentIndex(1);

    ReadOutputOptions();
    mClearanceGroup->ReadSettings(*OpenSection(mServices));

    FillCodeList(mSpeedUnit, kSpeedUnitCount, SpeedUnitText);
    mSpeedUnit->setCurrentIndex(0);
    mSpeedUnit->setCurrentIndex(ReadListPosition("SpeedSort", kSpeedUnitCount));
    mSpeed->setText(ReadTextSetting("Speed", QStringLiteral("0")));

    FillCodeList(mPathUnit, kLengthUnitCount, LengthUnitText);
    connect(mPathUnit, &QComboBox::currentIndexChanged, this,
            &frmVehicleTurning::OnPathUnitChanged);
    mPathUnit->setCurrentIndex(0);
    mPathUnit->setCurrentIndex(ReadListPosition("PathUnit", kLengthUnitCount));

    FillCodeList(mVehicleUnit, kLengthUnitCount, LengthUnitText);
    mVehicleUnit->setCurrentIndex(0);
    // The unit words of the summary follow the unit at once.
    connect(mVehicleUnit, &QComboBox::currentIndexChanged, this,
            [this] { AskSummaryFor(mLoadedVehicleType); });

    mVehicleFilePath = ReadTextSetting("VehicleFile", QString());
    if (mVehicleFilePath.isEmpty()) mVehicleFilePath = DefaultVehicleFilePath();
    mVehicleFilePath = WorkingLibraryPath(mVehicleFilePath);
    LoadVehicleList(mVehicleFilePath);
    SetCaption(QStringLiteral("Veerline, Vehicle Turning Simulation "));
    // The vehicle chosen last time is chosen again; otherwise the first.
    if (mList->count() > 0)
      mList->setCurrentRow(std::max(0, RowNamed(ReadTextSetting("LastVehicle", QString()))));

    // The CAD program is attached by this identifier when a run starts.
    mCadProgramId = QStringLiteral("ICAD.Application");
  } catch (const std::exception& failure) {
    ReportLoadFailure(QString::fromUtf8(failure.what()));
  }
}

int frmVehicleTurning::RowNamed(const QString& name) const {
  if (name.isEmpty()) return -1;
  for (int row = 0; row < mList->count(); ++row)
    if (mList->item(row)->text().trimmed() == name) return row;
  return -1;
}

void frmVehicleTurning::WriteVehicleFileSetting() {
  OpenSection(mServices)->setValue(QStringLiteral("VehicleFile"), mVehicleFilePath);
}

void frmVehicleTurning::FormUnload() {
  if (mVehicleFilePath.isEmpty()) mVehicleFilePath = DefaultVehicleFilePath();
  auto settings = OpenSection(mServices);
  auto number = [](int value) { return QString::number(value); };
  settings->setValue(QStringLiteral("VehicleFile"), mVehicleFilePath);
  settings->setValue(QStringLiteral("PlotVehicle"), number(mPlotVehicle->isChecked()));
  settings->setValue(QStringLiteral("MaxVehicleSpacing"), mPlotSpacing->text());
  settings->setValue(QStringLiteral("PlotOnlyFirstAndLast"),
                     number(mPlotOnlyFirstAndLast->isChecked()));
  settings->setValue(QStringLiteral("PlotSweep"), number(mPlotSweep->isChecked()));
  settings->setValue(QStringLiteral("SpeedSort"), number(mSpeedUnit->currentIndex()));
  settings->setValue(QStringLiteral("Speed"), mSpeed->text());
  settings->setValue(QStringLiteral("PlotEnvelope"), number(mPlotEnvelope->isChecked()));
  settings->setValue(QStringLiteral("PathUnit"), number(mPathUnit->currentIndex()));
  if (QListWidgetItem* chosen = SelectedEntry())
    settings->setValue(QStringLiteral("LastVehicle"), chosen->text().trimmed());
  mClearanceGroup->WriteSettings(*settings);
  settings->sync();
}

}  // namespace veerline::ui
