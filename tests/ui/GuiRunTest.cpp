// Runs from the Execute button on a drawing in the drawing window: the pick by
// clicks, the blocks and the summary, the refused second run, the cancelled
// pick, no drawing open, and the run diagrams with their readouts and copy.
#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/dxf/DrawingModel.h"
#include "engine/Rounding.h"
#include "ui/DiagramAnnotation.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/RunDiagramBox.h"
#include "ui/UserLocale.h"
#include "ui/VehicleTurningWindow.h"
#include "paint/DiagramReadout.h"
#include "paint/DiagramScale.h"
#include "paint/RunDiagrams.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

// Length of the path in TurnDxf: 20 m, a quarter circle of 12 m radius, 28 m.
const double kTurnPathLength = 20 + 6 * 3.14159265358979 + 28;

// The main window with the turn drawing open and a Semi-Trailer in metres at
// 3 km/h, slow enough for the steering to follow the turn.
struct Fixture {
  TestDesktop desktop;
  frmVehicleTurning window{desktop.Services()};
  DrawingWindow& drawingWindow = window.DrawingWindowRef();
  std::vector<std::function<void()>> pickSteps;
  std::size_t nextStep = 0;

  Fixture() {
    window.resize(1100, 600);
    window.show();
    drawingWindow.resize(800, 600);
    drawingWindow.show();
    const QString path = desktop.Path(QStringLiteral("turn.dxf"));
    if (!test::WriteFile(path, test::TurnDxf()) || !drawingWindow.OpenDrawingFile(path))
      qFatal("cannot open the test drawing");
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setCurrentIndex(types->findData(2));
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("3"));
    Child<QLineEdit>(window, "txt_Name")->setText(QStringLiteral("Semi"));
    QObject::connect(&drawingWindow.Picker(), &InteractivePicker::pickStarted, [this] {
      if (nextStep < pickSteps.size()) QTimer::singleShot(0, pickSteps[nextStep++]);
    });
    desktop.messages.clear();
  }

  cad::DrawingModel& Drawing() { return *drawingWindow.Drawing(); }
  cad::DrawingApplication& Application() { return *window.Attacher().Application(); }

  void Click(double x, double y, Qt::MouseButton button = Qt::LeftButton) {
    DrawingView* view = drawingWindow.View();
    QTest::mouseClick(view, button, Qt::NoModifier, view->ToScreen(QPointF(x, y)).toPoint());
  }

  void Execute() { Child<QPushButton>(window, "Command3")->click(); }

  int Inserts() {
    int count = 0;
    for (const auto& entity : Drawing().ModelSpace().Entities())
      count += entity->EntityType() == cad::kEntityBlockInsert;
    return count;
  }
};

}  // namespace

class GuiRunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void runFromTheButtonDrawsIntoThePickedDrawing() {
    Fixture f;
    bool buttonEnabledDuringPick = true;
    bool closeEnabledDuringPick = true;
    f.pickSteps = {[&] {
      buttonEnabledDuringPick = Child<QPushButton>(f.window, "Command3")->isEnabled();
      closeEnabledDuringPick =
          f.drawingWindow.findChild<QAction*>(QStringLiteral("CloseDrawing"))->isEnabled();
      f.Execute();  // refused while the first run waits for its pick
      f.Click(20, 0);
    }};
    QSignalSpy finished(&f.window, &frmVehicleTurning::runFinished);
    f.Execute();

    QCOMPARE(finished.count(), 1);
    QCOMPARE(f.nextStep, std::size_t{1});
    QVERIFY(!buttonEnabledDuringPick);
    QVERIFY(!closeEnabledDuringPick);
    QVERIFY(Child<QPushButton>(f.window, "Command3")->isEnabled());
    QVERIFY(f.desktop.messages.empty());
    QVERIFY(f.window.StatusPanelText(0).startsWith(QStringLiteral("Truck Max Turning Angle: ")));
    QVERIFY(f.window.StatusPanelText(0).endsWith(QStringLiteral(" km/h")));
    QVERIFY(!f.window.isMinimized());

    // Three blocks; the vehicle outlines and the envelope are inserted.
    QCOMPARE(f.Drawing().Blocks().size(), std::size_t{3});
    QCOMPARE(f.Inserts(), 2);
    QVERIFY(f.Drawing().FindLayer("Turn_Vehicle") != nullptr);
    QCOMPARE(f.Application().RegenCount(), 1);
    QVERIFY(f.drawingWindow.IsModified());
    QVERIFY(!f.drawingWindow.LayerList()
                 ->findItems(QStringLiteral("Turn_Vehicle"), Qt::MatchExactly)
                 .isEmpty());
    QVERIFY(f.drawingWindow.View()->Highlight().empty());

