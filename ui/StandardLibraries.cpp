#include "ui/StandardLibraries.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QTextStream>
#include <algorithm>

namespace veerline::ui {
namespace {

QHash<QString, QString> ReadTitles(const QDir& folder) {
  QHash<QString, QString> titles;
  QFile file(folder.filePath(QStringLiteral("StandardLibraries.tsv")));
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return titles;
  QTextStream in(&file);
  in.setEncoding(QStringConverter::Utf8);
  while (!in.atEnd()) {
    const QStringList parts = in.readLine().split(QLatin1Char('\t'));
    if (parts.size() >= 2 && !parts[0].isEmpty() && !parts[1].trimmed().isEmpty())
      titles.insert(parts[0], parts[1].trimmed());
  }
  return titles;
}

}  // namespace

std::vector<StandardLibrary> FindStandardLibraries(const QString& programFolder) {
  const QDir folder(programFolder);
  const QHash<QString, QString> titles = ReadTitles(folder);
  std::vector<StandardLibrary> libraries;
  for (auto it = titles.begin(); it != titles.end(); ++it) {
    const QFileInfo info(folder.filePath(it.key()));
    if (info.isFile()) libraries.push_back({info.absoluteFilePath(), it.value()});
  }
  std::sort(libraries.begin(), libraries.end(), [](const auto& a, const auto& b) {
    return a.title.localeAwareCompare(b.title) < 0;
  });
  return libraries;
}

bool IsStandardLibrary(const QString& programFolder, const QString& path) {
  const QString chosen = QFileInfo(path).absoluteFilePath();
  for (const StandardLibrary& library : FindStandardLibraries(programFolder))
    if (library.path == chosen) return true;
  return false;
}

QMenu* AddStandardLibrariesMenu(QMenu* menu, const QString& programFolder,
                                std::function<void(const QString&)> open) {
  QMenu* standards = menu->addMenu(QStringLiteral("S&tandard libraries"));
  standards->setObjectName(QStringLiteral("M_Standard"));
  auto fill = [standards, programFolder, open] {
    standards->clear();
    const std::vector<StandardLibrary> libraries = FindStandardLibraries(programFolder);
    if (libraries.empty()) {
      standards->addAction(QStringLiteral("(none beside the program)"))->setEnabled(false);
      return;
    }
    for (const StandardLibrary& library : libraries) {
      QAction* entry = standards->addAction(library.title);
      entry->setData(library.path);
      entry->setToolTip(QDir::toNativeSeparators(library.path));
      const QString path = library.path;
      QObject::connect(entry, &QAction::triggered, standards, [open, path] { open(path); });
    }
  };
  fill();
  QObject::connect(standards, &QMenu::aboutToShow, standards, fill);
  return standards;
}

}  // namespace veerline::ui
