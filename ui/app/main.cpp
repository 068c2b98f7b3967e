#include <QApplication>
#include <QCommandLineParser>
#include <QSettings>
#include <clocale>
#include <memory>

#include "ui/DesktopStart.h"
#include "ui/ScreenshotTour.h"
#include "ui/UiServices.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // Qt takes the user's locale for the C library too; numbers the program
  // writes or reads with it (and the libraries it uses) keep a point. The
  // fields follow the user's separators through QLocale instead.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setOrganizationName(QStringLiteral("Veerline"));
  QApplication::setApplicationName(QStringLiteral("Veerline"));
  QApplication::setApplicationVersion(QStringLiteral(VEERLINE_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Vehicle Turning Simulation"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption screenshots(QStringLiteral("screenshot"),
                                       QStringLiteral("Save pictures of every window into <dir>."),
                                       QStringLiteral("dir"));
  const QCommandLineOption settingsFile(
      QStringLiteral("settings"),
      QStringLiteral("Keep the settings in the INI file <file> instead of the user's settings."),
      QStringLiteral("file"));
  const QCommandLineOption drawingFile(
      QStringLiteral("drawing"),
      QStringLiteral("Open the DXF drawing <file> instead of the last one used."),
      QStringLiteral("file"));
  const QCommandLineOption helpPictures(
      QStringLiteral("help-pictures"),
      QStringLiteral("Save the pictures of the user guide into <dir> and end."),
      QStringLiteral("dir"));
  parser.addOption(screenshots);
  parser.addOption(helpPictures);
  parser.addOption(drawingFile);
  parser.addOption(settingsFile);
  parser.process(app);

  veerline::ui::UiServices services = veerline::ui::UiServices::Desktop();
  if (parser.isSet(settingsFile)) {
    const QString path = parser.value(settingsFile);
    services.openSettings = [path] {
      return std::make_unique<QSettings>(path, QSettings::IniFormat);
    };
  }
  // The guide is built with the program; a picture that fails is reported but
  // does not fail the build.
  if (parser.isSet(helpPictures)) {
    veerline::ui::TakeHelpPictures(services, parser.value(helpPictures), parser.value(drawingFile));
    return 0;
  }
  if (parser.isSet(screenshots))
    return veerline::ui::TakeScreenshots(services, parser.value(screenshots),
                                         parser.value(drawingFile)) == 0
               ? 0
               : 1;

  veerline::ui::StartDesktop(services, parser.value(drawingFile));
  return app.exec();
}
