#include "engine/CodePageConverter.h"

#include "engine/TextCoding.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace veerline {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

#ifndef _WIN32
// iconv's name of a Windows code page: CP1251, CP932, ISO-8859-5...
std::string IconvName(int codePage) {
  if (codePage >= 28591 && codePage <= 28606) return "ISO-8859-" + std::to_string(codePage - 28590);
  if (codePage == 10000) return "MACINTOSH";
  if (codePage == 1361) return "JOHAB";
  return "CP" + std::to_string(codePage);
}
#endif

}  // namespace

std::shared_ptr<const CodePageConverter> CodePageConverter::Open(int windowsCodePage) {
  if (windowsCodePage <= 0) return nullptr;
  std::shared_ptr<CodePageConverter> converter(new CodePageConverter(windowsCodePage));
#ifdef _WIN32
  if (!IsValidCodePage(static_cast<UINT>(windowsCodePage))) return nullptr;
#else
  iconv_t handle = iconv_open("UTF-8", IconvName(windowsCodePage).c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return nullptr;
  converter->mHandle = handle;
#endif
  return converter;
}

CodePageConverter::~CodePageConverter() {
#ifndef _WIN32
  if (mHandle) iconv_close(static_cast<iconv_t>(mHandle));
#endif
}

#ifdef _WIN32
std::string CodePageConverter::ToUtf8(std::string_view bytes) const {
  // Character by character would split double-byte characters; the whole
  // text at once, with MB_ERR_INVALID_CHARS off, turns bad bytes into U+FFFD.
  std::string out;
  if (bytes.empty()) return out;
  int wide = MultiByteToWideChar(static_cast<UINT>(mCodePage), 0, bytes.data(),
                                 static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(static_cast<UINT>(mCodePage), 0, bytes.data(), static_cast<int>(bytes.size()),
                      text.data(), wide);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char16_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(text[++i]) - 0xDC00);
    }
    AppendUtf8(out, c);
  }
  return out;
}
#else
std::string CodePageConverter::ToUtf8(std::string_view bytes) const {
  std::lock_guard<std::mutex> lock(mMutex);
  iconv_t handle = static_cast<iconv_t>(mHandle);
  iconv(handle, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[512];
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* to = buffer;
    std::size_t toLeft = sizeof buffer;
    std::size_t done = iconv(handle, &in, &inLeft, &to, &toLeft);
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    if (done != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL (a lead byte at the end): one byte replaced, then on.
    out += kReplacement;
    ++in;
    --inLeft;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  char* to = buffer;
  std::size_t toLeft = sizeof buffer;
  iconv(handle, nullptr, nullptr, &to, &toLeft);  // flush any shift state
  out.append(buffer, static_cast<std::size_t>(to - buffer));
  return out;
}
#endif

}  // namespace veerline
