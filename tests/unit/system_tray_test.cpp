#include "tray/system_tray.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace keyhush::testing {
namespace {

uint32_t Field(const NotifyIconRecord& record, size_t offset) {
  return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
         static_cast<uint32_t>(record[offset + 3]) << 24;
}

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
    const NotifyIconRecord& record = platform.notifyRecords[0];
    EXPECT_EQ(platform.notifyRecords[1], record);
    for (auto [offset, value] :
         {std::pair{0, 88u}, {4, 0x1234u}, {8, 1u}, {12, 7u}, {16, 0x200u}, {20, 0xABCD0001u}})
      EXPECT_EQ(Field(record, offset), value) << offset;
    EXPECT_EQ(std::string(record.begin() + 24, record.end()), field) << length;
    NotifyIconRecord removal{};  // made afresh: nothing of the tip or icon before it
    removal[0] = 88, removal[4] = 0x34, removal[5] = 0x12, removal[8] = 1;
    EXPECT_EQ(platform.notifyRecords[2], removal);
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
