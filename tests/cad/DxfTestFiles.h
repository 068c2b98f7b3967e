#pragma once

// Helpers for the DXF tests: DXF text from one group per line pair, and
// temporary files that are removed again.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

namespace veerline::cad::testing {

// "0\nSECTION\n2\nENTITIES\n..." from {code, value} pairs.
inline std::string Dxf(std::initializer_list<std::pair<int, const char*>> groups) {
  std::string text;
  for (const auto& [code, value] : groups) {
    text += std::to_string(code) + "\n" + value + "\n";
  }
  return text;
}

// An ENTITIES-only drawing around the given entity groups.
inline std::string EntitiesDxf(const std::string& entities) {
  return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

class TempDir {
 public:
  TempDir() {
    mPath = std::filesystem::temp_directory_path() /
            ("veerline-dxf-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
             std::to_string(++Counter()));
    std::filesystem::create_directories(mPath);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
  }
  const std::filesystem::path& Path() const { return mPath; }
  std::filesystem::path Write(const std::string& name, const std::string& text) const {
    std::filesystem::path file = mPath / name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }

 private:
  static int& Counter() {
    static int counter = 0;
    return counter;
  }
  std::filesystem::path mPath;
};

inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace veerline::cad::testing
