#include "runtime/texts.h"

#include <gtest/gtest.h>

namespace keyhush::testing {
namespace {

// The user's interface language and the table read, of English, German, Portuguese (Brazil) and
// the two Chinese: that one, the same language elsewhere (Chinese by script), else English.
TEST(Texts, TheLanguageOrItsRegionalTableOrEnglish) {
  constexpr uint16_t tables[] = {0x0409, 0x0407, 0x0416, 0x0804, 0x0404};
  for (const auto& [wanted, read] : {std::pair{0x0407, 0x0407},
                                     {0x0C07, 0x0407},
                                     {0x0816, 0x0416},
                                     {0x0809, 0x0409},
                                     {0x0413, 0x0409},
                                     {0x0C04, 0x0404},
                                     {0x1404, 0x0404},
                                     {0x7C04, 0x0404},
                                     {0x1004, 0x0804},
                                     {0x0004, 0x0804},
                                     {0x0404, 0x0404}})
    EXPECT_EQ(ChooseLanguage(static_cast<uint16_t>(wanted), tables), read) << std::hex << wanted;
  EXPECT_EQ(Filled("%2 vor %1, 100%", "%2", "B"), "B vor %2, 100%");
}

}  // namespace
}  // namespace keyhush::testing
