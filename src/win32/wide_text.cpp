#include "win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace keyhush::win32 {

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
  if (text.empty()) return std::wstring();
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int needed =
      ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                            needed) != needed) {
    return std::nullopt;
  }
  return wide;
}

std::optional<std::string> Utf8FromWide(std::wstring_view text) {
  if (text.empty()) return std::string();
  if (text.size() > static_cast<size_t>(std::numeric_limits<int>::max() / 3)) return std::nullopt;
  const int length = static_cast<int>(text.size());
  const int needed = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length,
                                           nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::nullopt;
  std::string utf8(static_cast<size_t>(needed), '\0');
  if (::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length, utf8.data(), needed,
                            nullptr, nullptr) != needed) {
    return std::nullopt;
  }
  return utf8;
}

std::wstring ShownText(std::string_view text) {
  if (auto wide = WideFromUtf8(text)) return *std::move(wide);
  const int length = static_cast<int>(std::min<size_t>(text.size(), 1 << 20));
  std::wstring wide(static_cast<size_t>(length), L'\0');
  wide.resize(static_cast<size_t>(
      std::max(::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), length), 0)));
  return wide;
}

}  // namespace keyhush::win32
