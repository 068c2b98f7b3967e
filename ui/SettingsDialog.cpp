#include "ui/SettingsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace veerline::ui {
namespace {

struct ColourEntry {
  const char* text;
  int colourIndex;
};
constexpr std::array<ColourEntry, 8> kColourEntries{{
    {"By Layer", 256},
    {"Red", 1},
    {"Yellow", 2},
    {"Green", 3},
    {"Cyan", 4},
    {"Blue", 5},
    {"Magenta", 6},
    {"White", 7},
}};

// Where each list sits: group caption, label and list number.
struct ListPlace {
  const char* group;
  const char* label;
  int number;
};
constexpr std::array<ListPlace, 14> kPlaces{{
    {"Vehicle Sweep Color", "Left Front", 1},
    {"Vehicle Sweep Color", "Right Front", 3},
    {"Vehicle Sweep Color", "Left Back", 4},
    {"Vehicle Sweep Color", "Right Back", 2},
    {"Wheel Sweep Color", "Left Front", 7},
    {"Wheel Sweep Color", "Right Front", 8},
    {"Wheel Sweep Color", "Left Back", 5},
    {"Wheel Sweep Color", "Right Back", 6},
    {"Vehicle Outline", "Vehicle Body Outline", 9},
    {"Vehicle Outline", "Wheel Outline", 10},
    {"Vehicle Outline", "Tyre Tread", 11},
    {"Vehicle Outline", "Reverse Outline", 14},
    {"Swept Envelope", "Left", 12},
    {"Swept Envelope", "Right", 13},
}};

// A failure while reading or writing one list, with its description.
struct ListFailure {
  QString description;
};

int ListNumber(const char* control) { return QString::fromLatin1(control).mid(5).toInt(); }

}  // namespace

const std::array<ColourSetting, 14>& ColourSettingsInLoadOrder() {
  static const std::array<ColourSetting, 14> order{{
      {"Combo9", "VehicleBodyOutlineColor", 7},
      {"Combo10", "WheelOutlineColor", 7},
      {"Combo11", "TyreTreadColor", 2},
      {"Combo3", "VehicleSweepRightFrontColor", 5},
      {"Combo1", "VehicleSweepLeftFrontColor", 5},
      {"Combo2", "VehicleSweepRightBackColor", 5},
      {"Combo4", "VehicleSweepLeftBackColor", 5},
      {"Combo8", "WheelSweepRightFrontColor", 3},
      {"Combo7", "WheelSweepLeftFrontColor", 3},
      {"Combo6", "WheelSweepRightBackColor", 3},
      {"Combo5", "WheelSweepLeftBackColor", 3},
      {"Combo12", "EnvelopeLeftColor", 2},
      {"Combo13", "EnvelopeRightColor", 2},
      {"Combo14", "VehicleReverseOutlineColor", 4},
  }};
  return order;
}

frmVehicleTurningSettings::frmVehicleTurningSettings(const UiServices& services, QWidget* parent)
    : QDialog(parent), mServices(services) {
  setObjectName(QStringLiteral("frmVehicleTurningSettings"));
  setWindowTitle(QStringLiteral("Vehicle Turning Settings"));
  setModal(false);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(8.25);
  setFont(font);

  for (int i = 0; i < 14; ++i) {
    mLists[i] = new QComboBox;
    mLists[i]->setObjectName(QStringLiteral("Combo%1").arg(i + 1));
  }
  auto* layout = new QVBoxLayout(this);
  QGroupBox* group = nullptr;
  QGridLayout* grid = nullptr;
  int placed = 0;  // lists placed in the current group
  for (const ListPlace& place : kPlaces) {
    if (group == nullptr || group->title() != QString::fromLatin1(place.group)) {
      group = new QGroupBox(QString::fromLatin1(place.group));
      grid = new QGridLayout(group);
      layout->addWidget(group);
      placed = 0;
      if (group->title() == QStringLiteral("Wheel Sweep Color")) {
        // Explains which edge the wheel sweep lines follow.
        for (int column : {0, 2})
          grid->addWidget(new QLabel(QStringLiteral("Outermost point of wheel or Vehicle")), 1,
                          column, 1, 2);
      }
    }
    const int row =
        placed / 2 + (placed >= 2 && group->title() == QStringLiteral("Wheel Sweep Color") ? 1 : 0);
    grid->addWidget(new QLabel(QString::fromLatin1(place.label)), row, (placed % 2) * 2);
    grid->addWidget(mLists[place.number - 1], row, (placed % 2) * 2 + 1);
    ++placed;
  }
  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton(QStringLiteral("&Ok"));
  ok->setObjectName(QStringLiteral("Command1"));
  auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
  cancel->setObjectName(QStringLiteral("Command2"));
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &frmVehicleTurningSettings::OnOk);
  connect(cancel, &QPushButton::clicked, this, &frmVehicleTurningSettings::close);

  for (QComboBox* list : mLists) {
    for (const ColourEntry& entry : kColourEntries)
      list->addItem(QString::fromLatin1(entry.text), entry.colourIndex);
    list->setCurrentIndex(0);
  }
  LoadChoices();
}

QComboBox* frmVehicleTurningSettings::List(const char* control) const {
  const int number = ListNumber(control);
  return number >= 1 && number <= 14 ? mLists[number - 1] : nullptr;
}

// Shows the saved choices. A saved value that is not a position of the list is
// reported once; that list shows its default and the other lists still show
// their saved choices, so that Ok does not overwrite them.
void frmVehicleTurningSettings::LoadChoices() {
  auto settings = mServices.openSettings();
  settings->beginGroup(QString::fromLatin1(kSettingsSection));
  QStringList failures;
  for (const ColourSetting& setting : ColourSettingsInLoadOrder()) {
    const QString text =
        settings->value(QString::fromLatin1(setting.key), QString::number(setting.defaultPosition))
            .toString()
            .trimmed();
    bool ok = false;
    const int position = text.toShort(&ok);
    QComboBox* list = List(setting.control);
    if (!ok) {
      failures << QStringLiteral("Type mismatch: the setting \"%1\" holds \"%2\", not a number.")
                      .arg(QString::fromLatin1(setting.key), text);
      list->setCurrentIndex(setting.defaultPosition);
    } else if (position < 0 || position >= list->count()) {
      failures << QStringLiteral(
                      "Invalid property value: the setting \"%1\" holds %2, which is "
                      "not a colour of the list.")
                      .arg(QString::fromLatin1(setting.key))
                      .arg(position);
      list->setCurrentIndex(setting.defaultPosition);
    } else {
      list->setCurrentIndex(position);
    }
  }
  if (!failures.isEmpty())
    mServices.showMessage(this, MessageKind::Warning, QStringLiteral("Draftkit"),
                          failures.join(QChar('\r')));
}

void frmVehicleTurningSettings::OnOk() {
  auto settings = mServices.openSettings();
  settings->beginGroup(QString::fromLatin1(kSettingsSection));
  for (const ColourSetting& setting : ColourSettingsInLoadOrder())
    settings->setValue(QString::fromLatin1(setting.key),
                       QString::number(List(setting.control)->currentIndex()));
  settings->sync();
  if (settings->status() != QSettings::NoError) {
    mServices.showMessage(this, MessageKind::Warning, QStringLiteral("Veerline Settings"),
                          QStringLiteral("The colour settings could not be written to %1.")
                              .arg(settings->fileName()));
    return;
  }
  close();
}

}  // namespace veerline::ui
