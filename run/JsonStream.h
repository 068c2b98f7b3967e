#pragma once

// Writes JSON text piece by piece, laid out as nlohmann's dump(1) lays it out
// (one space a level, "key": value, "[]" for an empty array), so that a
// report written this way reads and compares like one dumped from a tree.
// Numbers are formatted straight into the buffer with the same shortest
// round-trip digits nlohmann gives; large tables need no tree at all. Full
// buffers go to the sink in pieces of about 256 KB.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/SafeSave.h"

namespace veerline {

class JsonStream {
 public:
  explicit JsonStream(const SavePieces& sink);
  JsonStream(const JsonStream&) = delete;
  JsonStream& operator=(const JsonStream&) = delete;

  // Sends what is still buffered to the sink.
  void Finish();

  void Raw(std::string_view text);
  // A number as nlohmann writes a double; null when it is not finite.
  void Number(double value);
  void Integer(long long value);
  // A small value dumped through nlohmann, at `level` (its inner lines indented further).
  void Value(const nlohmann::json& value, int level);

  // The members of an object at `level`: Member writes the separator, the
  // indent and the key; End closes the object (nothing is written between
  // "{" and "}" for an object without members).
  void Begin(int level);
  void Member(std::string_view key);
  void End();

  // An array at `level` of `count` elements, element(i, level + 1) writing
  // element i after its indent.
  template <class Element>
  void Array(std::size_t count, int level, Element&& element) {
    if (count == 0) {
      Raw("[]");
      return;
    }
    Raw("[\n");
    for (std::size_t i = 0; i < count; ++i) {
      if (i > 0) Raw(",\n");
      Indent(level + 1);
      element(i, level + 1);
    }
    Raw("\n");
    Indent(level);
    Raw("]");
  }

  // An array at `level` of numbers.
  void Numbers(const double* values, std::size_t count, int level);

 private:
  void Indent(int level);
  void FlushIfFull();

  const SavePieces& sink_;
  std::string buffer_;
  // The levels of the open objects, and whether each has a member yet.
  struct Open {
    int level;
    bool hasMember;
  };
  std::vector<Open> open_;
};

}  // namespace veerline
