#include "ui/VersionInfo.h"

#include <QStringList>

#ifndef VEERLINE_VERSION
#define VEERLINE_VERSION "0.0.0"
#endif

namespace veerline::ui {

VersionInfo ParseVersion(const QString& text) {
  const QStringList parts = text.trimmed().split(QChar('.'));
  auto part = [&](int i) { return i < parts.size() ? parts[i].toInt() : 0; };
  VersionInfo version;
  version.major = part(0);
  version.minor = part(1);
  // A four-part file version (1.0.0.3) carries the build in its last part.
  version.revision = parts.size() >= 4 ? part(3) : part(2);
  return version;
}

VersionInfo ProgramVersion() { return ParseVersion(QStringLiteral(VEERLINE_VERSION)); }

}  // namespace veerline::ui
