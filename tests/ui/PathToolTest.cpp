// Drawing a path with the Path tool, selecting, deleting, undo and redo in
// the drawing window, driven by clicks and keys.
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>
#include <cmath>
#include <numbers>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/DrawingApplication.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingEditor.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/PathTool.h"
#include "ui/UserLocale.h"

using namespace veerline;
using namespace veerline::ui;

namespace {

// An L of two lines: (0,0)-(100,0) and (0,0)-(0,80).
QByteArray KerbDxf() {
  return test::EntitiesDxf(
      "0\nLINE\n5\n41\n8\nKerb\n10\n0\n20\n0\n11\n100\n21\n0\n"
      "0\nLINE\n5\n42\n8\nKerb\n10\n0\n20\n0\n11\n0\n21\n80\n");
}

struct Fixture {
  test::TestDesktop desktop;
  cad::DrawingAttacher attacher;
  DrawingWindow window{desktop.Services(), attacher};

  Fixture() {
    window.resize(800, 600);
    window.show();
    window.activateWindow();
    const QString path = desktop.Path(QStringLiteral("kerb.dxf"));
    if (!test::WriteFile(path, KerbDxf()) || !window.OpenDrawingFile(path)) qFatal("no drawing");
    if (!QTest::qWaitForWindowActive(&window)) qWarning("drawing window not active");
    window.View()->setFocus();
  }
  QPoint At(double x, double y) const { return window.View()->ToScreen(QPointF(x, y)).toPoint(); }
  void Click(double x, double y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(window.View(), Qt::LeftButton, modifiers, At(x, y));
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window.View(), static_cast<Qt::Key>(key), modifiers);
  }
  cad::DrawingModel& Drawing() { return *attacher.Current(); }
};

}  // namespace

class PathToolTest : public QObject {
  Q_OBJECT

 private slots:
  // The first point snaps to the middle of a line, Shift keeps both legs
  // level or plumb, so the one corner is a right angle rounded with R from
  // the vehicle (11.8 rounded up to 12); Enter finishes, undo and redo take
  // the path away and bring it back.
  void drawsASnappedPathThenUndoesAndRedoesIt() {
    Fixture f;
    f.window.Editor().Path().SetRadiusSource([] { return std::optional<double>(11.8); });
    f.Key(Qt::Key_P);
    QVERIFY(f.window.Editor().Path().IsActive());
    QCOMPARE(f.window.Editor().Path().Radius(), 12.0);
    auto* radius = f.window.findChild<QLineEdit*>(QStringLiteral("txt_PathRadius"));
    QVERIFY(radius->isEnabled());
    QCOMPARE(radius->text(), QStringLiteral("12"));
    f.Click(50, 0.4);
    f.Click(50.3, 40, Qt::ShiftModifier);
    f.Click(90, 40.3, Qt::ShiftModifier);
    f.Key(Qt::Key_Return);
    QVERIFY(!f.window.Editor().Path().IsActive());

    const auto& selection = f.window.Editor().Selection();
    QCOMPARE(selection.size(), std::size_t{1});
    const cad::DrawingEntity* path = selection.front();
    QCOMPARE(path->Layer(), std::string("Path"));
    QVERIFY(f.Drawing().FindLayer("Path") != nullptr);
    const auto& v = path->Data().Vertices;
    QCOMPARE(v.size(), std::size_t{4});
    QCOMPARE(v[0].X, 50.0);  // snapped exactly
    QCOMPARE(v[0].Y, 0.0);
    QCOMPARE(v[1].X, 50.0);  // level and plumb legs
    QCOMPARE(v[2].Y, v[3].Y);
    QCOMPARE(v[2].Y - v[1].Y, 12.0);
    QVERIFY(std::abs(v[1].Bulge + std::tan(std::numbers::pi / 8)) < 1e-12);
    QVERIFY(f.window.IsModified());

    const std::string handle = path->Handle();
    f.Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.Drawing().FindEntity(handle) == nullptr);
    QVERIFY(f.Drawing().FindLayer("Path") == nullptr);
    QVERIFY(f.window.Editor().Selection().empty());
    f.Key(Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(f.Drawing().FindEntity(handle) != nullptr);
  }

