// Run > Fleet check as a user makes it: a standard library opened from the
// File menu, the path picked by a click in the drawing window, the rows, a
// sort by a column and a double click that runs the row's vehicle into the
// drawing with the row's figures. And the editor's word on each length.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "UiTestSupport.h"
#include "cad/dxf/DrawingModel.h"
#include "run/RunFigures.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/FleetDialog.h"
#include "ui/InteractivePicker.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;

namespace {

QAction* EntryNamed(QMenu* menu, const QString& text) {
  emit menu->aboutToShow();  // the menu lists the libraries as it opens
  for (QAction* action : menu->actions())
    if (action->text().contains(text)) return action;
  return nullptr;
}

}  // namespace

class FleetCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void fleetOfAStandardLibraryOverAPickedPathAndARowRunIntoTheDrawing() {
    test::TestDesktop desktop;
    const QString shipped = QStringLiteral(VEERLINE_BINARY_DIR "/bin/");
    for (const char* file : {"Austroads-2013.vdt", "StandardLibraries.tsv"})
      if (!QFile::copy(shipped + QLatin1String(file), desktop.Path(QLatin1String(file))))
        QSKIP("the standard libraries are not built");
    frmVehicleTurning window(desktop.Services());
    window.show();
    desktop.messages.clear();  // no default library in this program folder
    DrawingWindow& drawing = window.DrawingWindowRef();
    drawing.resize(800, 600);
    drawing.show();
    QVERIFY(drawing.OpenDrawingFile(QStringLiteral(VEERLINE_SOURCE_DIR "/examples/drawings/junction90.dxf")));

    // File > Standard libraries: the user works on a copy; the source is in the description.
    QAction* austroads = EntryNamed(Child<QMenu>(window, "M_Standard"), QStringLiteral("Austroads"));
    QVERIFY(austroads != nullptr);
    austroads->trigger();
    QCOMPARE(window.VehicleFilePath(), desktop.DataPath(QStringLiteral("Austroads-2013.vdt")));
    auto* list = Child<QListWidget>(window, "List1");
    QCOMPARE(list->count(), 9);
    QVERIFY(Child<QLineEdit>(window, "Text1")->text().contains(QStringLiteral("AP-G34")));

    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);  // path in metres
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("10"));
    QObject::connect(&drawing.Picker(), &InteractivePicker::pickStarted, [&] {
      QTimer::singleShot(0, [&] {
        DrawingView* view = drawing.View();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier,
                          view->ToScreen(QPointF(-40, -1.75)).toPoint());
      });
    });
    // Run > Fleet check with the mouse: a click on the menu's title, then on the entry.
    QMenu* runMenu = Child<QMenu>(window, "M_Run");
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                      bar->actionGeometry(runMenu->menuAction()).center());
    QTRY_VERIFY(runMenu->isVisible());
    QTest::mouseClick(runMenu, Qt::LeftButton, Qt::NoModifier,
                      runMenu->actionGeometry(Child<QAction>(window, "M_FleetCheck")).center());
    QVERIFY2(desktop.messages.empty(), qPrintable(desktop.MessageTexts().join(QLatin1Char('|'))));
    QTRY_VERIFY_WITH_TIMEOUT(window.Fleet() != nullptr && window.Fleet()->Finished(), 120000);
    FleetDialog& fleet = *window.Fleet();
    const auto rows = fleet.Rows();
    QCOMPARE(rows.size(), std::size_t{9});
    int fitting = 0;
    for (const auto& row : rows) {
      QVERIFY(row.has_value());
      fitting += FleetRowFits(*row);
    }
    QVERIFY(FleetRowFits(*rows[0]));  // the car
    QVERIFY(fitting < 9);             // the long combinations steer too fast at 10 km/h

    // A click on the swept-width header sorts by it.
    QTableWidget* table = fleet.Table();
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(header->sectionViewportPosition(6) + 5, header->height() / 2));
    for (int r = 1; r < table->rowCount(); ++r)
      if (!table->item(r, 6)->text().isEmpty() && !table->item(r - 1, 6)->text().isEmpty())
        QVERIFY(table->item(r - 1, 6)->data(Qt::UserRole).toDouble() <=
                table->item(r, 6)->data(Qt::UserRole).toDouble());

    // A double click on the service vehicle's row runs it into the drawing, as Execute does.
    int at = 0;
    while (!table->item(at, 0)->text().contains(QStringLiteral("Service vehicle"))) ++at;
    const FleetRow& chosen = *rows[1];
    QSignalSpy finished(&window, &frmVehicleTurning::runFinished);
    const QRect cell = table->visualItemRect(table->item(at, 1));
    // A double click: the first click's press and release, then the second.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QCOMPARE(finished.count(), 1);
    QVERIFY(desktop.messages.empty());
    QCOMPARE(Child<QLineEdit>(window, "txt_Name")->text(), QString::fromStdString(chosen.vehicle));
    const RunFigures single =
        MeasureRun(finished.at(0).at(0).value<RunOutcome>(), window.State());
    QCOMPARE(static_cast<int>(single.outcome), static_cast<int>(chosen.figures.outcome));
    QCOMPARE(single.maxSteeringAngle, chosen.figures.maxSteeringAngle);
    QCOMPARE(single.lowestSpeed, chosen.figures.lowestSpeed);
    QCOMPARE(single.sweptWidth, chosen.figures.sweptWidth);
    QVERIFY(drawing.Drawing()->FindLayer("Turn_Vehicle") != nullptr);
  }

  void editorSaysWhatEachLengthMeasures() {
    test::TestDesktop desktop;
    frmVehicleTurning window(desktop.Services());
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setCurrentIndex(types->findData(2));  // Semi-Trailer
    QVERIFY(Child<QLineEdit>(window, "txtHitch")->toolTip().contains(QStringLiteral("ahead of the axle")));
    QVERIFY(Child<QLineEdit>(window, "txt_Front2")->toolTip().contains(QStringLiteral("kingpin")));
    types->setCurrentIndex(types->findData(4));  // Tow Bar Semi: its body begins behind the coupling
    QVERIFY(Child<QLineEdit>(window, "txt_Front2")->toolTip().contains(QStringLiteral("back to the front")));
    types->setCurrentIndex(types->findData(3));  // Tow Bar: H2 is the drawbar
    QVERIFY(Child<QLineEdit>(window, "txtHitch2")->toolTip().contains(QStringLiteral("drawbar")));
    QVERIFY(Child<QLabel>(window, "Image1")->toolTip().count(QLatin1Char('\n')) >= 6);
  }
};

QTEST_MAIN(FleetCheckTest)
#include "FleetCheckTest.moc"
