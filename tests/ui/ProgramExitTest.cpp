// The program ends when its main window closes, and lays its two windows out
// whole on small and large screens.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include "UiTestSupport.h"
#include "ui/DesktopStart.h"
#include "ui/DrawingWindow.h"
#include "ui/VehicleTurningWindow.h"

using namespace veerline::ui;
using veerline::ui::test::TestDesktop;

namespace {

// A desktop whose library exists (empty), so the program opens without a question.
void PrepareLibrary(TestDesktop& desktop) {
  const QString library = desktop.Path(QStringLiteral("lib.vdt"));
  QFile(library).open(QIODevice::WriteOnly);
  desktop.SetSetting(QStringLiteral("VehicleFile"), library);
}

frmVehicleTurning* ShownMainWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (auto* window = qobject_cast<frmVehicleTurning*>(widget); window && window->isVisible())
      return window;
  return nullptr;
}

// A free X display number: no socket and no lock file.
int FreeDisplay() {
  for (int n = 97; n < 140; ++n)
    if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) &&
        !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
      return n;
  return -1;
}

// Runs a tool on the display to its end and gives its output.
QString RunTool(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment, int timeoutMs = 15000) {
  QProcess tool;
  tool.setProcessEnvironment(environment);
  tool.start(program, arguments);
  if (!tool.waitForFinished(timeoutMs)) {
    tool.kill();
    tool.waitForFinished();
  }
  return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

// Ends a helper process this test started.
void Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(2000)) {
    process.kill();
    process.waitForFinished();
  }
}

}  // namespace

class ProgramExitTest : public QObject {
  Q_OBJECT

 private slots:
  // The windows as the program starts them: splash, then both windows; Cancel
  // on the main window ends the event loop.
  void cancelEndsTheEventLoop() {
    TestDesktop desktop;
    PrepareLibrary(desktop);
    StartDesktop(desktop.Services(), QString());
    bool clicked = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
      frmVehicleTurning* window = ShownMainWindow();
      if (clicked || window == nullptr) return;
      clicked = true;
      QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("Command2")),
                        Qt::LeftButton);
    });
    poll.start(100);
    // The splash stands for two seconds; the loop must end soon after the click.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(2000 + 2500);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(clicked);
    QVERIFY(ShownMainWindow() == nullptr);
  }

  // The real program under a virtual X server with a window manager: its
  // close button (Alt+F4) ends the process within two seconds.
  void closingTheMainWindowEndsTheProcess() {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    const QString program = QStringLiteral(VEERLINE_BINARY_DIR "/bin/veerline");
    if (xvfb.isEmpty() || xdotool.isEmpty() || openbox.isEmpty() || !QFile::exists(program))
      QSKIP("needs Xvfb, xdotool, openbox and the built program");
    const int display = FreeDisplay();
    if (display < 0) QSKIP("no free X display");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    // In a sanitizer build the X libraries' memory kept to the end is no fault of the exit.
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("detect_leaks=0"));

    QProcess server, manager, veerline;
    auto cleanup = qScopeGuard([&] {
      Stop(veerline);
      Stop(manager);
      Stop(server);
    });
    server.start(
        xvfb, {QStringLiteral(":%1").arg(display), QStringLiteral("-screen"), QStringLiteral("0"),
               QStringLiteral("1366x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)),
                             5000);
    manager.setProcessEnvironment(environment);
    manager.start(openbox, {});

    TestDesktop desktop;
    PrepareLibrary(desktop);
    veerline.setProcessEnvironment(environment);
    veerline.start(program, {QStringLiteral("--settings"), desktop.IniPath()});
    QVERIFY(veerline.waitForStarted());
    const QString window =
        RunTool(xdotool,
                {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                 QStringLiteral("Vehicle Turning Simulation")},
                environment)
            .section(QLatin1Char('\n'), -1);
    QVERIFY2(!window.isEmpty(), "the main window did not appear");
    RunTool(xdotool,
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window,
             QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")},
            environment);
    QVERIFY2(veerline.waitForFinished(2000), "the program still runs after its window closed");
    QCOMPARE(veerline.exitCode(), 0);
  }

  // Both frames inside the screen, the drawing window beside the main window
  // with room to draw, on a small laptop screen and on a larger one.
  void windowsFitSmallAndLargeScreens() {
    const QMargins frame(6, 32, 6, 6);
    for (const QRect& screen : {QRect(0, 0, 1366, 768), QRect(0, 0, 1600, 1000)}) {
      const DesktopLayout layout =
          LayOutDesktop(screen, QSize(765, 833), QSize(720, 691), frame, 32);
      QVERIFY(screen.contains(layout.main.marginsAdded(frame)));
      QVERIFY(screen.contains(layout.drawing.marginsAdded(frame)));
      QVERIFY(!layout.main.marginsAdded(frame).intersects(layout.drawing.marginsAdded(frame)));
      QVERIFY(layout.main.height() >= 691);
      QVERIFY(layout.drawing.width() >= 500);
      QCOMPARE(layout.drawing.height(), screen.height() - 38);
    }
  }
};

QTEST_MAIN(ProgramExitTest)
#include "ProgramExitTest.moc"
