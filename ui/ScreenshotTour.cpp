#include "ui/ScreenshotTour.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "ui/AboutBox.h"
#include "ui/SettingsDialog.h"
#include "ui/SplashScreen.h"
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

}  // namespace

int TakeScreenshots(UiServices services, const QString& folder) {
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

  frmVehicleTurningSettings colours(services, &window);
  colours.show();
  failures += !Save(&colours, out, QStringLiteral("colour-settings"));
  colours.close();

  frmAbout about(services, &window);
  about.show();
  failures += !Save(&about, out, QStringLiteral("about"));
  about.close();
  window.hide();  // no settings written by the tour
  return failures;
}

}  // namespace veerline::ui
