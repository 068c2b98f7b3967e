// A manoeuvre drawn and run in the desktop program as a user does it: the
// Path tool's legs with a cusp between them, Save and Open, Execute and a
// click on one leg.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <array>
#include <cmath>
#include <functional>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/ManoeuvreLegs.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/PathTool.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;
using veerline::ui::test::TestDesktop;

namespace {

// A kerb line around the yard, carrying another program's extended data.
QByteArray YardDxf() {
  return test::EntitiesDxf(
      "0\nLINE\n5\n41\n8\nKerb\n10\n-20\n20\n-60\n11\n90\n21\n20\n"
      "1001\nOTHERAPP\n1000\nkeep me\n");
}

}  // namespace

class ManoeuvreTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  // A semitrailer driven forward past a bay and backed round a corner into
  // it: two legs tied by their extended data. Execute on the reverse leg runs
  // both and the trailer ends in the bay; Save writes the legs with the other
  // program's data kept, and the drawing opened again runs the same manoeuvre.
  void drawnManoeuvreBacksIntoABayAndRunsAgainAfterSave() {
    TestDesktop desktop;
    frmVehicleTurning window{desktop.Services()};
    DrawingWindow& drawingWindow = window.DrawingWindowRef();
    window.show();
    drawingWindow.resize(800, 600);
    drawingWindow.show();
    const QString path = desktop.Path(QStringLiteral("yard.dxf"));
    QVERIFY(test::WriteFile(path, YardDxf()) && drawingWindow.OpenDrawingFile(path));
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setCurrentIndex(types->findData(2));
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("3"));
    Child<QLineEdit>(window, "txt_Name")->setText(QStringLiteral("Semi"));

    desktop.messages.clear();  // the missing vehicle library at start
    DrawingView* view = drawingWindow.View();
    auto click = [&](double x, double y) {
      QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, view->ToScreen(QPointF(x, y)).toPoint());
    };
    auto key = [&](Qt::Key k) { QTest::keyClick(view, k); };
    PathTool& tool = drawingWindow.Editor().Path();
    view->setFocus();
    key(Qt::Key_P);
    QVERIFY(tool.IsActive());
    key(Qt::Key_1);
    key(Qt::Key_5);
    key(Qt::Key_Return);
    click(0, 0);
    click(70, 0);
    key(Qt::Key_R);
    QVERIFY(tool.ReverseLeg());
    // The reverse leg starts where the trailer's axle stands, behind the cusp.
    const double start = tool.Points().front().X;
    QVERIFY(start < 70 - 5);
    QVERIFY(std::abs(tool.Points().front().Y) < 0.5);
    // Back past the bay's side, then round the corner 30 m into the bay.
    const double bay = start - 25;
    click(bay, 0);
    click(bay, -30);
    key(Qt::Key_Return);
    QVERIFY(!tool.IsActive());

    auto execute = [&] {
      QMetaObject::Connection pick =
          QObject::connect(&drawingWindow.Picker(), &InteractivePicker::pickStarted,
                           [&] { QTimer::singleShot(0, [&] { click(bay, -25); }); });
      Child<QPushButton>(window, "Command3")->click();
      QObject::disconnect(pick);
    };
    execute();
    const RunState& state = window.State();
    QCOMPARE(state.legs.size(), std::size_t{2});
    QCOMPARE(state.legs[0].outcome, std::string("completed"));
    QCOMPARE(state.legs[1].outcome, std::string("completed"));
    QVERIFY(state.legs[1].reverse);
    const std::array<double, 3> parked = state.axles.back();
    QVERIFY2(std::abs(parked[0] - bay) < 0.5 && std::abs(parked[2] - 90) < 5,
             qPrintable(QStringLiteral("trailer at %1, facing %2").arg(parked[0]).arg(parked[2])));
    QVERIFY(window.StatusPanelText(0).contains(QStringLiteral("Legs: 2 (1 reverse)")));
    QVERIFY(drawingWindow.Drawing()->FindLayer("Turn_Reverse") != nullptr);
    QVERIFY(desktop.messages.empty());

    QVERIFY(drawingWindow.SaveDrawing());
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    QVERIFY(text.contains("APPID"));
    QVERIFY(text.contains("keep me"));
    QCOMPARE(text.count("1001\nVEERLINE\n"), 2);
    QVERIFY(drawingWindow.OpenDrawingFile(path));

    std::vector<cad::DrawingEntity*> legs;
    for (const auto& e : drawingWindow.Drawing()->ModelSpace().Entities())
      if (e->Layer() == "Path") legs.push_back(e.get());
    QCOMPARE(legs.size(), std::size_t{2});
    const auto order = cad::ManoeuvreLegsOf(*drawingWindow.Drawing(), *legs.back());
    QCOMPARE(order.size(), std::size_t{2});
    QVERIFY(!order[0].Reverse && order[1].Reverse);

    execute();
    QCOMPARE(state.legs.size(), std::size_t{2});
    QCOMPARE(state.legs[1].outcome, std::string("completed"));
    for (int c = 0; c < 3; ++c) QCOMPARE(state.axles.back()[c], parked[c]);
    QVERIFY(desktop.messages.empty());
  }
};

QTEST_MAIN(ManoeuvreTest)
#include "ManoeuvreTest.moc"
