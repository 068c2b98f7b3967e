#include "cli/PictureModule.h"

#include <filesystem>
#include <string>

#include "cli/BadInput.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace veerline::cli {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
constexpr const char* kModuleFile = "veerline-cli-pictures.dll";
#else
constexpr const char* kModuleFile = "veerline-cli-pictures.so";
#endif

// The folder of the running program, where the module is installed beside it.
fs::path ProgramFolder() {
#if defined(_WIN32)
  wchar_t path[32768];
  const DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (length == 0 || length >= std::size(path)) return {};
  return fs::path(std::wstring(path, length)).parent_path();
#else
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.parent_path();
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ProgramFolder), &info) != 0 && info.dli_fname != nullptr)
    return fs::absolute(info.dli_fname, ec).parent_path();
  return {};
#endif
}

using Entry = PictureWriter* (*)();

PictureWriter* Load() {
  const fs::path module = ProgramFolder() / kModuleFile;
  std::string why;
#if defined(_WIN32)
  HMODULE handle = LoadLibraryW(module.wstring().c_str());
  Entry entry = handle ? reinterpret_cast<Entry>(GetProcAddress(handle, kPictureModuleEntry)) : nullptr;
  if (entry == nullptr) why = "error " + std::to_string(GetLastError());
#else
  // Kept loaded until the program ends: the writer it made lives as long.
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  Entry entry = handle ? reinterpret_cast<Entry>(dlsym(handle, kPictureModuleEntry)) : nullptr;
  if (entry == nullptr) {
    const char* error = dlerror();
    why = error ? error : "no entry point";
  }
#endif
  if (entry == nullptr)
    throw BadInput("pictures, diagrams, design reports and animations need " + module.string() +
                   ", which cannot be loaded (" + why + ")");
  return entry();
}

}  // namespace

PictureWriter& Pictures() {
  static PictureWriter* const writer = Load();
  return *writer;
}

}  // namespace veerline::cli
