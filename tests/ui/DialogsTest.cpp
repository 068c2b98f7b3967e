// The colour settings dialog, the splash screen and the about box.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "UiTestSupport.h"
#include "ui/AboutBox.h"
#include "ui/SettingsDialog.h"
#include "ui/SplashScreen.h"
#include "ui/VersionInfo.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

QString Label(QWidget& window, const char* name) { return Child<QLabel>(window, name)->text(); }

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void colourDialogOpensWithTheDefaults() {
    TestDesktop desktop;
    frmVehicleTurningSettings dialog(desktop.Services());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Vehicle Turning Settings"));
    QVERIFY(!dialog.isModal());
    for (const char* body : {"Combo1", "Combo2", "Combo3", "Combo4"})
      QCOMPARE(dialog.List(body)->currentText(), QStringLiteral("Blue"));
    for (const char* wheel : {"Combo5", "Combo6", "Combo7", "Combo8"})
      QCOMPARE(dialog.List(wheel)->currentText(), QStringLiteral("Green"));
    QCOMPARE(dialog.List("Combo9")->currentText(), QStringLiteral("White"));
    QCOMPARE(dialog.List("Combo10")->currentText(), QStringLiteral("White"));
    for (const char* yellow : {"Combo11", "Combo12", "Combo13"})
      QCOMPARE(dialog.List(yellow)->currentText(), QStringLiteral("Yellow"));
    QCOMPARE(dialog.List("Combo1")->itemData(0).toInt(), 256);
    QCOMPARE(dialog.List("Combo1")->itemData(7).toInt(), 7);
    QVERIFY(desktop.messages.empty());
  }

  void okSavesEveryPositionAndCancelSavesNothing() {
    TestDesktop desktop;
    {
      frmVehicleTurningSettings dialog(desktop.Services());
      dialog.List("Combo1")->setCurrentIndex(0);  // By Layer
      dialog.List("Combo13")->setCurrentIndex(6);
      dialog.show();
      Child<QPushButton>(dialog, "Command2")->click();
      QVERIFY(!dialog.isVisible());
    }
    QVERIFY(!desktop.HasSetting(QStringLiteral("VehicleSweepLeftFrontColor")));
    {
      frmVehicleTurningSettings dialog(desktop.Services());
      dialog.List("Combo1")->setCurrentIndex(0);
      dialog.List("Combo13")->setCurrentIndex(6);
      dialog.show();
      Child<QPushButton>(dialog, "Command1")->click();
      QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(desktop.Setting(QStringLiteral("VehicleSweepLeftFrontColor")), QStringLiteral("0"));
    QCOMPARE(desktop.Setting(QStringLiteral("EnvelopeRightColor")), QStringLiteral("6"));
    for (const ColourSetting& setting : ColourSettingsInLoadOrder())
      QVERIFY2(desktop.HasSetting(QString::fromLatin1(setting.key)), setting.key);
    QCOMPARE(desktop.Setting(QStringLiteral("WheelSweepLeftBackColor")), QStringLiteral("3"));

    frmVehicleTurningSettings reopened(desktop.Services());
    QCOMPARE(reopened.List("Combo1")->currentText(), QStringLiteral("By Layer"));
    QCOMPARE(reopened.List("Combo13")->currentText(), QStringLiteral("Magenta"));
  }

  void badStoredColoursAreReportedAndOthersStillLoad() {
    TestDesktop desktop;
    desktop.SetSetting(QStringLiteral("VehicleBodyOutlineColor"), QStringLiteral("red"));
    desktop.SetSetting(QStringLiteral("TyreTreadColor"), QStringLiteral("8"));
    desktop.SetSetting(QStringLiteral("EnvelopeRightColor"), QStringLiteral("1"));
    frmVehicleTurningSettings dialog(desktop.Services());
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Draftkit"));
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("VehicleBodyOutlineColor")));
    QVERIFY(desktop.messages[0].text.contains(QStringLiteral("TyreTreadColor")));
    QCOMPARE(dialog.List("Combo9")->currentText(), QStringLiteral("White"));
    QCOMPARE(dialog.List("Combo11")->currentText(), QStringLiteral("Yellow"));
    // A list loaded after the bad ones keeps its saved choice.
    QCOMPARE(dialog.List("Combo13")->currentText(), QStringLiteral("Red"));
  }

  void splashShowsTheUsersDecimalSeparatorAndTheVersion() {
    TestDesktop desktop;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    {
      frmSplash splash(desktop.Services());
      QCOMPARE(Label(splash, "lblDecimalSeparator"), QStringLiteral(","));
      QCOMPARE(Label(splash, "Label4"), QStringLiteral("You should use:"));
      QCOMPARE(Label(splash, "Label1"), QStringLiteral("as Decimal Separator in Veerline"));
      const VersionInfo v = ProgramVersion();
      QCOMPARE(Label(splash, "Label5"),
               QStringLiteral("Version %1  (Build %2)").arg(v.major).arg(v.revision));
      QCOMPARE(splash.Timer1()->interval(), 2000);
      QVERIFY(splash.Timer1()->isActive());
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    frmSplash splash(desktop.Services());
    QCOMPARE(Label(splash, "lblDecimalSeparator"), QStringLiteral("."));
  }

  void splashClosesIntoTheMainWindowAfterTwoSeconds() {
    TestDesktop desktop;
    frmSplash splash(desktop.Services());
    splash.show();
    // The splash is gone before the main window opens, so the opening's
    // prompts are never hidden behind it.
    bool visibleWhenDue = true;
    QObject::connect(&splash, &frmSplash::mainWindowDue,
                     [&] { visibleWhenDue = splash.isVisible(); });
    QSignalSpy due(&splash, &frmSplash::mainWindowDue);
    QVERIFY(due.wait(4000));
    QVERIFY(!visibleWhenDue);
  }

  void versionTextsFollowTheVersionNumbers() {
    const VersionInfo file = ParseVersion(QStringLiteral("1.0.0.3"));
    QCOMPARE(file.major, 1);
    QCOMPARE(file.minor, 0);
    QCOMPARE(file.revision, 3);
    const VersionInfo three = ParseVersion(QStringLiteral("2.4.7"));
    QCOMPARE(three.revision, 7);
    QCOMPARE(ParseVersion(QStringLiteral("x")).major, 0);
  }

  void aboutBoxShowsVersionAndOpensTheWebPage() {
    TestDesktop desktop;
    desktop.SetSetting(QStringLiteral("UpdateAddress"), QStringLiteral("https://example.org/v"));
    frmAbout about(desktop.Services());
    QCOMPARE(about.windowTitle(), QStringLiteral("About Veerline"));
    const VersionInfo v = ProgramVersion();
    QCOMPARE(Label(about, "lblVersion"),
             QStringLiteral("Version %1.%2.%3").arg(v.major).arg(v.minor).arg(v.revision));
    QCOMPARE(Label(about, "lblDescription"),
             QStringLiteral("Vehicle Turning Simulation for DXF drawings"));
    QVERIFY(!(about.windowFlags() & Qt::WindowStaysOnTopHint));
    Child<QPushButton>(about, "Command2")->click();
    QCOMPARE(desktop.openedUrls, QStringList{QStringLiteral("https://example.org/v")});
    QVERIFY(desktop.messages.empty());

    desktop.urlOpens = false;
    about.show();
    Child<QPushButton>(about, "Command2")->click();
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QCOMPARE(desktop.messages[0].kind, MessageKind::Error);
    QCOMPARE(desktop.messages[0].title, QStringLiteral("Check for updates"));
    QVERIFY(about.isVisible());
  }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
