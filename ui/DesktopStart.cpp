#include "ui/DesktopStart.h"

#include <QApplication>
#include <QDockWidget>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "ui/DrawingWindow.h"
#include "ui/SplashScreen.h"
#include "ui/VehicleTurningWindow.h"

namespace veerline::ui {
namespace {

constexpr int kGap = 4;  // between the two frames
// The least room the drawing window is given beside the main window.
constexpr int kLeastDrawingWidth = 360;

// A window's frame once the window manager has framed it; until then a
// generous guess, so that a title bar is never placed off the screen.
QMargins FrameOf(const QWidget& window) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  if (outer.size() == inner.size()) return QMargins(6, 32, 6, 6);
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

}  // namespace

DesktopLayout LayOutDesktop(const QRect& available, const QSize& mainWanted, const QSize& mainLeast,
                            const QMargins& frame, int margin) {
  const int frameWidth = frame.left() + frame.right();
  const int frameHeight = frame.top() + frame.bottom();
  // The main window keeps the size it wants where the drawing window still
  // gets its room; otherwise it gives way down to its least size.
  const int roomForMain = available.width() - 2 * frameWidth - kGap - kLeastDrawingWidth;
  const int width = std::clamp(std::min(mainWanted.width(), roomForMain), mainLeast.width(),
                               std::max(mainLeast.width(), available.width() - frameWidth));
  const int height =
      std::max(std::min(mainWanted.height(), available.height() - frameHeight), mainLeast.height());
  // The margin shrinks to what the screen leaves over.
  const int marginX = std::clamp(available.width() - width - frameWidth, 0, margin);
  const int marginY = std::clamp(available.height() - height - frameHeight, 0, margin);
  DesktopLayout layout;
  layout.main = QRect(available.right() + 1 - marginX - frame.right() - width,
                      available.bottom() + 1 - marginY - frame.bottom() - height, width, height);
  layout.main.moveLeft(std::max(layout.main.left(), available.left() + frame.left()));
  layout.main.moveTop(std::max(layout.main.top(), available.top() + frame.top()));
  const int drawingRight = layout.main.left() - frame.left() - kGap - frame.right();
  layout.drawing = QRect(QPoint(available.left() + frame.left(), available.top() + frame.top()),
                         QPoint(drawingRight - 1, available.bottom() - frame.bottom()));
  return layout;
}

void PlaceDesktopWindows(frmVehicleTurning& main, DrawingWindow& drawing) {
  const QScreen* screen = main.screen();
  if (screen == nullptr) return;
  const DesktopLayout layout =
      LayOutDesktop(screen->availableGeometry(), main.sizeHint().expandedTo(main.size()),
                    main.minimumSizeHint(), FrameOf(main), main.logicalDpiX() / 3);
  main.setGeometry(layout.main);
  if (layout.drawing.width() >= drawing.minimumSizeHint().width()) {
    drawing.setGeometry(layout.drawing);
    // The layer list takes no more than a fifth of a narrow drawing window.
    if (auto* dock = drawing.findChild<QDockWidget*>(QStringLiteral("LayerDock")))
      drawing.resizeDocks({dock}, {std::clamp(layout.drawing.width() / 5, 110, 200)},
                          Qt::Horizontal);
  }
}

void StartDesktop(const UiServices& services, const QString& drawingFile) {
  auto* splash = new frmSplash(services);
  splash->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(splash, &frmSplash::mainWindowDue, qApp, [services, drawingFile] {
    auto* window = new frmVehicleTurning(services);
    // The main window is the drawing window's transient, which keeps it above
    // that window but also leaves it out of Qt's count of primary windows: the
    // program ends explicitly when it has closed.
    QObject::connect(window, &frmVehicleTurning::closed, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, [window] { delete window; });
    DrawingWindow& drawing = window->DrawingWindowRef();
    if (drawingFile.isEmpty() || !drawing.OpenDrawingFile(drawingFile)) drawing.OpenAtStart();
    drawing.show();
    window->show();
  });
  splash->show();
}

}  // namespace veerline::ui
