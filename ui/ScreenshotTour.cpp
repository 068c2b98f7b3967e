#include "ui/ScreenshotTour.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "cad/dxf/DrawingModel.h"
#include "ui/AboutBox.h"
#include "ui/DrawingView.h"
#include "ui/DrawingWindow.h"
#include "ui/HelpWindow.h"
#include "ui/InteractivePicker.h"
#include "ui/SettingsDialog.h"
#include "ui/SplashScreen.h"
#include "ui/VehicleIllustrations.h"
#include "ui/VehicleTurningWindow.h"

namespace veerline::ui {
namespace {

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

bool Save(QWidget* widget, const QDir& folder, const QString& name) {
  Settle();
  const bool saved = widget->grab().save(folder.filePath(name + QStringLiteral(".png")));
  std::fprintf(stderr, "%s %s\n", saved ? "saved" : "FAILED", qPrintable(name));
  return saved;
}

// Handle of the drawing's only model-space polyline, empty when there is none
// or several.
std::string OnlyPolyline(const cad::DrawingModel& drawing) {
  std::string found;
  for (const auto& entity : drawing.ModelSpace().Entities()) {
    const int type = entity->EntityType();
    if (type != cad::kEntityLightWeightPolyline && type != cad::kEntityPolyline) continue;
    if (!found.empty()) return {};
    found = entity->Handle();
  }
  return found;
}

// Runs a Semi-Trailer in metres over the drawing's polyline, picked by a click
// on its first vertex, and saves the drawing window and the two diagram tabs.
int TakeRunScreenshots(frmVehicleTurning& window, const QString& drawingFile, const QDir& out) {
  DrawingWindow& drawingWindow = window.DrawingWindowRef();
  drawingWindow.resize(1000, 700);
  drawingWindow.show();
  if (!drawingWindow.OpenDrawingFile(drawingFile)) return 1;
  const std::string path = OnlyPolyline(*drawingWindow.Drawing());
  const cad::DrawingEntity* entity = drawingWindow.Drawing()->FindEntity(path);
  if (entity == nullptr) {
    std::fprintf(stderr, "FAILED: no single polyline in %s\n", qPrintable(drawingFile));
    return 1;
  }
  Settle();
  const cad::CadPoint first = entity->Coordinate(0);
  QObject::connect(
      &drawingWindow.Picker(), &InteractivePicker::pickStarted, &window, [&drawingWindow, first] {
        DrawingView* view = drawingWindow.View();
        const QPoint at = view->ToScreen(QPointF(first.X, first.Y)).toPoint();
        QTimer::singleShot(0, view, [view, at] { emit view->clicked(at, Qt::LeftButton); });
      });
  // The library's semitrailer when it has one, otherwise the type alone.
  auto* list = window.findChild<QListWidget*>(QStringLiteral("List1"));
  const auto semitrailers = list->findItems(QStringLiteral("semitrailer"), Qt::MatchContains);
  if (!semitrailers.isEmpty()) list->setCurrentItem(semitrailers.first());
  auto* types = window.findChild<QComboBox*>(QStringLiteral("Combo1"));
  types->setCurrentIndex(types->findData(2));
  window.findChild<QComboBox*>(QStringLiteral("Combo2"))->setCurrentIndex(1);
  window.findChild<QComboBox*>(QStringLiteral("Combo3"))->setCurrentIndex(1);
  window.findChild<QLineEdit*>(QStringLiteral("txt_Speed"))->setText(QStringLiteral("10"));
  window.findChild<QCheckBox*>(QStringLiteral("chk_PlotVehicle"))->setChecked(true);
  window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(false);
  window.findChild<QCheckBox*>(QStringLiteral("chk_plotSweep"))->setChecked(true);
  window.findChild<QPushButton*>(QStringLiteral("Command3"))->click();
  window.showNormal();
  drawingWindow.View()->ZoomToExtents();

  int failures = !Save(&drawingWindow, out, QStringLiteral("drawing-after-run"));
  auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
  for (int tab = 1; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    failures += !Save(&window, out, QStringLiteral("main-after-run-tab-%1").arg(tab));
  }
  tabs->setCurrentIndex(0);
  failures += !Save(&window, out, QStringLiteral("main-after-run"));
  return failures;
}

}  // namespace

int TakeScreenshots(UiServices services, const QString& folder, const QString& drawingFile) {
  QDir out(folder);
  out.mkpath(QStringLiteral("."));
  services.showMessage = [](QWidget*, MessageKind, const QString& title, const QString& text) {
    std::fprintf(stderr, "message [%s] %s\n", qPrintable(title),
                 qPrintable(MessageTextForDisplay(text)));
    return MessageAnswer::Yes;
  };
  services.chooseFile = [](QWidget*, FileDialogKind, const QString&) { return QString(); };
  services.openUrl = [](const QUrl&) { return true; };
  int failures = 0;

  frmSplash splash(services);
  splash.Timer1()->stop();
  splash.show();
  failures += !Save(&splash, out, QStringLiteral("splash"));
  splash.close();

  frmVehicleTurning window(services);
  window.resize(1180, 560);
  window.show();
  auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
  auto* types = window.findChild<QComboBox*>(QStringLiteral("Combo1"));
  failures += !Save(&window, out, QStringLiteral("main-vehicle-details"));
  for (int code : {1, 3, 10, 13}) {
    types->setCurrentIndex(types->findData(code));
    failures += !Save(&window, out, QStringLiteral("main-type-%1").arg(code));
  }
  for (int tab = 1; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    failures += !Save(&window, out, QStringLiteral("main-tab-%1").arg(tab));
  }
  tabs->setCurrentIndex(0);
  if (!drawingFile.isEmpty()) failures += TakeRunScreenshots(window, drawingFile, out);

  frmVehicleTurningSettings colours(services, &window);
  colours.show();
  failures += !Save(&colours, out, QStringLiteral("colour-settings"));
  colours.close();

  frmAbout about(services, &window);
  about.show();
  failures += !Save(&about, out, QStringLiteral("about"));
  about.close();

  // The pictures of the vehicle kinds, and the guide when it lies beside the program.
  for (std::string_view key : VehicleImageKeys()) {
    const QString name = QString::fromLatin1(key.data(), static_cast<int>(key.size()));
    failures +=
        !VehicleIllustration(name).save(out.filePath(QStringLiteral("vehicle-%1.png").arg(name)));
  }
  if (QFileInfo::exists(window.HelpFilePath())) {
    window.findChild<QAction*>(QStringLiteral("M_Helpfile"))->trigger();
    if (window.Help() != nullptr) {
      failures += !Save(window.Help(), out, QStringLiteral("help"));
      window.Help()->close();
    }
  }
  window.DrawingWindowRef().hide();
  window.hide();  // no settings written by the tour
  return failures;
}

int TakeHelpPictures(UiServices services, const QString& folder, const QString& drawingFile) {
  // Settings and the library copy live in a folder of their own for the tour,
  // so building the guide touches neither the user's settings nor data.
  QTemporaryDir work;
  const QString ini = work.filePath(QStringLiteral("settings.ini"));
  {
    QSettings settings(ini, QSettings::IniFormat);
    settings.beginGroup(QString::fromLatin1(kSettingsSection));
    settings.setValue(QStringLiteral("VehicleFile"),
                      QDir(services.programFolder).filePath(QStringLiteral("DefaultVehicles.vdt")));
    settings.setValue(QStringLiteral("PathUnit"), QStringLiteral("1"));
    settings.setValue(QStringLiteral("Speed"), QStringLiteral("10"));
  }
  services.openSettings = [ini] { return std::make_unique<QSettings>(ini, QSettings::IniFormat); };
  services.dataFolder = work.filePath(QStringLiteral("data"));
  const int failures = TakeScreenshots(services, folder, drawingFile);
  if (failures != 0) std::fprintf(stderr, "veerline: %d help pictures failed\n", failures);
  return failures;
}

}  // namespace veerline::ui
