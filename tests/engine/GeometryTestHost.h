#pragma once

// A host that records what the geometry and envelope routines show.

#include <string>
#include <utility>
#include <vector>

#include "engine/Host.h"

namespace veerline {
namespace {

class GeometryTestHost : public Host {
 public:
  struct Message {
    MessageKind kind;
    std::string title, text;
  };
  std::vector<Message> messages;
  std::vector<std::string> statusTexts;
  std::vector<std::string> events;  // status texts and progress calls in order

  MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                            const std::string& text) override {
    messages.push_back({kind, title, text});
    return MessageAnswer::Ok;
  }
  void SetStatusText(int panel, const std::string& text) override {
    if (panel == 0) statusTexts.push_back(text);
    events.push_back("status:" + text);
  }
  void SetProgressVisible(bool visible) override {
    events.push_back(visible ? "progress:show" : "progress:hide");
  }
  void SetProgressMaximum(double maximum) override {
    events.push_back("progress:max=" + std::to_string(static_cast<int>(maximum)));
  }
  void SetProgressValue(double value) override {
    events.push_back("progress:value=" + std::to_string(static_cast<int>(value)));
  }
  void ProcessPendingEvents() override {}
  NumberSymbols Symbols() const override { return NumberSymbols::PointDecimal(); }
};

}  // namespace
}  // namespace veerline
