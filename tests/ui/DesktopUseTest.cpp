// The desktop program used as a newcomer uses it: clicks on the vehicle list,
// the diagrams under the pointer, figures after undo, entering a vehicle, and
// the small conveniences around them, each driven by mouse and key events.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "engine/VehicleModel.h"
#include "library/VehicleDataFile.h"
#include "ui/DrawingWindow.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

std::filesystem::path Fs(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString Text(QWidget& window, const char* field) { return Child<QLineEdit>(window, field)->text(); }

void ClickRow(QListWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(row)).center());
}

// A library of two Semi-Trailers in metres, told apart by name and front overhang.
QString TwoVehicleLibrary(TestDesktop& desktop) {
  const QString path = desktop.Path(QStringLiteral("fleet.vdt"));
  QFile(path).open(QIODevice::WriteOnly);
  for (const auto& [name, front] : {std::pair{"Tipper 3-axle", 1.25}, {"Low loader", 2.5}}) {
    VehicleRecord vehicle = VehicleRecord::Defaults();
    vehicle.Name = name;
    vehicle.Type = 2;
    vehicle.Unit = 1;
    vehicle[Dimension::Front] = front;
    library::AddVehicleRecord(Fs(path), vehicle);
  }
  desktop.SetSetting(QStringLiteral("VehicleFile"), path);
  return path;
}

}  // namespace

class DesktopUseTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  // One click loads the entry it highlights, as keys do; the wheel only
  // scrolls. Save then replaces the highlighted vehicle with what the fields
  // show, and no other.
  void theHighlightedVehicleIsTheOneInTheFields() {
    TestDesktop desktop;
    const QString library = TwoVehicleLibrary(desktop);
    frmVehicleTurning window(desktop.Services());
    window.show();
    auto* list = Child<QListWidget>(window, "List1");
    QCOMPARE(Text(window, "txt_Name"), QStringLiteral("Tipper 3-axle"));

    ClickRow(list, 1);
    QCOMPARE(list->currentItem()->text().trimmed(), QStringLiteral("Low loader"));
    QCOMPARE(Text(window, "txt_Name"), QStringLiteral("Low loader"));
    QCOMPARE(Text(window, "txt_Front"), QStringLiteral("2,5"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(Text(window, "txt_Front"), QStringLiteral("1,25"));
    QWheelEvent wheel(QPointF(5, 5), list->viewport()->mapToGlobal(QPointF(5, 5)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(list->viewport(), &wheel);
    QCOMPARE(Text(window, "txt_Name"), list->currentItem()->text().trimmed());

    ClickRow(list, 1);
    auto* front = Child<QLineEdit>(window, "txt_Front");
    front->selectAll();
    QTest::keyClicks(front, QStringLiteral("3,75"));
    QTest::mouseClick(Child<QPushButton>(window, "Command1"), Qt::LeftButton);
    QVERIFY(desktop.messages.empty());
    const auto stored = library::ListVehicleRecords(Fs(library));
    QCOMPARE(stored.size(), std::size_t{2});
    QCOMPARE(library::ReadVehicleRecord(Fs(library), stored[0].record).Name,
             std::string("Tipper 3-axle"));
    QCOMPARE(library::ReadVehicleRecord(Fs(library), stored[0].record)[Dimension::Front], 1.25);
    QCOMPARE(library::ReadVehicleRecord(Fs(library), stored[1].record)[Dimension::Front], 3.75);
  }

  // The summary's unit words follow the Units box at once; a drawing that
  // says it is in millimetres sets the path unit when it opens.
  void unitsFollowTheBoxAndTheDrawing() {
    TestDesktop desktop;
    TwoVehicleLibrary(desktop);
    frmVehicleTurning window(desktop.Services());
    window.show();
    auto* units = Child<QComboBox>(window, "Combo3");
    units->setFocus();
    for (int i = 0; i < 4; ++i) QTest::keyClick(units, Qt::Key_Down);
    QCOMPARE(units->currentText(), QStringLiteral("Feet"));
    QVERIFY(Child<QLabel>(window, "Label2")->text().endsWith(QStringLiteral(" feet")));

    const QString drawing = desktop.Path(QStringLiteral("mm.dxf"));
    test::WriteFile(
        drawing, "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n" + test::EntitiesDxf(""));
    DrawingWindow& drawingWindow = window.DrawingWindowRef();
    desktop.chosenFiles.push_back(drawing);
    drawingWindow.findChild<QAction*>(QStringLiteral("OpenDrawing"))->trigger();
    QCOMPARE(drawingWindow.DrawingPath(), QFileInfo(drawing).absoluteFilePath());
    QCOMPARE(Child<QComboBox>(window, "Combo2")->currentText(), QStringLiteral("Millimeter"));
  }

  // A new single-unit truck: Save marks every field it needs at once, leaving
  // out the angle between segments it does not have; filled in, it saves.
  // A library that cannot be written says so with its name.
  void enteringANewTruck() {
    TestDesktop desktop;
    const QString library = TwoVehicleLibrary(desktop);
    frmVehicleTurning window(desktop.Services());
    window.show();
    QTest::mouseClick(Child<QPushButton>(window, "Command4"), Qt::LeftButton);
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Up);
    QCOMPARE(types->currentText(), QStringLiteral("Truck"));
    QTest::keyClick(Child<QComboBox>(window, "Combo3"), Qt::Key_Home);
    auto* save = Child<QPushButton>(window, "Command1");
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(desktop.MessageTexts(),
             QStringList{QStringLiteral("Please Input Name for the Vehicle")});
    auto marked = [&](const char* name) {
      return Child<QWidget>(window, name)->property("fault").toBool();
    };
    const std::array<const char*, 8> needed{"txt_Name",       "Combo3",        "txt_Front",
                                            "txt_Wheelbase",  "txt_Back",      "txt_VeichleWidth",
                                            "txt_MaxTurning", "txt_LockToLock"};
    for (const char* name : needed) QVERIFY2(marked(name), name);
    QVERIFY(!marked("txt_MaxSegAnle"));
    QVERIFY(!marked("txt_Front2"));

    QTest::keyClicks(Child<QLineEdit>(window, "txt_Name"), QStringLiteral("Van"));
    QTest::keyClick(Child<QComboBox>(window, "Combo3"), Qt::Key_Down);
    const std::array<std::pair<const char*, const char*>, 7> values{{{"txt_Front", "1"},
                                                                     {"txt_Wheelbase", "4"},
                                                                     {"txt_Back", "1"},
                                                                     {"txt_VeichleWidth", "2"},
                                                                     {"txt_WheelWidth", "2"},
                                                                     {"txt_MaxTurning", "40"},
                                                                     {"txt_LockToLock", "6"}}};
    for (const auto& [name, value] : values)
      QTest::keyClicks(Child<QLineEdit>(window, name), QString::fromLatin1(value));
    for (const char* name : needed) QVERIFY2(!marked(name), name);
    desktop.messages.clear();
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(desktop.MessageTexts(), QStringList());
    QCOMPARE(Child<QListWidget>(window, "List1")->currentItem()->text().trimmed(),
             QStringLiteral("Van"));
    QCOMPARE(library::ListVehicleRecords(Fs(library)).size(), std::size_t{3});

    if (!QFile::exists(QStringLiteral("/dev/full"))) return;
    desktop.chosenFiles.push_back(QStringLiteral("/dev/full"));
    window.findChild<QAction*>(QStringLiteral("M_Open"))->trigger();
    desktop.messages.clear();
    QTest::keyClicks(Child<QLineEdit>(window, "txt_Name"), QStringLiteral(" 2"));
    QTest::mouseClick(save, Qt::LeftButton);
    // The system's reason comes in the user's language.
    QCOMPARE(desktop.messages.size(), std::size_t{1});
    QVERIFY(desktop.messages[0].text.startsWith(
        QStringLiteral("The library full cannot be written: ")));
    QVERIFY(desktop.messages[0].text.endsWith(QStringLiteral(". Prepare to Save or Copy")));
  }

  // The vehicle chosen last is chosen again at the next start; file dialogs
  // open in the user's documents, then where the last file of their kind
  // was; status and tab captions never widen the window nor are cut short;
  // File > Exit of the drawing window closes the program's main window.
  void smallConveniences() {
    TestDesktop desktop;
    TwoVehicleLibrary(desktop);
    {
      frmVehicleTurning window(desktop.Services());
      window.show();
      ClickRow(Child<QListWidget>(window, "List1"), 1);
      window.close();
    }
    frmVehicleTurning window(desktop.Services());
    window.show();
    QCOMPARE(Text(window, "txt_Name"), QStringLiteral("Low loader"));

    const QString other = desktop.Path(QStringLiteral("libraries/other.vdt"));
    QDir().mkpath(QFileInfo(other).absolutePath());
    QFile(other).open(QIODevice::WriteOnly);
    desktop.chosenFiles = {other, QString()};
    window.findChild<QAction*>(QStringLiteral("M_Open"))->trigger();
    window.findChild<QAction*>(QStringLiteral("M_New"))->trigger();
    window.DrawingWindowRef().findChild<QAction*>(QStringLiteral("OpenDrawing"))->trigger();
    const QString documents = desktop.Path(QStringLiteral("documents"));
    QCOMPARE(desktop.dialogFolders,
             (QStringList{documents, QFileInfo(other).absolutePath(), documents}));

    // A long status text is cut to the window, never widens it; its tooltip is whole.
    const int width = window.width();
    const QString summary = QStringLiteral("Truck Max Turning Angle: 25,4 ").repeated(12);
    window.SetStatusPanelText(0, summary);
    QCoreApplication::processEvents();
    QCOMPARE(window.width(), width);
    QVERIFY(window.minimumSizeHint().width() <= width);
    QCOMPARE(Child<QLabel>(window, "Panel1")->toolTip(), summary);

    QTabBar* tabs = Child<QTabWidget>(window, "TabStrip1")->tabBar();
    for (int i = 0; i < tabs->count(); ++i)
      QVERIFY(tabs->tabRect(i).width() > tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)));

    window.DrawingWindowRef().findChild<QAction*>(QStringLiteral("ExitProgram"))->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(!window.DrawingWindowRef().isVisible());
  }
};

QTEST_MAIN(DesktopUseTest)
#include "DesktopUseTest.moc"
