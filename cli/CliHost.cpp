#include "cli/CliHost.h"

#include <chrono>
#include <ctime>
#include <ostream>

namespace veerline::cli {

CliHost::CliHost(std::ostream& err, unsigned seed) : mErr(err), mRandom(seed) {}

MessageAnswer CliHost::ShowMessage(MessageKind kind, const std::string& title,
                                   const std::string& text) {
  mMessages.push_back({kind, title, text});
  std::string oneLine = text;
  for (char& c : oneLine)
    if (c == kCR || c == '\n') c = ' ';
  mErr << title << ": " << oneLine << "\n";
  return kind == MessageKind::Question ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void CliHost::SetStatusText(int panel, const std::string& text) {
  if (panel == 0) mStatus = text;
}

double CliHost::NextRandom() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(mRandom);
}

LocalTime CliHost::Now() {
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

}  // namespace veerline::cli
