#pragma once

#include <string>

namespace keyhush::win32 {

// The text of a `text_ids.h` id from the program's string tables, in the user's interface language
// when the program has it (the same language of another country or script if not), else in
// English; empty for an id no table has.
std::wstring WideText(int id);
std::string Text(int id);  // as UTF-8
// Whether the texts are Japanese, Korean or Chinese.
bool EastAsianTexts();

}  // namespace keyhush::win32
