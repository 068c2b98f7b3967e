#pragma once

#include <QString>

namespace veerline::ui {

// The program's version numbers as the splash and about screens show them.
struct VersionInfo {
  int major = 0;
  int minor = 0;
  int revision = 0;  // the last number of the version text
};

// Reads "major.minor[.patch[.revision]]"; missing or non-numeric parts are 0.
VersionInfo ParseVersion(const QString& text);
// The version this program was built as.
VersionInfo ProgramVersion();

}  // namespace veerline::ui
