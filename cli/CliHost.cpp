#include "cli/CliHost.h"

#include <ostream>

namespace veerline::cli {

MessageAnswer CliHost::ShowMessage(MessageKind kind, const std::string& title,
                                   const std::string& text) {
  std::string oneLine = text;
  for (char& c : oneLine)
    if (c == kCR || c == '\n') c = ' ';
  mErr << title << ": " << oneLine << "\n";
  return BatchHost::ShowMessage(kind, title, text);
}

}  // namespace veerline::cli
