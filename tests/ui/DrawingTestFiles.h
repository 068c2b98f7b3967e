#pragma once

// Small DXF drawings the window tests write to temporary files.

#include <QFile>
#include <QString>

namespace veerline::ui::test {

// A drawing with only an ENTITIES section.
inline QByteArray EntitiesDxf(const QByteArray& entities) {
  return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// A path on layer "Path", handle 40: 20 m straight east, a quarter circle of
// radius 12 m turning left, 28 m straight north. A line on layer "Kerb",
// handle 41, well away from it.
inline QByteArray TurnDxf() {
  return EntitiesDxf(
      "0\nLWPOLYLINE\n5\n40\n8\nPath\n90\n4\n70\n0\n"
      "10\n0\n20\n0\n10\n20\n20\n0\n42\n0.41421356237309503\n10\n32\n20\n12\n10\n32\n20\n40\n"
      "0\nLINE\n5\n41\n8\nKerb\n10\n0\n20\n30\n11\n10\n21\n30\n");
}

inline bool WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(content) == content.size();
}

}  // namespace veerline::ui::test
