#include "win32/texts.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "runtime/texts.h"
#include "win32/wide_text.h"

namespace keyhush::win32 {

namespace {

// A string table resource holds its ids in blocks of sixteen, block n holding ids 16(n-1) to
// 16(n-1)+15, each a length and that many UTF-16 units.
LPCWSTR BlockOf(int id) {
  return MAKEINTRESOURCEW(id / 16 + 1);
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR tables) {
  reinterpret_cast<std::vector<uint16_t>*>(tables)->push_back(language);
  return TRUE;
}

// Chosen once, as the program starts: Windows picks string resources by the thread's locale (and
// Wine's loader by the locale alone), and falls back from a regional variant to the neutral
// language, which no table here is: Austrian German would read English. So the program looks up
// the user's interface language itself, among the languages of its tables.
LANGID Language() {
  static const LANGID chosen = [] {
    std::vector<uint16_t> tables;
    ::EnumResourceLanguagesW(nullptr, MAKEINTRESOURCEW(6) /* RT_STRING */, BlockOf(IDS_MENU_ABOUT),
                             CollectLanguage, reinterpret_cast<LONG_PTR>(&tables));
    return static_cast<LANGID>(ChooseLanguage(::GetUserDefaultUILanguage(), tables));
  }();
  return chosen;
}

// LoadStringW takes no language: the block is read as it stands in the resource.
std::optional<std::wstring> Load(LANGID language, int id) {
  const HRSRC found = ::FindResourceExW(nullptr, MAKEINTRESOURCEW(6), BlockOf(id), language);
  const HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
  const auto* at = loaded ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
  if (!at) return std::nullopt;
  const WCHAR* const end = at + ::SizeofResource(nullptr, found) / sizeof(WCHAR);
  for (int skip = id % 16; skip > 0 && at < end; --skip) at += 1 + *at;
  if (at >= end || *at == 0 || at + 1 + *at > end) return std::nullopt;
  return std::wstring(at + 1, *at);
}

}  // namespace

std::wstring WideText(int id) {
  if (auto text = Load(Language(), id)) return *text;
  return Load(kEnglish, id).value_or(std::wstring());
}

std::string Text(int id) {
  return Utf8FromWide(WideText(id)).value_or(std::string());
}

bool EastAsianTexts() {
  const int primary = PRIMARYLANGID(Language());
  return primary == LANG_JAPANESE || primary == LANG_KOREAN || primary == LANG_CHINESE;
}

}  // namespace keyhush::win32
