#include "tray/system_tray.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace keyhush::testing {
namespace {

TEST(SystemTray, AddAndModifyFillTheRecordAlikeAndRemoveSendsOnlyWindowAndIdentifier) {
  // The 64-byte tip field: the tip, its NUL, spaces; too long a tip is cut to keep the NUL.
  for (auto [length, field] : {std::pair{0, std::string(1, '\0') + std::string(63, ' ')},
                               {62, std::string(62, 't') + '\0' + ' '},
                               {63, std::string(63, 't') + '\0'},
                               {64, std::string(63, 't') + '\0'},
                               {65, std::string(63, 't') + '\0'}}) {
    FakePlatform platform;
    mdlSystemTray tray{platform};
    tray.AddTrayIcon(0x1234, 1, 0xABCD0001, std::string(length, 't'));
    tray.ModifyTrayIcon(0x1234, 1, 0xABCD0001, std::string(length, 't'));
    tray.RemoveTrayIcon(0x1234, 1);
    ASSERT_EQ(platform.CallsTo("Shell").size(), 3u);
    const auto bytes = [&](size_t call) {
      return std::string(platform.notifyRecords[call].begin(), platform.notifyRecords[call].end());
    };
    // Size 88, window, identifier, flags 7, message 0x200, icon, then the tip.
    const std::string head("X\0\0\0\x34\x12\0\0\1\0\0\0\7\0\0\0\0\2\0\0\1\0\xCD\xAB", 24);
    EXPECT_EQ(bytes(0), head + field) << length;
    EXPECT_EQ(bytes(1), bytes(0));
    // The removal is made afresh: nothing of the tip or icon before it.
    EXPECT_EQ(bytes(2), head.substr(0, 12) + std::string(76, '\0'));
  }
}

// The callback window reports each mouse message as if it were a pixel position, in twips; no
// real pointer position over the 375-twip box may pass for a right-button release.
TEST(SystemTray, OnlyTheRightButtonReleaseIsRecognisedAtEveryResolution) {
  FakePlatform platform;
  mdlSystemTray tray{platform};
  for (int32_t twips : {15, 12, 10, 8, 7}) {
    platform.twipsPerPixelX = twips;
    for (int32_t message = 0x200; message <= 0x209; ++message)
      EXPECT_EQ(tray.IsRightButtonRelease(static_cast<float>(message * twips)), message == 0x205)
          << message << " at " << twips;
    for (int32_t pixel = -1; pixel * twips <= 375; ++pixel)
      EXPECT_FALSE(tray.IsRightButtonRelease(static_cast<float>(pixel * twips)));
  }
  platform.twipsPerPixelX = 0;
  EXPECT_FALSE(tray.IsRightButtonRelease(0.0f));
}

}  // namespace
}  // namespace keyhush::testing
