#pragma once

#include "cad/DrawingOutput.h"
#include "ui/UiServices.h"

namespace veerline::ui {

// The drawing output colours as the colour settings dialog stores them: the
// per-user settings, section "Turn"; a missing key gives the caller's default.
class QtColourSettings final : public cad::ColourSettings {
 public:
  explicit QtColourSettings(UiServices services) : mServices(std::move(services)) {}
  std::string Read(const std::string& key, const std::string& defaultValue) override;

 private:
  UiServices mServices;
};

}  // namespace veerline::ui
