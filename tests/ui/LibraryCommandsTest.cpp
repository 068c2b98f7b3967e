// The vehicle list and the library commands of the main window against a
// temporary library file.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "UiTestSupport.h"
#include "engine/VehicleModel.h"
#include "library/VehicleDataFile.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

constexpr qint64 kRecord = 1634;

QStringList ListTexts(QWidget& window) {
  QStringList texts;
  auto* list = Child<QListWidget>(window, "List1");
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text().trimmed();
  return texts;
}

QString Selected(QWidget& window) {
  QListWidgetItem* item = Child<QListWidget>(window, "List1")->currentItem();
  return item == nullptr ? QString() : item->text().trimmed();
}

void Click(QWidget& window, const char* button) { Child<QPushButton>(window, button)->click(); }

void EnterVehicle(QWidget& window, const QString& name, int unit = 1) {
  Child<QLineEdit>(window, "txt_Name")->setText(name);
  Child<QComboBox>(window, "Combo3")->setCurrentIndex(unit);
}

qint64 FileSize(const QString& path) { return QFileInfo(path).size(); }

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fills what a user sees of a new vehicle: the name, the unit and every
// visible number field, each with its own value.
void FillVisibleFields(QWidget& window, const QString& name) {
  EnterVehicle(window, name);
  for (int d = 0; d < kDimensionCount; ++d) {
    const std::string control(DimensionControlName(static_cast<Dimension>(d)));
    auto* field = Child<QLineEdit>(window, control.c_str());
    if (!field->isHidden()) field->setText(QStringLiteral("%1,5").arg(d + 1));
  }
}

