#include "runtime/texts.h"

#include <algorithm>

namespace keyhush {

uint16_t ChooseLanguage(uint16_t wanted, std::span<const uint16_t> tables) {
  const auto has = [&](uint16_t language) { return std::ranges::count(tables, language) > 0; };
  const auto primary = [](uint16_t language) { return language & 0x3FF; };
  if (has(wanted)) return wanted;
  constexpr uint16_t kChinese = 0x04, kTraditional = 0x0404, kSimplified = 0x0804;
  if (primary(wanted) == kChinese) {
    // By sub-language: 1 Taiwan, 3 Hong Kong, 5 Macao and 0x1F (neutral Traditional) are written
    // in Traditional characters; 2 China, 4 Singapore and 0 (neutral Simplified) in Simplified.
    const int sub = wanted >> 10;
    const uint16_t script =
        sub == 1 || sub == 3 || sub == 5 || sub == 0x1F ? kTraditional : kSimplified;
    if (has(script)) return script;
  }
  const auto same = std::ranges::find(tables, primary(wanted), primary);
  return same != tables.end() ? *same : kEnglish;
}

std::string Filled(std::string_view text, std::string_view first, std::string_view second) {
  std::string filled;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == '1' || text[i + 1] == '2')) {
      filled += text[++i] == '1' ? first : second;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

}  // namespace keyhush
