// The clearance check from the main window: obstacle layers and margin chosen
// in the clearance group and kept in the settings, the conflicts of a run in
// the "Clearance Report" tab, and a chosen row centring the drawing window.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "ui/ClearanceReport.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;

namespace {

// The turn drawing with a kerb across its first straight (handle 42) and a
// marking line beside it on a layer left unchosen.
QByteArray StreetDxf() {
  return test::EntitiesDxf(
      "0\nLWPOLYLINE\n5\n40\n8\nPath\n90\n4\n70\n0\n"
      "10\n0\n20\n0\n10\n20\n20\n0\n42\n0.41421356237309503\n10\n32\n20\n12\n10\n32\n20\n40\n"
      "0\nLINE\n5\n42\n8\nKerb\n10\n10\n20\n-6\n11\n10\n21\n-1\n"
      "0\nLINE\n5\n43\n8\nMarking\n10\n0\n20\n0.5\n11\n20\n21\n0.5\n");
}

void Check(QListWidget* layers, const QString& name) {
  const auto found = layers->findItems(name, Qt::MatchExactly);
  if (found.isEmpty()) qFatal("no layer item");
  found.front()->setCheckState(Qt::Checked);
}

}  // namespace

class ClearanceUiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void runListsTheConflictsAndARowZoomsOnItsMark() {
    test::TestDesktop desktop;
    {
      frmVehicleTurning window{desktop.Services()};
      DrawingWindow& drawingWindow = window.DrawingWindowRef();
      window.show();
      drawingWindow.resize(800, 600);
      drawingWindow.show();
      const QString path = desktop.Path(QStringLiteral("street.dxf"));
      QVERIFY(test::WriteFile(path, StreetDxf()) && drawingWindow.OpenDrawingFile(path));
      auto* types = Child<QComboBox>(window, "Combo1");
      types->setCurrentIndex(types->findData(2));
      Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
      Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
      Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("3"));

      // The group lists the drawing's layers; the kerb is chosen, 1,5 margin.
      auto* layers = Child<QListWidget>(window, "lstObstacleLayers");
      QVERIFY(!layers->findItems(QStringLiteral("Marking"), Qt::MatchExactly).isEmpty());
      Check(layers, QStringLiteral("Kerb"));
      Child<QLineEdit>(window, "txt_ClearanceMargin")->setText(QStringLiteral("1,5"));

      QObject::connect(&drawingWindow.Picker(), &InteractivePicker::pickStarted, [&] {
        QTimer::singleShot(0, [&] {
          DrawingView* view = drawingWindow.View();
          QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier,
                            view->ToScreen(QPointF(20, 0)).toPoint());
        });
      });
      Child<QPushButton>(window, "Command3")->click();

      QVERIFY(window.StatusPanelText(0).contains(QStringLiteral("Conflicts: 1  Closest: 0,00")));
      auto* report = Child<ClearanceReport>(window, "ClearanceReport");
      QTableWidget* table = report->Table();
      QCOMPARE(table->rowCount(), 1);
      // The run's own layers are no obstacles to offer.
      QVERIFY(drawingWindow.Drawing()->FindLayer("Turn_Vehicle") != nullptr);
      QVERIFY(layers->findItems(QStringLiteral("Turn_"), Qt::MatchStartsWith).isEmpty());
      QCOMPARE(table->item(0, 0)->text(), QStringLiteral("Kerb"));
      QCOMPARE(table->item(0, 1)->text(), QStringLiteral("42"));
      QCOMPARE(table->item(0, 2)->text(), QStringLiteral("0,00"));

      // A click on the row zooms in on its mark, some 10 m around it.
      QTabBar* tabs = Child<QTabWidget>(window, "TabStrip1")->tabBar();
      QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(3).center());
      QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                        table->visualItemRect(table->item(0, 0)).center());
      DrawingView* view = drawingWindow.View();
      QVERIFY(std::abs(std::min(view->width(), view->height()) / view->PixelsPerUnit() - 20) <
              0.01);
      const ObstacleClearance& conflict = window.State().clearance.Conflicts.front();
      const QPointF mark =
          drawingWindow.View()->ToScreen(QPointF(conflict.Nearest.X, conflict.Nearest.Y));
      const QPointF middle(drawingWindow.View()->width() / 2.0,
                           drawingWindow.View()->height() / 2.0);
      QVERIFY((mark - middle).manhattanLength() < 1);
      QCOMPARE(drawingWindow.View()->Highlight(), std::string("42"));
      window.close();
    }
    // The choice is kept for the next start.
    frmVehicleTurning again{desktop.Services()};
    QCOMPARE(Child<QLineEdit>(again, "txt_ClearanceMargin")->text(), QStringLiteral("1,5"));
    QCOMPARE(desktop.Settings()->value(QStringLiteral("Turn/ObstacleLayers")).toStringList(),
             QStringList{QStringLiteral("Kerb")});
  }
};

QTEST_MAIN(ClearanceUiTest)
#include "ClearanceUiTest.moc"
