#pragma once

// Bytes of a Windows code page turned into UTF-8 by the system's converter:
// glibc's iconv, or the code page functions on Windows. Single-byte and
// double-byte code pages alike (1251, 932, 949...).

#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace veerline {

class CodePageConverter {
 public:
  // A converter for a code page by its Windows number; nothing when the
  // system has no such code page.
  static std::shared_ptr<const CodePageConverter> Open(int windowsCodePage);
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  int CodePage() const { return mCodePage; }
  // The bytes as UTF-8. A byte that starts no character of the code page
  // becomes U+FFFD and decoding goes on after it, so nothing else is lost.
  std::string ToUtf8(std::string_view bytes) const;

 private:
  explicit CodePageConverter(int codePage) : mCodePage(codePage) {}

  int mCodePage;
  void* mHandle = nullptr;  // the iconv descriptor; unused on Windows
  mutable std::mutex mMutex;  // a descriptor keeps state between calls
};

}  // namespace veerline
