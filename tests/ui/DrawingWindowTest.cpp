// The drawing window: opening, saving and closing drawings, the layer list,
// pan and zoom, and the interactive pick by clicks and keys.
#include <QAction>
#include <QListWidget>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/CadConnection.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::TestDesktop;

namespace {

// A drawing window on its own attacher, shown at a fixed size.
struct Fixture {
  TestDesktop desktop;
  cad::DrawingAttacher attacher;
  DrawingWindow window{desktop.Services(), attacher};

  Fixture() {
    window.resize(800, 600);
    window.show();
  }

  QString WriteDrawing(const QString& name, const QByteArray& content) {
    const QString path = desktop.Path(name);
    if (!test::WriteFile(path, content)) qFatal("cannot write %s", qPrintable(path));
    return path;
  }

  // Widget position of a drawing point.
  QPoint At(double x, double y) const { return window.View()->ToScreen(QPointF(x, y)).toPoint(); }

  // Runs one pick; every time the window waits, the next step acts on it.
  cad::PickOutcome PickWith(std::vector<std::function<void()>> steps) {
    std::size_t next = 0;
    QMetaObject::Connection connection =
        QObject::connect(&window.Picker(), &InteractivePicker::pickStarted, [&] {
          if (next < steps.size()) QTimer::singleShot(0, steps[next++]);
        });
    cad::PickOutcome outcome = window.Picker().Pick("Select path (Polyline) in Drawing");
    QObject::disconnect(connection);
    return outcome;
  }

  void Click(const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(window.View(), button, Qt::NoModifier, at);
  }
};

QStringList LayerNames(const DrawingWindow& window) {
  QStringList names;
  for (int i = 0; i < window.LayerList()->count(); ++i)
    names << window.LayerList()->item(i)->text();
  return names;
}

}  // namespace

class DrawingWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void openDrawingShowsItsLayersTitleAndIsRemembered() {
    Fixture f;
    const QString path = f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf());
    f.desktop.chosenFiles.push_back(path);
    f.window.findChild<QAction*>(QStringLiteral("OpenDrawing"))->trigger();
    QCOMPARE(f.desktop.dialogsShown.back(), FileDialogKind::OpenDrawing);
    QVERIFY(f.attacher.Current() != nullptr);
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing - turn.dxf"));
    QCOMPARE(f.window.DrawingPath(), QFileInfo(path).absoluteFilePath());
    QVERIFY(LayerNames(f.window).contains(QStringLiteral("Path")));
    QVERIFY(LayerNames(f.window).contains(QStringLiteral("Kerb")));
    QCOMPARE(f.desktop.Setting(QStringLiteral("DrawingFile")), QFileInfo(path).absoluteFilePath());

    // The next start opens it again.
    cad::DrawingAttacher again;
    DrawingWindow second(f.desktop.Services(), again);
    second.OpenAtStart();
    QCOMPARE(second.windowTitle(), QStringLiteral("Veerline Drawing - turn.dxf"));
  }

  void unreadableFileIsReportedAndTheOpenDrawingStays() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    const cad::DrawingModel* before = f.attacher.Current();
    const QString bad =
        f.WriteDrawing(QStringLiteral("broken.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n");
    QVERIFY(!f.window.OpenDrawingFile(bad));
    QVERIFY(!f.window.OpenDrawingFile(f.desktop.Path(QStringLiteral("missing.dxf"))));
    QCOMPARE(f.desktop.messages.size(), std::size_t{2});
    QCOMPARE(f.desktop.messages[0].kind, MessageKind::Warning);
    QVERIFY(f.desktop.messages[0].text.contains(QStringLiteral("broken.dxf")));
    QVERIFY(f.desktop.messages[1].text.contains(QStringLiteral("missing.dxf")));
    QCOMPARE(f.attacher.Current(), before);
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing - turn.dxf"));
  }

  void startWithoutAUsableRememberedFileOpensAnEmptyDrawing() {
    Fixture f;
    f.desktop.SetSetting(QStringLiteral("DrawingFile"), f.desktop.Path(QStringLiteral("gone.dxf")));
    f.window.OpenAtStart();
    QVERIFY(f.attacher.Current() != nullptr);
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing - Untitled"));
    QVERIFY(f.desktop.messages.empty());
  }

  void closedDrawingLeavesNothingToAttachTo() {
    Fixture f;
    f.window.OpenAtStart();
    QVERIFY(f.window.CloseDrawing());
    QCOMPARE(f.attacher.Current(), nullptr);
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing"));
    QVERIFY(!f.window.findChild<QAction*>(QStringLiteral("SaveDrawing"))->isEnabled());
    cad::CadConnection connection(f.attacher);
    QVERIFY_THROWS_EXCEPTION(cad::CadError, connection.Attach());
  }

  void savedDrawingReadsBackAndChangesAreOfferedForSaving() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    f.attacher.Application()->Regen();  // what a run does when it has drawn
    QVERIFY(f.window.IsModified());

    // Closing asks; Cancel keeps the drawing, Yes saves to its own file before it goes.
    f.desktop.cancelQuestions = 1;
    QVERIFY(!f.window.CloseDrawing());
    QVERIFY(f.attacher.Current() != nullptr && f.window.IsModified());
    f.desktop.answers.push_back(MessageAnswer::Yes);
    f.attacher.Current()->AddLayer("Turn_Vehicle");
    QVERIFY(f.window.CloseDrawing());
    QCOMPARE(f.desktop.messages.back().kind, MessageKind::Question);
    QVERIFY(f.desktop.messages.back().text.contains(QStringLiteral("turn.dxf")));
    QVERIFY(f.window.OpenDrawingFile(f.desktop.Path(QStringLiteral("turn.dxf"))));
    QVERIFY(LayerNames(f.window).contains(QStringLiteral("Turn_Vehicle")));
    QVERIFY(!f.window.IsModified());

    // Save as writes a new file, which becomes the drawing's file.
    f.desktop.chosenFiles.push_back(f.desktop.Path(QStringLiteral("copy")));
    QVERIFY(f.window.SaveDrawingAs());
    QVERIFY(QFileInfo::exists(f.desktop.Path(QStringLiteral("copy.dxf"))));
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing - copy.dxf"));
  }

  void failedSaveKeepsTheChangedDrawing() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    f.attacher.Application()->Regen();
    f.desktop.chosenFiles.push_back(f.desktop.Path(QStringLiteral("no/such/folder/x.dxf")));
    f.window.findChild<QAction*>(QStringLiteral("SaveDrawingAs"))->trigger();
    QVERIFY(f.desktop.messages.back().text.contains(QStringLiteral("x.dxf")));
    QVERIFY(f.window.IsModified());
    QCOMPARE(f.window.windowTitle(), QStringLiteral("Veerline Drawing - turn.dxf"));
    // Closing with the save question answered Yes but the dialog cancelled
    // keeps the drawing open.
    f.desktop.answers.push_back(MessageAnswer::Yes);
    QVERIFY(f.window.NewDrawing());  // own file: saved without a dialog
    f.attacher.Application()->Regen();
    f.desktop.answers.push_back(MessageAnswer::Yes);
    QVERIFY(!f.window.CloseDrawing());
    QVERIFY(f.attacher.Current() != nullptr);
    QVERIFY(f.window.IsModified());
  }

  void runInProgressLocksTheFileCommands() {
    Fixture f;
    f.window.OpenAtStart();
    f.window.SetRunInProgress(true);
    QVERIFY(!f.window.findChild<QAction*>(QStringLiteral("CloseDrawing"))->isEnabled());
    QVERIFY(!f.window.findChild<QAction*>(QStringLiteral("OpenDrawing"))->isEnabled());
    QVERIFY(!f.window.CloseDrawing());
    QVERIFY(f.attacher.Current() != nullptr);
    f.window.SetRunInProgress(false);
    QVERIFY(f.window.findChild<QAction*>(QStringLiteral("CloseDrawing"))->isEnabled());
  }

  void hiddenLayerIsNeitherDrawnNorPicked() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    const QPoint onKerb = f.At(5, 30);
    QCOMPARE(f.window.View()->HitTest(onKerb).value_or(""), std::string("41"));
    QListWidgetItem* kerb =
        f.window.LayerList()->findItems(QStringLiteral("Kerb"), Qt::MatchExactly).value(0);
    QVERIFY(kerb != nullptr);
    kerb->setCheckState(Qt::Unchecked);
    QVERIFY(!f.attacher.Current()->FindLayer("Kerb")->Visible);
    QVERIFY(!f.window.View()->HitTest(onKerb).has_value());
    kerb->setCheckState(Qt::Checked);
    QCOMPARE(f.window.View()->HitTest(onKerb).value_or(""), std::string("41"));
  }

  void wheelZoomsAboutThePointerAndExtentsRestore() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    DrawingView* view = f.window.View();
    const double fitted = view->PixelsPerUnit();
    const QPoint pointer(300, 200);
    const QPointF under = view->ToWorld(pointer);
    QWheelEvent wheel(pointer, view->mapToGlobal(pointer), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view, &wheel);
    QVERIFY(view->PixelsPerUnit() > fitted * 1.5);
    QVERIFY(QLineF(view->ToWorld(pointer), under).length() < 1e-6);

    // A middle-button drag moves the picture by the drag.
    const QPointF before = view->ToScreen(QPointF(0, 0));
    QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, QPoint(100, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 90), view->mapToGlobal(QPointF(130, 90)),
                     Qt::NoButton, Qt::MiddleButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, QPoint(130, 90));
    QVERIFY(QLineF(view->ToScreen(QPointF(0, 0)), before + QPointF(30, -10)).length() < 1e-6);

    f.window.findChild<QAction*>(QStringLiteral("ZoomToExtents"))->trigger();
    QCOMPARE(view->PixelsPerUnit(), fitted);
  }

  void pickHitsTheEntityUnderTheClickAndHighlightsIt() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    QString prompt;
    const cad::PickOutcome outcome = f.PickWith({[&] {
      prompt = f.window.statusBar()->currentMessage();
      f.Click(f.At(20, 0) + QPoint(3, 3));  // near a vertex, within the tolerance
    }});
    QCOMPARE(outcome.Kind, cad::PickKind::Hit);
    QCOMPARE(outcome.Handle, std::string("40"));
    QCOMPARE(prompt, QStringLiteral("Select path (Polyline) in Drawing"));
    QCOMPARE(f.window.View()->Highlight(), std::string("40"));
    QVERIFY(f.window.statusBar()->currentMessage().isEmpty());
  }

  void clickOnEmptySpaceMissesAndADragIsNoClick() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    cad::PickOutcome outcome = f.PickWith({[&] {
      // A left drag pans and picks nothing; the click after it misses.
      QTest::mousePress(f.window.View(), Qt::LeftButton, Qt::NoModifier, f.At(20, 0));
      QMouseEvent move(QEvent::MouseMove, QPointF(f.At(20, 0) + QPoint(40, 0)), QPointF(),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(f.window.View(), &move);
      QTest::mouseRelease(f.window.View(), Qt::LeftButton, Qt::NoModifier,
                          f.At(20, 0) + QPoint(40, 0));
      f.Click(f.At(10, 15));
    }});
    QCOMPARE(outcome.Kind, cad::PickKind::Miss);
    QVERIFY(f.window.View()->Highlight().empty());
  }

  void escapeRightClickAndClosingTheWindowCancel() {
    Fixture f;
    QVERIFY(f.window.OpenDrawingFile(f.WriteDrawing(QStringLiteral("turn.dxf"), test::TurnDxf())));
    QCOMPARE(f.PickWith({[&] { QTest::keyClick(f.window.View(), Qt::Key_Escape); }}).Kind,
             cad::PickKind::Cancel);
    QCOMPARE(f.PickWith({[&] { f.Click(f.At(20, 0), Qt::RightButton); }}).Kind,
             cad::PickKind::Cancel);
    QCOMPARE(f.PickWith({[&] { f.window.close(); }}).Kind, cad::PickKind::Cancel);
    // A hidden window is shown again for the next pick.
    QCOMPARE(f.PickWith({[&] { f.Click(f.At(32, 30)); }}).Kind, cad::PickKind::Hit);
    QVERIFY(f.window.isVisible());
    QVERIFY(!f.window.Picker().IsPicking());
  }
};

QTEST_MAIN(DrawingWindowTest)
#include "DrawingWindowTest.moc"
