// The Drive tool driven with the mouse as a user does: D, a start, a
// direction, the pointer moved round a corner with the preview following it,
// a click, Enter; the drivable path and its run land in the drawing as one
// undo step.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>
#include <cmath>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/DriveTool.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

class DriveToolTest : public QObject {
  Q_OBJECT

 private slots:
  void drivesACornerWithTheMouseAndRunsIt() {
    TestDesktop desktop;
    frmVehicleTurning window{desktop.Services()};
    DrawingWindow& drawingWindow = window.DrawingWindowRef();
    window.show();
    drawingWindow.resize(800, 600);
    drawingWindow.show();
    const QString file = desktop.Path(QStringLiteral("yard.dxf"));
    QVERIFY(test::WriteFile(file, test::EntitiesDxf("0\nLINE\n5\n41\n8\nKerb\n10\n-10\n20\n-20\n"
                                                    "11\n90\n21\n90\n")));
    QVERIFY(drawingWindow.OpenDrawingFile(file));
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setCurrentIndex(types->findData(2));
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("15"));
    Child<QLineEdit>(window, "txt_Name")->setText(QStringLiteral("Semi"));
    desktop.messages.clear();  // the missing vehicle library at start

    // The keys go to the drawing window, which the user has clicked into.
    drawingWindow.activateWindow();
    if (!QTest::qWaitForWindowActive(&drawingWindow)) qWarning("drawing window not active");
    DrawingView* view = drawingWindow.View();
    auto at = [&](double x, double y) { return view->ToScreen(QPointF(x, y)).toPoint(); };
    auto click = [&](double x, double y) { QTest::mouseClick(view, Qt::LeftButton, {}, at(x, y)); };
    DriveTool& tool = drawingWindow.Editor().Drive();
    view->setFocus();
    QTest::keyClick(view, Qt::Key_D);
    QVERIFY(tool.IsActive());
    click(0, 0);
    click(60, 0);
    // The pointer swings round to the north; the vehicle follows it.
    for (int i = 0; i <= 6; ++i) {
      const double a = i * 0.25;
      QTest::mouseMove(view, at(60 + 50 * std::sin(a), 50 * (1 - std::cos(a))));
    }
    QVERIFY(tool.Preview() != nullptr);
    QVERIFY2(tool.Preview()->Error.empty(), tool.Preview()->Error.c_str());
    QVERIFY(tool.Preview()->Stretch.Trace.Outlines.size() > 100);
    click(60, 70);
    QTest::keyClick(view, Qt::Key_Backspace);  // taken back, and fixed again
    QCOMPARE(tool.Points().size(), std::size_t{2});
    click(60, 70);
    QTest::keyClick(view, Qt::Key_Return);
    QVERIFY(!tool.IsActive());

    cad::DrawingModel& drawing = *drawingWindow.Drawing();
    std::vector<const cad::DrawingEntity*> paths;
    for (const auto& e : drawing.ModelSpace().Entities())
      if (e->Layer() == "Path" && !e->Erased()) paths.push_back(e.get());
    QCOMPARE(paths.size(), std::size_t{1});
    const auto& v = paths.front()->Data().Vertices;
    QVERIFY(v.size() > 6);  // straight, easing arcs, the arc, easing arcs, straight
    QVERIFY(std::hypot(v.back().X - 60, v.back().Y - 70) < 1);  // the last click, to a pixel
    QVERIFY2(desktop.messages.empty(),
             qPrintable(desktop.MessageTexts().join(QStringLiteral("; "))));
    QVERIFY(!window.State().stations.empty());
    QVERIFY(drawing.FindLayer("Turn_Vehicle") != nullptr);
    const std::size_t entities = drawing.ModelSpace().Entities().size();
    QVERIFY(entities > 2);

    // One undo takes back the path and the run together.
    QCOMPARE(drawingWindow.Editor().History().UndoName(), std::string("Drive"));
    drawingWindow.Editor().Undo();
    for (const auto& e : drawing.ModelSpace().Entities())
      QVERIFY(e->Handle() == "41" || e->Erased());
    QVERIFY(!drawingWindow.Editor().History().CanUndo());
  }
};

QTEST_MAIN(DriveToolTest)
#include "DriveToolTest.moc"
