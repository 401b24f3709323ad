#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "text_ids.h"

namespace keyhush {

// English (United States): the language the texts were first written in, and the one for every
// user whose language Key hush has no table of.
inline constexpr uint16_t kEnglish = 0x0409;

// The table a user whose interface language is `wanted` reads, of the `tables` the program has
// (Windows language identifiers): that very language; else a table of the same language, for
// Chinese the one of the same script (Hong Kong and Macao read Traditional, Singapore Simplified);
// else English.
uint16_t ChooseLanguage(uint16_t wanted, std::span<const uint16_t> tables);

// `text` with %1 and %2 replaced by what the program puts in.
std::string Filled(std::string_view text, std::string_view first, std::string_view second = {});

}  // namespace keyhush