    // Both diagrams span the path.
    const RunState& state = f.window.State();
    const double extent = paint::DiagramStationExtent(state);
    QVERIFY(std::abs(extent - kTurnPathLength) < 0.25);
    QCOMPARE(paint::TurningDiagramScale(state).width, extent);
    QCOMPARE(paint::SpeedDiagramScale(state).width, extent);
    QCOMPARE(paint::SpeedDiagramScale(state).top, 35.0);
  }

  void missedClickAsksAgain() {
    Fixture f;
    f.pickSteps = {[&] { f.Click(10, 15); }, [&] { f.Click(32, 30); }};
    f.Execute();
    QCOMPARE(f.nextStep, std::size_t{2});
    QVERIFY(f.desktop.messages.empty());
    QVERIFY(f.window.StatusPanelText(0).startsWith(QStringLiteral("Truck Max Turning Angle: ")));
  }

  void cancelledPickEndsTheRunSilently() {
    Fixture f;
    f.pickSteps = {[&] { QTest::keyClick(f.drawingWindow.View(), Qt::Key_Escape); }};
    f.Execute();
    QVERIFY(f.desktop.messages.empty());
    QVERIFY(f.Drawing().Blocks().empty());
    QCOMPARE(f.Application().RegenCount(), 0);
    QCOMPARE(f.Application().SentCommands(), std::vector<std::string>{"^C"});
    QVERIFY(!f.window.isMinimized());
    QVERIFY(!f.drawingWindow.IsModified());
    QVERIFY(Child<QPushButton>(f.window, "Command3")->isEnabled());
    QCOMPARE(f.window.StatusPanelText(0), QString());
  }

  // A refused pick leaves no trace: nothing to undo, nothing to save, and
  // the status line names the wrong element, not a path of length 0.
  void pickedLineIsRefusedAsPath() {
    Fixture f;
    const std::size_t layers = f.Drawing().Layers().size();
    f.pickSteps = {[&] { f.Click(5, 30); }};
    f.Execute();
    QCOMPARE(f.desktop.messages.size(), std::size_t{1});
    QVERIFY(f.desktop.messages[0].title.startsWith(QStringLiteral("Wrong type of element")));
    QCOMPARE(f.Inserts(), 0);
    QVERIFY(f.drawingWindow.View()->Highlight().empty());
    QCOMPARE(f.window.StatusPanelText(0),
             QStringLiteral("Wrong type of path selected, Press Execute to Continue"));
    auto* undo = f.drawingWindow.findChild<QAction*>(QStringLiteral("UndoDrawing"));
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QVERIFY(!f.drawingWindow.IsModified());
    QCOMPARE(f.Drawing().Layers().size(), layers);
    f.window.close();
    QCOMPARE(f.desktop.messages.size(), std::size_t{1});  // no "Save the changes?"
  }

  // Undoing a run takes its figures away with its output.
  void undoingARunClearsItsFigures() {
    Fixture f;
    f.pickSteps = {[&] { f.Click(20, 0); }};
    f.Execute();
    QVERIFY(!f.window.DiagramState().steeringTrack.empty());
    QVERIFY(!f.window.StatusPanelText(0).isEmpty());
    f.drawingWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.drawingWindow));
    QTest::keyClick(f.drawingWindow.View(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.Drawing().ModelSpace().Entities().back()->Erased());
    QVERIFY(f.window.DiagramState().steeringTrack.empty());
    QCOMPARE(f.window.StatusPanelText(0), QString());
    QVERIFY(static_cast<RunDiagramBox*>(f.window.Picture3())->Run().vehicleName.isEmpty());
  }

  // A click where an earlier run's output lies over the path picks the path;
  // the diagrams keep the finished run through a cancelled pick and a refused one.
  void pathUnderEarlierOutputIsPickedAndDiagramsStay() {
    Fixture f;
    f.Drawing().AddBlock({0, 0, 0}, "EarlierRun").AddLightWeightPolyline({{0, 0, 0}, {10, 0, 0}});
    f.Drawing().InsertBlock({0, 0, 0}, "EarlierRun", 1, 1, 1, 0);
    f.drawingWindow.View()->Refresh();
    f.pickSteps = {[&] { f.Click(5, 0); },
                   [&] { QTest::keyClick(f.drawingWindow.View(), Qt::Key_Escape); },
                   [&] { f.Click(5, 30); }};
    f.Execute();
    QVERIFY(f.desktop.messages.empty());
    const double extent = paint::DiagramStationExtent(f.window.DiagramState());
    QVERIFY(std::abs(extent - kTurnPathLength) < 0.25);
    f.Execute();
    f.Execute();
    QCOMPARE(f.nextStep, std::size_t{3});
    QCOMPARE(f.desktop.messages.size(), std::size_t{1});  // the refused line
    QVERIFY(f.window.State().steeringTrack.empty());
    QCOMPARE(paint::DiagramStationExtent(f.window.DiagramState()), extent);
  }

  // Closing the window while the pick waits stops the run first; a changed
  // drawing is offered for saving, and Cancel keeps the program open.
  void closingDuringARunStopsItFirst() {
    Fixture f;
    f.pickSteps = {[&] { f.Click(20, 0); }, [&] { f.window.close(); }};
    f.Execute();
    QVERIFY(f.drawingWindow.IsModified());
    std::vector<RunOutcome> outcomes;
    QObject::connect(&f.window, &frmVehicleTurning::runFinished,
                     [&](RunOutcome outcome) { outcomes.push_back(outcome); });
    f.desktop.cancelQuestions = 1;
    f.Execute();
    QCOMPARE(outcomes, std::vector<RunOutcome>{RunOutcome::Ended});
    QCOMPARE(f.Inserts(), 2);
    QVERIFY(f.window.isVisible());  // the save question was cancelled
    QCOMPARE(f.desktop.messages.back().text,
             QStringLiteral("The drawing turn.dxf has changed. Save the changes?"));
    f.desktop.answers = {MessageAnswer::No};
    f.window.close();
    QVERIFY(!f.window.isVisible());
    QVERIFY(f.desktop.HasSetting(QStringLiteral("PathUnit")));
  }

  void closedDrawingIsReportedAsNoCadApplication() {
    Fixture f;
    QVERIFY(f.drawingWindow.CloseDrawing());
    f.Execute();
    QCOMPARE(f.desktop.messages.size(), std::size_t{1});
    QCOMPARE(f.desktop.messages[0].title, QStringLiteral("Reading from drawing"));
    QVERIFY(!f.window.isMinimized());
    QVERIFY(f.window.State().steeringTrack.empty());
  }

  void diagramsReadOutAndCopyAfterARun() {
    Fixture f;
    Child<QComboBox>(f.window, "Combo4")->setCurrentIndex(2);  // m/s
    Child<QLineEdit>(f.window, "txt_Speed")->setText(QStringLiteral("0,8"));
    f.pickSteps = {[&] { f.Click(20, 0); }};
    f.Execute();
    QVERIFY(f.desktop.messages.empty());
    auto* tabs = Child<QTabWidget>(f.window, "TabStrip1");
    auto* turning = static_cast<RunDiagramBox*>(f.window.Picture3());
    auto* speed = static_cast<RunDiagramBox*>(f.window.Picture2());

    tabs->setCurrentIndex(1);
    QVERIFY(turning->isVisible() && !speed->isVisible());
    const QPoint middle(turning->width() / 2, turning->height() / 4);
    QTest::mouseMove(turning, middle);
    const QString readout = turning->toolTip();
    QCOMPARE(readout,
             paint::TurningReadout(f.window.State(), middle, turning->size(), UserNumberSymbols()));
    QVERIFY(readout.startsWith(QStringLiteral("Front Wheel Station: ")));
    QVERIFY(readout.contains(QStringLiteral("   Angle(%): 50")));

    // The cursor reads the curves at the pointer's station, whatever its height;
    // a Semi-Trailer's legend has its tractor and its semi-trailer only.
    const QStringList atMiddle = turning->CursorTexts();
    QTest::mouseMove(turning, QPoint(middle.x(), turning->height() - 3));
    QVERIFY(turning->toolTip() != readout);
    QCOMPARE(turning->CursorTexts(), atMiddle);
    const double station = *turning->CursorStation();
    const auto steering = TrackValueAt(f.window.DiagramState().steeringTrack, station);
    QVERIFY(steering && std::abs(*steering) > 1);
    QCOMPARE(atMiddle, (QStringList{StationText(station, turning->Run(), UserNumberSymbols()),
                                    QString::fromStdString(FormatFieldNumber(
                                        RoundHalfEven(*steering, 1), UserNumberSymbols())) +
                                        QStringLiteral(" %"),
                                    turning->CursorTexts().last()}));
    QVERIFY(atMiddle.first().endsWith(QStringLiteral(" m")));
    QCOMPARE(TurningLegend(turning->Run().vehicleType),
             (QStringList{QStringLiteral(" Tractor (steering)"), QStringLiteral(" Semi-trailer")}));

    // The copy carries the station axis and the vehicle's name besides the diagram.
    f.window.findChild<QAction*>(QStringLiteral("M_CopyToClipboard"))->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), turning->size());
    QCOMPARE(turning->Run().vehicleName, QStringLiteral("Semi"));
    QVERIFY(copied.convertToFormat(QImage::Format_RGB32) !=
            paint::RenderTurningDiagram(f.window.DiagramState(), turning->size()));

    tabs->setCurrentIndex(2);
    QVERIFY(speed->isVisible() && !turning->isVisible());
    QTest::mouseMove(speed, QPoint(0, speed->height() - 1));
    QVERIFY(speed->toolTip().startsWith(QStringLiteral("Front Wheel Station: 0   Speed: -")));
    f.window.findChild<QAction*>(QStringLiteral("M_CopyToClipboard2"))->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().size(), speed->size());

    // The speed labels keep the unit the run recorded in.
    QCOMPARE(speed->DiagramSpeedUnit(), SpeedUnit::MetresPerSecond);
    Child<QComboBox>(f.window, "Combo4")->setCurrentIndex(0);
    QCOMPARE(speed->DiagramSpeedUnit(), SpeedUnit::MetresPerSecond);
    tabs->setCurrentIndex(0);
  }
};

QTEST_MAIN(GuiRunTest)
#include "GuiRunTest.moc"
