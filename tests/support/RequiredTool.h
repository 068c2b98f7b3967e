#pragma once

// A test that needs an outside tool (python3 with ezdxf, LibreCAD) skips where
// the tool is missing, except under CI=true: there the setup script installs
// every tool, so a missing one is a fault of the machine and fails the test.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace veerline::testing {

inline bool ToolsAreRequired() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::strcmp(ci, "true") == 0;
}

}  // namespace veerline::testing

#define VEERLINE_SKIP_WITHOUT(tool)                                              \
  do {                                                                           \
    if (::veerline::testing::ToolsAreRequired()) FAIL() << tool " is missing under CI=true"; \
    GTEST_SKIP() << tool " is not available";                                    \
  } while (false)