  // A corner too tight for R refuses to finish, with the whole reason in a
  // message, and the tool stays; R typed into the toolbar field makes it fit;
  // Backspace takes back a point, Escape cancels.
  void typedRadiusBackspaceAndEscape() {
    Fixture f;
    f.Key(Qt::Key_P);
    f.Key(Qt::Key_2);
    f.Key(Qt::Key_0);
    f.Key(Qt::Key_Return);
    QCOMPARE(f.window.Editor().Path().Radius(), 20.0);
    f.Click(20, 30);
    f.Click(40, 30);
    f.Click(40, 45);
    f.Key(Qt::Key_Return);  // a 15-unit leg cannot take a 20-unit tangent
    QVERIFY(f.window.Editor().Path().IsActive());
    QVERIFY(f.window.statusBar()->currentMessage().contains(QStringLiteral("too tight")));
    QCOMPARE(f.desktop.messages.size(), std::size_t{1});
    QCOMPARE(f.desktop.messages[0].text, f.window.statusBar()->currentMessage());
    QVERIFY(f.desktop.messages[0].text.endsWith(QStringLiteral(".")));
    auto* radius = f.window.findChild<QLineEdit*>(QStringLiteral("txt_PathRadius"));
    QTest::mouseClick(radius, Qt::LeftButton);
    radius->selectAll();
    QTest::keyClicks(radius, QStringLiteral("7") + UserDecimalSeparator() + QStringLiteral("5"));
    QTest::keyClick(radius, Qt::Key_Return);
    QCOMPARE(f.window.Editor().Path().Radius(), 7.5);
    QVERIFY(f.window.View()->hasFocus());
    f.Key(Qt::Key_Backspace);
    QCOMPARE(f.window.Editor().Path().Points().size(), std::size_t{2});
    f.Key(Qt::Key_Escape);
    QVERIFY(!f.window.Editor().Path().IsActive());
    QVERIFY(!f.window.IsModified());
  }

  // What a run inserts is selected as one by clicking any of its references,
  // Delete erases it all, undo brings it back.
  void deletesARunAndUndoBringsItBack() {
    Fixture f;
    cad::DrawingModel& drawing = f.Drawing();
    f.window.SetRunInProgress(true);
    drawing.AddLayer("Turn_Out");
    for (const char* name : {"Run_Outlines", "Run_Envelope"}) {
      cad::CadBlock& block = drawing.AddBlock({0, 0, 0}, name);
      block.AddCircle({60, 50, 0}, 5);
      drawing.InsertBlock({0, 0, 0}, name, 1, 1, 1, 0);
    }
    f.window.SetRunInProgress(false);
    f.window.View()->Refresh();

    f.Click(65, 50);
    QCOMPARE(f.window.Editor().Selection().size(), std::size_t{2});
    f.Key(Qt::Key_Delete);
    QVERIFY(f.window.Editor().Selection().empty());
    QCOMPARE(drawing.ModelSpace().Entities().back()->Erased(), true);
    f.Click(65, 50);
    QVERIFY(f.window.Editor().Selection().empty());

    f.Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(drawing.ModelSpace().Entities().back()->Erased(), false);
    QVERIFY(drawing.FindLayer("Turn_Out") != nullptr);
    f.Key(Qt::Key_Z, Qt::ControlModifier);  // the run itself
    QVERIFY(drawing.FindLayer("Turn_Out") == nullptr);
    QVERIFY(drawing.FindBlock("Run_Outlines") == nullptr);
  }
};

QTEST_MAIN(PathToolTest)
#include "PathToolTest.moc"
