// Playing a run back in the drawing window as a user does: Play pressed, the
// vehicle moving on at the run's speed, the readouts and the diagrams' cursor
// following the run's tracks, the keys stepping to the stop, the drawing left
// as it was, and the design report exported from the File menu.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "DrawingTestFiles.h"
#include "UiTestSupport.h"
#include "cad/dxf/DrawingModel.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/PlaybackBar.h"
#include "ui/RunDiagramBox.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline;
using namespace veerline::ui;
using veerline::ui::test::Child;

namespace {

// A number as the readouts write it in German: one decimal, a comma.
QString German(double value) { return QString::number(value, 'f', 1).replace('.', ','); }

// A track's value at a station distance.
double At(const Track& track, double station) {
  for (const TrackRow& row : track)
    if (std::abs(row.Distance - station) < 1e-9 && row.Value) return *row.Value;
  qFatal("no value at the station");
}

}  // namespace

class PlaybackTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

  void playStepAndStopOverTheDrawingLeavingItAsItWas() {
    test::TestDesktop desktop;
    frmVehicleTurning window{desktop.Services()};
    DrawingWindow& drawingWindow = window.DrawingWindowRef();
    window.show();
    drawingWindow.resize(900, 650);
    drawingWindow.show();
    const QString path = desktop.Path(QStringLiteral("turn.dxf"));
    QVERIFY(test::WriteFile(path, test::TurnDxf()) && drawingWindow.OpenDrawingFile(path));
    // A semitrailer at 3 km/h whose 20-degree articulation limit stops it in the turn.
    auto* types = Child<QComboBox>(window, "Combo1");
    types->setCurrentIndex(types->findData(2));
    Child<QComboBox>(window, "Combo2")->setCurrentIndex(1);
    Child<QComboBox>(window, "Combo3")->setCurrentIndex(1);
    Child<QLineEdit>(window, "txt_Speed")->setText(QStringLiteral("3"));
    Child<QLineEdit>(window, "txt_MaxSegAnle")->setText(QStringLiteral("20"));
    QObject::connect(&drawingWindow.Picker(), &InteractivePicker::pickStarted, [&] {
      QTimer::singleShot(0, [&] {
        DrawingView* view = drawingWindow.View();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier,
                          view->ToScreen(QPointF(20, 0)).toPoint());
      });
    });
    Child<QPushButton>(window, "Command3")->click();
    desktop.answers.clear();
    const RunResultModel* run = drawingWindow.RunResult();
    QVERIFY(run != nullptr && run->outcome == RunOutcome::Articulation);
    const std::size_t entities = drawingWindow.Drawing()->ModelSpace().Entities().size();
    const bool modified = drawingWindow.IsModified();

    PlaybackBar& bar = drawingWindow.Playback();
    QVERIFY(bar.isVisible() && bar.Pose() == 0);
    auto* speed = Child<QComboBox>(bar, "PlaybackSpeed");
    speed->setCurrentIndex(speed->findData(10.0));
    QTest::mouseClick(Child<QToolButton>(bar, "PlaybackPlay"), Qt::LeftButton);
    QVERIFY(bar.Playing());
    // 3 km/h at ten times real time is 8.3 m a second: some 40 stations of 0.2 m.
    QTest::qWait(1000);
    QTest::keyClick(&drawingWindow, Qt::Key_Space);
    QVERIFY(!bar.Playing());
    const std::size_t pose = bar.Pose();
    QVERIFY2(pose > 20 && pose < 70, qPrintable(QString::number(pose)));

    // The readouts give the run's tracks at the station shown.
    const RunState& tracks = window.DiagramState();
    const double station = tracks.steeringTrack[pose].Distance;
    const QString readout = Child<QLabel>(bar, "PlaybackReadout")->text();
    QVERIFY2(readout.contains(QStringLiteral("Station %1 m").arg(German(station))),
             qPrintable(readout));
    QVERIFY(readout.contains(QStringLiteral("forward")));
    QVERIFY(readout.contains(
        QStringLiteral("steering %1°").arg(German(At(tracks.steeringTrack, station) * 0.4))));
    QVERIFY(readout.contains(QStringLiteral("articulation %1°")
                                 .arg(German(At(tracks.articulationTrack1, station) * 0.2))));
    QVERIFY(readout.contains(
        QStringLiteral("speed %1 km/h").arg(German(At(tracks.speedTrack, station)))));
    auto* diagram = static_cast<RunDiagramBox*>(window.Picture2());
    QVERIFY(diagram->CursorStation() && std::abs(*diagram->CursorStation() - station) < 1e-9);

    // End shows the stop in red words; a step back leaves it, a step on returns.
    QTest::keyClick(&drawingWindow, Qt::Key_End);
    QVERIFY(bar.AtStop());
    const QString stop = bar.ReadoutText();
    QVERIFY2(stop.contains(QStringLiteral("STOP: Articulation limit exceeded at station ") +
                           German(*run->figures.stopStation)) &&
                 stop.contains(QStringLiteral("articulation %1°").arg(German(*run->figures.stopAngle))),
             qPrintable(stop));
    QTest::keyClick(&drawingWindow, Qt::Key_Left);
    QVERIFY(!bar.AtStop() && !bar.ReadoutText().contains(QStringLiteral("STOP")));
    QTest::mouseClick(Child<QToolButton>(bar, "PlaybackForward"), Qt::LeftButton);
    QVERIFY(bar.AtStop());
    QTest::keyClick(&drawingWindow, Qt::Key_Home);
    QCOMPARE(bar.Pose(), std::size_t{0});

    QCOMPARE(drawingWindow.Drawing()->ModelSpace().Entities().size(), entities);
    QCOMPARE(drawingWindow.IsModified(), modified);

    // File > Export Report > A4 writes the PDF where the dialog says.
    const QString pdf = desktop.Path(QStringLiteral("report.pdf"));
    desktop.chosenFiles.push_back(pdf);
    drawingWindow.findChild<QAction*>(QStringLiteral("ExportReportA4"))->trigger();
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly) && written.read(5) == "%PDF-");
    window.close();
  }
};

QTEST_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
