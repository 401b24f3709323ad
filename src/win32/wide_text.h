#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace keyhush::win32 {

// Text is UTF-8 inside the program and UTF-16 in the wide ("W") calls of Windows. Each
// conversion keeps every character, or gives nothing when its input is not valid text in its
// encoding; the caller then makes the narrow ("A") call with the bytes as they are, as before.
std::optional<std::wstring> WideFromUtf8(std::string_view text);
std::optional<std::string> Utf8FromWide(std::wstring_view text);
// For the wide calls that show text: UTF-8, or else the bytes in the ANSI code page as the narrow
// call would take them (a saved key letter of that code page).
std::wstring ShownText(std::string_view text);

}  // namespace keyhush::win32
