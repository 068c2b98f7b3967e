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

// Local date and time, for the "yyMMddhhmmss" block name stamps.
struct LocalTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// What the engine needs of the window that runs it. The desktop program shows
// real message boxes and status panels; the command-line tool prints; tests record.
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
  virtual void MinimiseMainWindow() = 0;
  virtual void RestoreMainWindow() = 0;
  // A pseudo-random number in [0, 1).
  virtual double NextRandom() = 0;
  virtual LocalTime Now() = 0;
  // Draws the steering-angle and speed diagrams of the run just made.
  virtual void DrawRunDiagrams() {}
  // Caption of the main window's total-length label.
  virtual void SetTotalLengthCaption(const std::string& /*caption*/) {}
  // Decimal and grouping symbols for field texts and the texts the run writes.
  virtual NumberSymbols Symbols() const = 0;
};

}  // namespace veerline