void ClickRow(QListWidget* list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  const QPoint at = list->visualItemRect(list->item(row)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

std::filesystem::path Fs(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

class LibraryCommandsTest : public QObject {
  Q_OBJECT

  // A window on an empty library "lib.vdt" in the desktop's folder.
  std::unique_ptr<frmVehicleTurning> OpenOnEmptyLibrary(TestDesktop& desktop) {
    const QString library = desktop.Path(QStringLiteral("lib.vdt"));
    QFile(library).open(QIODevice::WriteOnly);
    desktop.SetSetting(QStringLiteral("VehicleFile"), library);
    auto window = std::make_unique<frmVehicleTurning>(desktop.Services());
    desktop.messages.clear();
    return window;
  }

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void saveCopyNewAndReplaceKeepTheListInStep() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString library = window->VehicleFilePath();
    QCOMPARE(window->windowTitle(), QStringLiteral("Veerline, Vehicle Turning Simulation [lib]"));

    // Save with an empty list adds record 1 and selects it.
    EnterVehicle(*window, QStringLiteral("Truck A"));
    Click(*window, "Command1");
    QCOMPARE(ListTexts(*window), QStringList{QStringLiteral("Truck A")});
    QCOMPARE(Selected(*window), QStringLiteral("Truck A"));
    QCOMPARE(FileSize(library), kRecord);

    // Copy adds "Copy of Truck A" and selects it.
    Click(*window, "Command6");
    QCOMPARE(ListTexts(*window),
             (QStringList{QStringLiteral("Truck A"), QStringLiteral("Copy of Truck A")}));
    QCOMPARE(Selected(*window), QStringLiteral("Copy of Truck A"));
    QCOMPARE(FileSize(library), 2 * kRecord);

    // New then Save adds even though an entry was selected.
    Click(*window, "Command4");
    QVERIFY(window->NewRecordPending());
    QCOMPARE(Child<QLineEdit>(*window, "txt_Front")->text(), QString());
    EnterVehicle(*window, QStringLiteral("Bus B"));
    for (int d = 0; d < kDimensionCount; ++d) {
      const std::string name(DimensionControlName(static_cast<Dimension>(d)));
      Child<QLineEdit>(*window, name.c_str())->setText(QStringLiteral("1,5"));
    }
    Click(*window, "Command1");
    QVERIFY(!window->NewRecordPending());
    QCOMPARE(ListTexts(*window).size(), 3);
    QCOMPARE(Selected(*window), QStringLiteral("Bus B"));
    QCOMPARE(FileSize(library), 3 * kRecord);
    const VehicleRecord stored = library::ReadVehicleRecord(Fs(library), 3);
    QCOMPARE(stored[Dimension::Front], 1.5);
    QCOMPARE(stored.Unit, std::int16_t{1});

    // Save after clicking an entry and editing replaces that record.
    Child<QListWidget>(*window, "List1")->setCurrentRow(0);
    QCOMPARE(Child<QLineEdit>(*window, "txt_Name")->text(), QStringLiteral("Truck A"));
    Child<QLineEdit>(*window, "txt_Name")->setText(QStringLiteral("  Truck A2  "));
    Click(*window, "Command1");
    QCOMPARE(ListTexts(*window).first(), QStringLiteral("Truck A2"));
    QCOMPARE(FileSize(library), 3 * kRecord);
    QCOMPARE(library::ReadVehicleRecord(Fs(library), 1).Name, std::string("Truck A2"));
    QVERIFY(desktop.messages.empty());
  }

  // New, choose the kind, fill only the visible fields, Save: every kind is
  // stored with its own values; Copy of it works too.
  void newVehicleOfEveryKindSavesWithOnlyItsVisibleFields() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    auto* types = Child<QComboBox>(*window, "Combo1");
    for (int code = 1; code <= 13; ++code) {
      Click(*window, "Command4");
      types->setCurrentIndex(types->findData(code));
      FillVisibleFields(*window, QStringLiteral("Kind %1").arg(code));
      Click(*window, "Command1");
      QCOMPARE(Selected(*window), QStringLiteral("Kind %1").arg(code));
      const VehicleRecord stored = library::ReadVehicleRecord(Fs(window->VehicleFilePath()), code);
      QCOMPARE(stored.Type, static_cast<std::int16_t>(code));
      for (Dimension d : FieldsOfType(code)) QCOMPARE(stored[d], static_cast<int>(d) + 1.5);
    }
    Click(*window, "Command6");
    QCOMPARE(Selected(*window), QStringLiteral("Copy of Kind 13"));
    QVERIFY(desktop.messages.empty());
  }

  // A click on the current entry reloads it; an entry deselected with Ctrl is
  // neither saved over nor deleted.
  void listClicksFollowTheSelection() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    for (const char* name : {"A", "B"}) {
      Click(*window, "Command4");
      FillVisibleFields(*window, QString::fromLatin1(name));
      Click(*window, "Command1");
    }
    auto* list = Child<QListWidget>(*window, "List1");
    window->show();
    ClickRow(list, 1);
    Child<QLineEdit>(*window, "txt_Name")->setText(QStringLiteral("edited"));
    Click(*window, "Command4");
    QVERIFY(window->NewRecordPending());
    ClickRow(list, 1);
    QCOMPARE(Child<QLineEdit>(*window, "txt_Name")->text(), QStringLiteral("B"));
    QVERIFY(!window->NewRecordPending());

    ClickRow(list, 1, Qt::ControlModifier);
    QVERIFY(list->selectedItems().isEmpty());
    Click(*window, "Command5");
    QVERIFY(desktop.messages.empty());
    Click(*window, "Command1");
    QCOMPARE(desktop.MessageTexts(), QStringList{QStringLiteral("Nothing selected in List!")});
    QCOMPARE(ListTexts(*window), (QStringList{"A", "B"}));
  }

  // A drawing taken for a library is refused, whether opened or remembered,
  // and Save never writes into it.
  void fileThatIsNoLibraryIsRefusedAndNeverWritten() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString library = window->VehicleFilePath();
    const QString drawing = desktop.Path(QStringLiteral("junction.dxf"));
    QByteArray dxf;
    while (dxf.size() < 3000) dxf += "  0\nLINE\n  8\nKerb\n 10\n0.0\n 20\n30.0\n";
    QFile file(drawing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(dxf);
    file.close();

    desktop.chosenFiles = {drawing};
    window->findChild<QAction*>(QStringLiteral("M_Open"))->trigger();
    QCOMPARE(window->VehicleFilePath(), library);
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("is not a vehicle library")));

    desktop.SetSetting(QStringLiteral("VehicleFile"), drawing);
    frmVehicleTurning reopened(desktop.Services());
    QVERIFY(ListTexts(reopened).isEmpty());
    QVERIFY(desktop.messages.back().text.contains(QStringLiteral("is not a vehicle library")));
    EnterVehicle(reopened, QStringLiteral("A"));
    Click(reopened, "Command1");
    QVERIFY(desktop.messages.back().text.endsWith(QStringLiteral(" Prepare to Save or Copy")));
    QCOMPARE(FileBytes(drawing), dxf);
  }

  // The library shipped beside the program is copied to the user's data folder
  // at the first start and worked on there; the shipped one is never written.
  void shippedDefaultLibraryIsWorkedOnAsACopy() {
    TestDesktop desktop;
    const QString shipped = desktop.Path(QStringLiteral("DefaultVehicles.vdt"));
    VehicleRecord truck = VehicleRecord::Defaults();
    truck.Name = "SU-9";
    truck.Unit = 1;
    library::AddVehicleRecord(Fs(shipped), truck);
    QFile::setPermissions(shipped, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    const QByteArray before = FileBytes(shipped);

    frmVehicleTurning window(desktop.Services());
    QCOMPARE(window.VehicleFilePath(), desktop.DataPath(QStringLiteral("DefaultVehicles.vdt")));
    QCOMPARE(ListTexts(window), QStringList{QStringLiteral("SU-9")});
    Click(window, "Command6");
    desktop.answers = {MessageAnswer::Yes};
    Click(window, "Command5");
    QCOMPARE(ListTexts(window), QStringList{QStringLiteral("SU-9")});
    QVERIFY(desktop.messages.size() == 1);  // only the question to delete
    QCOMPARE(FileBytes(shipped), before);
    QCOMPARE(FileSize(window.VehicleFilePath()), 2 * kRecord);
  }

  void loadingAVehicleFillsItsFieldsWithTheUsersSeparator() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    VehicleRecord vehicle = VehicleRecord::Defaults();
    vehicle.Name = "Tow Bar Truck";
    vehicle.Type = 3;
    vehicle.Unit = 5;
    vehicle[Dimension::Hitch2] = 4.25;
    vehicle[Dimension::MaxTurningAngle] = 42.5;
    library::AddVehicleRecord(Fs(window->VehicleFilePath()), vehicle);
    window->LoadVehicleList(window->VehicleFilePath());
    Child<QListWidget>(*window, "List1")->setCurrentRow(0);
    QCOMPARE(window->LoadedVehicleType(), 3);
    QCOMPARE(Child<QComboBox>(*window, "Combo1")->currentText(), QStringLiteral("Tow Bar"));
    QCOMPARE(Child<QComboBox>(*window, "Combo3")->currentText(), QStringLiteral("Feet"));
    QCOMPARE(Child<QLineEdit>(*window, "txtHitch2")->text(), QStringLiteral("4,25"));
    QCOMPARE(Child<QLineEdit>(*window, "txt_MaxTurning")->text(), QStringLiteral("42,5"));
    QVERIFY(!Child<QLineEdit>(*window, "txtHitch2")->isHidden());
  }

  void copyKeepsTheFirst92CharactersOfALongName() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString longName = QString(95, QChar('x'));
    EnterVehicle(*window, longName);
    Click(*window, "Command1");
    Click(*window, "Command6");
    QCOMPARE(Selected(*window), QStringLiteral("Copy of ") + longName.left(92));
  }

  void saveRefusesMissingNameUnitAndBadNumbers() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString library = window->VehicleFilePath();
    Child<QLineEdit>(*window, "txt_Name")->setText(QStringLiteral("   "));
    Click(*window, "Command1");
    EnterVehicle(*window, QStringLiteral("Car"), 0);
    Click(*window, "Command1");
    EnterVehicle(*window, QStringLiteral("Car"), 1);
    Child<QLineEdit>(*window, "txt_Front")->setText(QString());
    Click(*window, "Command1");
    QCOMPARE(
        desktop.MessageTexts(),
        (QStringList{QStringLiteral("Please Input Name for the Vehicle"),
                     QStringLiteral("Please select Unit for the Vehicle"),
                     QStringLiteral("Type mismatch: Front (F) is empty Prepare to Save or Copy")}));
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Missing value"));
    QCOMPARE(desktop.messages[2].title, QStringLiteral("Veerline"));
    QCOMPARE(FileSize(library), 0);
    QVERIFY(ListTexts(*window).isEmpty());
  }

  void saveWithNothingSelectedWritesNothing() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    EnterVehicle(*window, QStringLiteral("One"));
    Click(*window, "Command1");
    Child<QListWidget>(*window, "List1")->setCurrentRow(-1);
    Click(*window, "Command1");
    QCOMPARE(desktop.MessageTexts(), QStringList{QStringLiteral("Nothing selected in List!")});
    QCOMPARE(desktop.messages[0].kind, MessageKind::Error);
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Save Setting"));
    QCOMPARE(FileSize(window->VehicleFilePath()), kRecord);
  }

  void deleteSelectsTheEntryAboveAndEmptiesTheFieldsAtTheEnd() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    for (const char* name : {"A", "B", "C", "D"}) {
      Click(*window, "Command4");
      window->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(0);
      for (int d = 0; d < kDimensionCount; ++d) {
        const std::string control(DimensionControlName(static_cast<Dimension>(d)));
        Child<QLineEdit>(*window, control.c_str())->setText(QStringLiteral("2"));
      }
      EnterVehicle(*window, QString::fromLatin1(name));
      Click(*window, "Command1");
    }
    QCOMPARE(ListTexts(*window), (QStringList{"A", "B", "C", "D"}));

    // Answering No keeps everything.
    desktop.answers = {MessageAnswer::No};
    Click(*window, "Command5");
    QCOMPARE(desktop.messages.back().text, QStringLiteral("Delete current Vehicle? \r\rD"));
    QCOMPARE(desktop.messages.back().title, QStringLiteral("Delet Vehicle"));
    QCOMPARE(desktop.messages.back().kind, MessageKind::Question);
    QCOMPARE(ListTexts(*window).size(), 4);

    desktop.answers = {MessageAnswer::Yes};
    Click(*window, "Command5");  // the last: the one above it is selected
    QCOMPARE(ListTexts(*window), (QStringList{"A", "B", "C"}));
    QCOMPARE(Selected(*window), QStringLiteral("C"));
    Child<QListWidget>(*window, "List1")->setCurrentRow(1);
    desktop.answers = {MessageAnswer::Yes};
    Click(*window, "Command5");  // a middle one: the one above it is selected
    QCOMPARE(ListTexts(*window), (QStringList{"A", "C"}));
    QCOMPARE(Selected(*window), QStringLiteral("A"));
    desktop.answers = {MessageAnswer::Yes};
    Click(*window, "Command5");  // the first: the new first is selected
    QCOMPARE(Selected(*window), QStringLiteral("C"));
    QCOMPARE(Child<QLineEdit>(*window, "txt_Name")->text(), QStringLiteral("C"));
    desktop.answers = {MessageAnswer::Yes};
    Click(*window, "Command5");
    QVERIFY(ListTexts(*window).isEmpty());
    QCOMPARE(Child<QLineEdit>(*window, "txt_Name")->text(), QString());
    QCOMPARE(Child<QLineEdit>(*window, "txt_Wheelbase")->text(), QString());
    // The freed slot is reused: the file does not grow.
    EnterVehicle(*window, QStringLiteral("D"));
    for (int d = 0; d < kDimensionCount; ++d) {
      const std::string control(DimensionControlName(static_cast<Dimension>(d)));
      Child<QLineEdit>(*window, control.c_str())->setText(QStringLiteral("2"));
    }
    Click(*window, "Command1");
    QCOMPARE(FileSize(window->VehicleFilePath()), 4 * kRecord);
  }

  void storedCodesNoListCarriesAreReported() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    VehicleRecord vehicle = VehicleRecord::Defaults();
    vehicle.Name = "Odd";
    vehicle.Type = 17;
    library::AddVehicleRecord(Fs(window->VehicleFilePath()), vehicle);
    vehicle.Type = 2;
    vehicle.Unit = 9;
    library::AddVehicleRecord(Fs(window->VehicleFilePath()), vehicle);
    window->LoadVehicleList(window->VehicleFilePath());
    Child<QListWidget>(*window, "List1")->setCurrentRow(0);
    Child<QListWidget>(*window, "List1")->setCurrentRow(1);
    QCOMPARE(desktop.messages.size(), std::size_t{2});
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("17")));
    QVERIFY(desktop.messages[1].text.contains(QStringLiteral("9")));
    QCOMPARE(desktop.messages[1].title, QStringLiteral("Veerline"));
    // The window stays usable.
    QCOMPARE(Child<QComboBox>(*window, "Combo1")->count(), 13);
  }

  void unreadableLibraryIsReportedAndTheListStaysEmpty() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString folderAsFile = desktop.Path(QStringLiteral("missing/dir/lib.vdt"));
    window->LoadVehicleList(folderAsFile);
    // The missing file is asked for, then cannot be created: both are reported.
    QCOMPARE(desktop.messages.size(), std::size_t{2});
    QCOMPARE(desktop.messages[1].title, QStringLiteral("Veerline"));
    QVERIFY(ListTexts(*window).isEmpty());
  }

  void deletedLibraryAsksOnceAndCancelRecreatesItEmpty() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    EnterVehicle(*window, QStringLiteral("A"));
    Click(*window, "Command1");
    QFile::remove(window->VehicleFilePath());
    window->LoadVehicleList(window->VehicleFilePath());
    QCOMPARE(desktop.MessageTexts(),
             QStringList{QStringLiteral("Can't find saved Vehicle File! Please open file")});
    QCOMPARE(desktop.dialogsShown.size(), std::size_t{1});
    QCOMPARE(FileSize(window->VehicleFilePath()), 0);
    QVERIFY(ListTexts(*window).isEmpty());
  }

  void fileMenuNewOpenAndSaveAs() {
    TestDesktop desktop;
    auto window = OpenOnEmptyLibrary(desktop);
    const QString first = window->VehicleFilePath();
    EnterVehicle(*window, QStringLiteral("A"));
    Click(*window, "Command1");

    // Save As refuses an existing file and copies to a new one.
    desktop.chosenFiles = {first};
    window->findChild<QAction*>(QStringLiteral("M_save"))->trigger();
    QCOMPARE(desktop.messages.back().text, QStringLiteral("File already exist, cant overwrite"));
    QCOMPARE(desktop.messages.back().title, QStringLiteral("Save As"));
    const QString copy = desktop.Path(QStringLiteral("copy.vdt"));
    desktop.chosenFiles = {copy};
    window->findChild<QAction*>(QStringLiteral("M_save"))->trigger();
    QCOMPARE(FileSize(copy), kRecord);
    QCOMPARE(window->VehicleFilePath(), first);

    // New creates an empty library and shows it in the caption.
    const QString fresh = desktop.Path(QStringLiteral("fresh.vdt"));
    desktop.chosenFiles = {fresh};
    window->findChild<QAction*>(QStringLiteral("M_New"))->trigger();
    QCOMPARE(window->VehicleFilePath(), fresh);
    QCOMPARE(FileSize(fresh), 0);
    QVERIFY(ListTexts(*window).isEmpty());
    QCOMPARE(window->windowTitle(), QStringLiteral("Vehicle Turning Simulation [fresh]"));
    Click(*window, "Command1");
    QCOMPARE(FileSize(fresh), kRecord);

    // Open lists the chosen library, selects its first vehicle and remembers it.
    desktop.chosenFiles = {copy};
    window->findChild<QAction*>(QStringLiteral("M_Open"))->trigger();
    QCOMPARE(window->VehicleFilePath(), copy);
    QCOMPARE(Selected(*window), QStringLiteral("A"));
    QCOMPARE(desktop.Setting(QStringLiteral("VehicleFile")), copy);
    QCOMPARE(window->windowTitle(), QStringLiteral("Vehicle Turning Simulation [copy]"));
  }
};

QTEST_MAIN(LibraryCommandsTest)
#include "LibraryCommandsTest.moc"
