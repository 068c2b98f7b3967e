#pragma once

// The interactive pick behind the drawing's "Utility" "GetEntity": the host
// (a drawing window, the command-line tool or a test) says which entity the
// user chose, that the click hit nothing, or that the user cancelled.

#include <string>

namespace veerline::cad {

enum class PickKind { Hit, Miss, Cancel };

// What one pick attempt gave: a hit carries the handle of the chosen entity.
struct PickOutcome {
  PickKind Kind = PickKind::Cancel;
  std::string Handle;

  static PickOutcome Hit(std::string handle) { return {PickKind::Hit, std::move(handle)}; }
  static PickOutcome Miss() { return {PickKind::Miss, {}}; }
  static PickOutcome Cancel() { return {PickKind::Cancel, {}}; }
};

class Picker {
 public:
  virtual ~Picker() = default;
  // Asks the user to pick an entity, showing the prompt.
  virtual PickOutcome Pick(const std::string& prompt) = 0;
};

}  // namespace veerline::cad
