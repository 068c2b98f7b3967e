// The main window: first start, field visibility per type, output options,
// options kept across closing and opening, the summary texts and the Execute checks.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextBrowser>
#include <QWindow>
#include <QtTest>
#include <clocale>

#include "UiTestSupport.h"
#include "ui/DrawingWindow.h"
#include "ui/HelpWindow.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

bool Shown(QWidget& window, const char* name) { return !Child<QWidget>(window, name)->isHidden(); }

void SelectType(QWidget& window, int code) {
  auto* types = Child<QComboBox>(window, "Combo1");
  types->setCurrentIndex(types->findData(code));
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void firstStartShowsDefaultsAndAsksForTheMissingLibrary() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    QCOMPARE(Child<QLineEdit>(window, "txt_Speed")->text(), QStringLiteral("0"));
    QCOMPARE(Child<QComboBox>(window, "Combo2")->currentText(), QStringLiteral("Not set"));
    QCOMPARE(Child<QComboBox>(window, "Combo3")->currentText(), QStringLiteral("Not set"));
    QCOMPARE(Child<QComboBox>(window, "Combo4")->currentIndex(), 0);
    QCOMPARE(Child<QComboBox>(window, "Combo1")->currentText(), QStringLiteral("Semi-Trailer"));
    QVERIFY(Child<QCheckBox>(window, "chk_PlotVehicle")->isChecked());
    QVERIFY(Child<QCheckBox>(window, "Check1")->isChecked());
    QVERIFY(!Child<QLineEdit>(window, "txt_plotSpacing")->isEnabled());
    QVERIFY(!Child<QLabel>(window, "Label5")->isEnabled());
    QVERIFY(!Child<QCheckBox>(window, "chk_plotSweep")->isChecked());
    QVERIFY(Child<QCheckBox>(window, "Check2")->isChecked());
    QCOMPARE(Child<QLineEdit>(window, "txt_plotSpacing")->text(), QStringLiteral("5"));
    QCOMPARE(Child<QLineEdit>(window, "txt_Front")->text(), QStringLiteral("1,4"));
    QCOMPARE(Child<QLineEdit>(window, "txt_MaxTurning")->text(), QStringLiteral("40"));

    // The default library is worked on in the user's data folder.
    QCOMPARE(window.VehicleFilePath(), desktop.DataPath(QStringLiteral("DefaultVehicles.vdt")));
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].text,
             QStringLiteral("Can't find saved Vehicle File! Please open file"));
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Open File"));
    QCOMPARE(desktop.dialogsShown.size(), std::size_t{1});
    // Cancelling the dialog leaves an empty library under the default name.
    QVERIFY(QFileInfo::exists(window.VehicleFilePath()));
    QCOMPARE(window.windowTitle(),
             QStringLiteral("Veerline, Vehicle Turning Simulation [DefaultVehicles]"));
    // It stays above the drawing window, not above every program.
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    window.show();
    QCOMPARE(window.windowHandle()->transientParent(), window.DrawingWindowRef().windowHandle());
  }

  void controlsCarryTheirCaptionsAndLists() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    auto* types = Child<QComboBox>(window, "Combo1");
    QCOMPARE(types->count(), 13);
    QCOMPARE(types->itemText(12), QStringLiteral("Tandem Trailer"));
    QCOMPARE(types->itemData(12).toInt(), 13);
    auto* speedUnits = Child<QComboBox>(window, "Combo4");
    QCOMPARE(speedUnits->itemText(2), QStringLiteral("ms (Meters/Second"));
    auto* pathUnits = Child<QComboBox>(window, "Combo2");
    QCOMPARE(pathUnits->count(), 7);
    QCOMPARE(pathUnits->itemText(6), QStringLiteral("Inches"));
    QCOMPARE(pathUnits->itemData(6).toInt(), 6);
    QCOMPARE(Child<QPushButton>(window, "Command3")->text(), QStringLiteral("&Execute"));
    QCOMPARE(Child<QLabel>(window, "Label1(12)")->text(), QStringLiteral("B4="));
    auto* tabs = Child<QTabWidget>(window, "TabStrip1");
    QCOMPARE(tabs->tabText(2), QStringLiteral("Lock to lock Report"));
    QCOMPARE(tabs->tabBar()->tabData(1).toString(), QStringLiteral("ResDia"));
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("Picture2")) != nullptr);
    QVERIFY(window.findChild<QAction*>(QStringLiteral("M_Colors")) != nullptr);
  }

  void fieldVisibilityFollowsTheType() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    SelectType(window, 3);  // Tow Bar
    QVERIFY(Shown(window, "txtHitch"));
    QVERIFY(Shown(window, "txtHitch2"));
    QVERIFY(Shown(window, "Label12"));
    QVERIFY(!Shown(window, "Label13"));
    QVERIFY(!Shown(window, "txt_Front3"));
    SelectType(window, 2);  // Semi-Trailer
    QVERIFY(Shown(window, "txtHitch"));
    QVERIFY(!Shown(window, "txtHitch2"));
    QVERIFY(!Shown(window, "Label1(4)"));
    QVERIFY(Shown(window, "txt_WheelWidth_2"));
    SelectType(window, 10);  // Triple Trailer: everything
    for (int d = 0; d < kDimensionCount; ++d) {
      const std::string name(DimensionControlName(static_cast<Dimension>(d)));
      QVERIFY2(Shown(window, name.c_str()), name.c_str());
    }
    QVERIFY(Shown(window, "Label14"));
    SelectType(window, 7);  // Car: segment #1 only
    QVERIFY(!Shown(window, "txtHitch"));
    QVERIFY(!Shown(window, "txt_VeichleWidth_2"));
    QVERIFY(!Shown(window, "Label12"));
    QVERIFY(Shown(window, "txt_Back"));
    QVERIFY(Shown(window, "txt_WheelWidth"));
    QVERIFY(Shown(window, "Label11"));
    // Hidden fields keep their texts.
    QCOMPARE(Child<QLineEdit>(window, "txtHitch")->text(), QStringLiteral("2,65"));
    QVERIFY(!Child<QLabel>(window, "Image1")->pixmap().isNull());
  }

  void plotVehicleRulesEnableTheSpacingField() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    auto* plotVehicle = Child<QCheckBox>(window, "chk_PlotVehicle");
    auto* firstAndLast = Child<QCheckBox>(window, "Check1");
    auto* spacing = Child<QLineEdit>(window, "txt_plotSpacing");
    firstAndLast->setChecked(false);
    QVERIFY(spacing->isEnabled());
    plotVehicle->setChecked(false);
    QVERIFY(!firstAndLast->isEnabled());
    QVERIFY(!spacing->isEnabled());
    QVERIFY(!Child<QLabel>(window, "Label5")->isEnabled());
    plotVehicle->setChecked(true);
    QVERIFY(firstAndLast->isEnabled());
    QVERIFY(spacing->isEnabled());
    firstAndLast->setChecked(true);
    QVERIFY(!spacing->isEnabled());
  }

  void optionsAreWrittenAtCloseAndReadAtOpen() {
    TestDesktop desktop;
    {
      frmVehicleTurning window(desktop.Services());
      Child<QCheckBox>(window, "chk_PlotVehicle")->setChecked(false);
      Child<QCheckBox>(window, "chk_plotSweep")->setChecked(true);
      Child<QCheckBox>(window, "Check2")->setChecked(false);
      Child<QComboBox>(window, "Combo4")->setCurrentIndex(2);
      Child<QComboBox>(window, "Combo2")->setCurrentIndex(4);
      Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("12,5"));
      Child<QLineEdit>(window, "txt_plotSpacing")->setText(QStringLiteral("7"));
      window.close();
    }
    QCOMPARE(desktop.Setting(QStringLiteral("PlotVehicle")), QStringLiteral("0"));
    QCOMPARE(desktop.Setting(QStringLiteral("PlotOnlyFirstAndLast")), QStringLiteral("1"));
    QCOMPARE(desktop.Setting(QStringLiteral("PlotSweep")), QStringLiteral("1"));
    QCOMPARE(desktop.Setting(QStringLiteral("PlotEnvelope")), QStringLiteral("0"));
    QCOMPARE(desktop.Setting(QStringLiteral("SpeedSort")), QStringLiteral("2"));
    QCOMPARE(desktop.Setting(QStringLiteral("PathUnit")), QStringLiteral("4"));
    QCOMPARE(desktop.Setting(QStringLiteral("Speed")), QStringLiteral("12,5"));
    QCOMPARE(desktop.Setting(QStringLiteral("MaxVehicleSpacing")), QStringLiteral("7"));
    QCOMPARE(desktop.Setting(QStringLiteral("VehicleFile")),
             desktop.DataPath(QStringLiteral("DefaultVehicles.vdt")));

    frmVehicleTurning reopened(desktop.Services());
    QVERIFY(!Child<QCheckBox>(reopened, "chk_PlotVehicle")->isChecked());
    QVERIFY(!Child<QCheckBox>(reopened, "Check1")->isEnabled());
    QVERIFY(Child<QCheckBox>(reopened, "chk_plotSweep")->isChecked());
    QCOMPARE(Child<QComboBox>(reopened, "Combo4")->currentIndex(), 2);
    QCOMPARE(Child<QComboBox>(reopened, "Combo2")->currentIndex(), 4);
    QCOMPARE(Child<QComboBox>(reopened, "Combo3")->currentIndex(), 0);
    QCOMPARE(Child<QLineEdit>(reopened, "txt_Speed")->text(), QStringLiteral("12,5"));
  }

  void emptyLibraryPathIsStoredAsTheDefault() {
    TestDesktop desktop;
    desktop.SetSetting(QStringLiteral("VehicleFile"), QString());
    frmVehicleTurning window(desktop.Services());
    window.close();
    QCOMPARE(desktop.Setting(QStringLiteral("VehicleFile")),
             desktop.DataPath(QStringLiteral("DefaultVehicles.vdt")));
  }

  void badSettingsAreReportedAndTheWindowStillOpens() {
    TestDesktop desktop;
    desktop.SetSetting(QStringLiteral("VehicleFile"), desktop.Path(QStringLiteral("lib.vdt")));
    QFile(desktop.Path(QStringLiteral("lib.vdt"))).open(QIODevice::WriteOnly);
    desktop.SetSetting(QStringLiteral("PlotSweep"), QStringLiteral("yes"));
    desktop.SetSetting(QStringLiteral("PathUnit"), QStringLiteral("9"));
    frmVehicleTurning window(desktop.Services());
    QCOMPARE(desktop.messages.size(), std::size_t{2});
    for (const auto& message : desktop.messages) {
      QCOMPARE(message.title, QStringLiteral("Veichle Turning Simulation"));
      QVERIFY(message.text.endsWith(QStringLiteral(" Load frm")));
    }
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("PlotSweep")));
    QVERIFY(desktop.messages[1].text.contains(QStringLiteral("PathUnit")));
    // The rest of the window opened: lists filled, library listed.
    QCOMPARE(Child<QComboBox>(window, "Combo2")->currentIndex(), 0);
    QCOMPARE(Child<QComboBox>(window, "Combo3")->count(), 7);
    QCOMPARE(window.VehicleFilePath(), desktop.Path(QStringLiteral("lib.vdt")));
    QVERIFY(!Child<QCheckBox>(window, "chk_plotSweep")->isChecked());
  }

  // Also with the C library set to the comma locale, as Qt sets it from the
  // user's environment: the radius must show once.
  void summaryUsesTheCommaLocale() {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
      QSKIP("no de_DE.UTF-8 locale here (scripts/setup.sh generates it)");
    const auto restore = qScopeGuard([&] { std::setlocale(LC_NUMERIC, previous.c_str()); });
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);  // Meter
    SelectType(window, 1);
    SelectType(window, 2);
    QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Total Length: 21,05 meter"));
    QCOMPARE(window.StatusPanelText(0),
             QStringLiteral("Min Turning Radius (Centerline): 8,71 meter"));
  }

  void defaultsReadRightUnderAPointLocale() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    QCOMPARE(Child<QLineEdit>(window, "txt_WheelWidth")->text(), QStringLiteral("2.55"));
    QCOMPARE(Child<QLineEdit>(window, "txtHitch")->text(), QStringLiteral("2.65"));
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    SelectType(window, 1);
    SelectType(window, 2);
    QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Total Length: 21.05 meter"));
    QCOMPARE(window.StatusPanelText(0),
             QStringLiteral("Min Turning Radius (Centerline): 8.71 meter"));
  }

  void keyReleaseSummarisesTheLoadedTypeNotTheListedOne() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    SelectType(window, 1);  // Truck: 1,4 + 5,6 + 2,6
    QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Total Length: 9,6 meter"));
    // Nothing loaded from the list: the key handlers summarise type 0.
    QTest::keyClick(Child<QLineEdit>(window, "txt_Front"), Qt::Key_End);
    QCOMPARE(Child<QLabel>(window, "Label2")->text(), QStringLiteral("Total Length: 0 meter"));
  }

  void executeButtonChecksComeInOrder_data() {
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("lock");
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("vehicle");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    const QString missing = QStringLiteral("Missing value");
    QTest::newRow("blank speed") << "  "
                                 << "" << 0 << 0 << missing << "Missing value for Speed!";
    QTest::newRow("no lock to lock")
        << "10"
        << " " << 0 << 0 << missing
        << "Missing value for Lock to lock!\r\r(A common value is 6-8 seconds)";
    QTest::newRow("no path unit") << "10"
                                  << "8" << 0 << 1 << missing
                                  << "Please select Vehicle path units!";
    QTest::newRow("no vehicle unit")
        << "10"
        << "8" << 1 << 0 << missing
        << "Please select Vehicle units for selected Vehicle. Save it after selecting units.";
    QTest::newRow("units differ") << "10"
                                  << "8" << 1 << 5 << missing
                                  << "Your selected Vehicle units is not equal to the Vehicle "
                                     "path units!\r\rYou need to use same unit in booth";
    QTest::newRow("letters in the speed")
        << "abc"
        << "8" << 1 << 1 << QStringLiteral("Bad value") << "Bad value for Speed!";
    // With every check passed and no drawing open the run finds no CAD application.
    QTest::newRow("no drawing open")
        << "10"
        << "8" << 1 << 1 << QStringLiteral("Reading from drawing")
        << "No drawing is open. Open a drawing in the drawing window first (File > Open "
           "drawing...), then press Execute again.";
  }

  void executeButtonChecksComeInOrder() {
    QFETCH(QString, speed);
    QFETCH(QString, lock);
    QFETCH(int, path);
    QFETCH(int, vehicle);
    QFETCH(QString, title);
    QFETCH(QString, expected);
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    desktop.messages.clear();
    QSignalSpy finished(&window, &frmVehicleTurning::runFinished);
    Child<QLineEdit>(window, "txt_Speed")->setText(speed);
    Child<QLineEdit>(window, "txt_LockToLock")->setText(lock);
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(path);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(vehicle);
    Child<QPushButton>(window, "Command3")->click();
    QCOMPARE(finished.count(), 1);
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].kind, MessageKind::Warning);
    QCOMPARE(desktop.messages[0].title, title);
    QCOMPARE(desktop.messages[0].text, expected);
    QVERIFY(Child<QPushButton>(window, "Command3")->isEnabled());
  }

  void cancelStopsTheRunAndWritesTheSettings() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    window.show();
    Child<QPushButton>(window, "Command2")->click();
    QVERIFY(window.State().stopRequested);
    QVERIFY(!window.isVisible());
    QVERIFY(desktop.HasSetting(QStringLiteral("PathUnit")));
  }

  void helpMenuAndF1ShowTheGuideBesideTheProgram() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    window.show();
    desktop.messages.clear();
    window.findChild<QAction*>(QStringLiteral("M_Helpfile"))->trigger();
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("index.html")));
    QCOMPARE(window.Help(), nullptr);

    QDir(desktop.Path(QString())).mkpath(QStringLiteral("help"));
    QFile page(window.HelpFilePath());
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><head><title>Veerline Guide</title></head><body>Start</body></html>");
    page.close();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F1);
    QVERIFY(window.Help() != nullptr && window.Help()->isVisible());
    QCOMPARE(window.Help()->windowTitle(), QStringLiteral("Veerline Guide"));
    QCOMPARE(window.Help()->Browser()->source(), QUrl::fromLocalFile(window.HelpFilePath()));
  }

  // Hidden fields keep their room: no vehicle type makes the window taller.
  void typeChangeKeepsTheWindowSize() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    window.show();
    const QSize needed = window.minimumSizeHint();
    for (int code : {10, 1, 3, 13}) {
      SelectType(window, code);
      QCOMPARE(window.minimumSizeHint(), needed);
    }
  }

  // Under a decimal comma "6.6" is no number and -5 no wheelbase: the field
  // turns red as it is typed, and Execute names it before any pick.
  void badFieldsAreMarkedAndRefusedBeforeThePick() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("10"));
    desktop.messages.clear();
    auto* wheelbase = Child<QLineEdit>(window, "txt_Wheelbase");
    wheelbase->selectAll();
    QTest::keyClicks(wheelbase, QStringLiteral("6.6"));
    QVERIFY(wheelbase->property("fault").toBool());
    QVERIFY(wheelbase->toolTip().contains(QStringLiteral("\",\"")));
    Child<QPushButton>(window, "Command3")->click();
    QCOMPARE(desktop.MessageTexts(),
             QStringList{QStringLiteral("Bad value for Wheel Base (WB)!\r\r\"6.6\" is not a "
                                        "number. Type the decimal separator \",\".")});
    QVERIFY(window.State().steeringTrack.empty());

    wheelbase->setText(QStringLiteral("-5"));
    Child<QPushButton>(window, "Command3")->click();
    QCOMPARE(desktop.messages.back().text,
             QStringLiteral("Bad value for Wheel Base (WB)! Must be above zero!"));
    Child<QLineEdit>(window, "txt_Back")->setText(QStringLiteral("-0,5"));
    QVERIFY(Child<QLineEdit>(window, "txt_Back")->property("fault").toBool());
    // Grouping between groups of three digits is a number.
    wheelbase->setText(QStringLiteral("1.234,5"));
    QVERIFY(!wheelbase->property("fault").toBool());
    QVERIFY(!wheelbase->toolTip().contains(QStringLiteral("Not a number")));
    // A field the type does not use does not stop the run.
    Child<QLineEdit>(window, "txt_Back")->setText(QStringLiteral("1"));
    Child<QLineEdit>(window, "txt_Front4")->setText(QStringLiteral("x"));
    desktop.messages.clear();
    Child<QPushButton>(window, "Command3")->click();
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Reading from drawing"));

    // The mirror case under a decimal point: "2,45" is not 245.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Child<QLineEdit>(window, "txt_WheelWidth")->setText(QStringLiteral("2,45"));
    QVERIFY(Child<QLineEdit>(window, "txt_WheelWidth")->property("fault").toBool());
  }

  void progressBarLiesOverTheSecondPanel() {
    TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    window.resize(1100, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* panel = Child<QLabel>(window, "Panel2");
    auto* bar = window.ProgressBar();
    auto* status = Child<QWidget>(window, "StatusBar1");
    QCOMPARE(bar->x(), status->x() + panel->x());
    QCOMPARE(bar->width(), panel->width());
    QCOMPARE(bar->y(), window.height() - status->height() + 2);
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
