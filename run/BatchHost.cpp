#include "run/BatchHost.h"

#include <chrono>
#include <ctime>

namespace veerline {

MessageAnswer BatchHost::ShowMessage(MessageKind kind, const std::string& title,
                                         const std::string& text) {
  mMessages.push_back({kind, title, text});
  return kind == MessageKind::Question ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void BatchHost::SetStatusText(int panel, const std::string& text) {
  if (panel == 0) mStatus = text;
}

double BatchHost::NextRandom() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(mRandom);
}

LocalTime BatchHost::Now() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour, local.tm_min, local.tm_sec};
}

const char* MessageKindKey(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning: return "warning";
    case MessageKind::Error: return "error";
    case MessageKind::Question: return "question";
  }
  return "warning";
}

}  // namespace veerline
