#pragma once

// Replaces a file whole or not at all. The new content goes to a temporary
// file in the target's own folder, is flushed to the disk and renamed over
// the target, and the folder is flushed too, so a crash or a full disk leaves
// either the old file or the new one. A symbolic link is written through to
// the file it names; the old file's permissions (and owner, where allowed)
// carry over. On every failure the temporary file is removed.

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veerline {

// A save that failed; the message names the file and the reason.
class SaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

using SavePieces = std::function<void(std::string_view)>;

// Calls produce with a sink for the content, piece by piece, then replaces
// the file. beforeReplace, when given, runs once the new content is on the
// disk, just before it replaces the file: a save that must wait for another
// waits there, and an exception from it leaves the old file. An exception
// from produce or beforeReplace is passed on after the clean-up; failures of
// the save itself throw SaveError.
void SaveFileSafely(const std::filesystem::path& path,
                    const std::function<void(const SavePieces&)>& produce,
                    const std::function<void()>& beforeReplace = {});

// The same for content already in memory.
void SaveFileSafely(const std::filesystem::path& path, std::string_view content);

// The file a save to `path` replaces: the target of a symbolic link (of a
// chain of them), else the path itself.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

}  // namespace veerline
