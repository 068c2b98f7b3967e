#pragma once

#include <cstdint>
#include <string>

#include "engine/NumberRule.h"

namespace veerline {

// Message boxes: warning (exclamation, OK), error (critical, OK), question (Yes/No).
enum class MessageKind { Warning, Error, Question };
enum class MessageAnswer { Ok, Yes, No };

// Texts with several lines join them with this single character.
inline constexpr char kCR = '\r';

// Title of the engine's failure messages.
inline constexpr const char* kFailureTitle = "Veichle Turning Simulation";

// What the engine needs of the window that runs it: messages, status text,
// progress, and a chance for pending events (the Cancel button, a stop
// request) to run. The desktop program shows real message boxes and status
// panels; the command-line tool prints; tests record. What a run needs beyond
// this (moving the windows, block names, figures) is run/RunHost.h.
class Host {
 public:
  virtual ~Host() = default;

  // Shows a modal message box; a question returns Yes or No, the others Ok.
  virtual MessageAnswer ShowMessage(MessageKind kind, const std::string& title,
                                    const std::string& text) = 0;
  // Text of a status bar panel (0 is the first panel).
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void SetProgressMaximum(double maximum) = 0;
  virtual void SetProgressValue(double value) = 0;
  // Lets pending window events run (repaint, the Cancel button).
  virtual void ProcessPendingEvents() = 0;
  // Decimal and grouping symbols for field texts and the texts the run writes.
  virtual NumberSymbols Symbols() const = 0;
};

}  // namespace veerline
