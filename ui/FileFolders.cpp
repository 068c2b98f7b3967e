#include "ui/FileFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace veerline::ui {
namespace {

QString KeyOf(FileDialogKind kind) {
  // Reports and animations go beside the drawings they show.
  const bool drawing = kind != FileDialogKind::Open && kind != FileDialogKind::Save;
  return QStringLiteral("%1/%2").arg(
      QString::fromLatin1(kSettingsSection),
      drawing ? QStringLiteral("DrawingFolder") : QStringLiteral("LibraryFolder"));
}

}  // namespace

QString LastFolder(const UiServices& services, FileDialogKind kind) {
  const QString remembered = services.openSettings()->value(KeyOf(kind)).toString();
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  if (!services.documentsFolder.isEmpty() && QFileInfo(services.documentsFolder).isDir())
    return services.documentsFolder;
  return QDir::homePath();
}

QString ChooseFileInLastFolder(const UiServices& services, QWidget* parent, FileDialogKind kind) {
  const QString chosen = services.chooseFile(parent, kind, LastFolder(services, kind));
  if (!chosen.isEmpty())
    services.openSettings()->setValue(KeyOf(kind), QFileInfo(chosen).absolutePath());
  return chosen;
}

}  // namespace veerline::ui
