#include "tray/system_tray.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "fakes/fake_platform.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;

uint32_t Field(const NotifyIconRecord& record, size_t offset) {
  return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
         static_cast<uint32_t>(record[offset + 3]) << 24;
}

std::string TipField(const NotifyIconRecord& record) {
  return std::string(record.begin() + 24, record.end());
}

class SystemTrayTest : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  mdlSystemTray tray{platform};
};

struct TipCase {
  std::string tip;
  std::string field;  // the 64 bytes the shell gets
  friend void PrintTo(const TipCase& tipCase, std::ostream* out) {
    *out << '"' << tipCase.tip << '"';
  }
};

class TipTest : public SystemTrayTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TipTest, AddAndModifyFillTheRecordAlikeWithTheTipFitted) {
  const Handle window = 0x1234, icon = 0xABCD0001;
  tray.AddTrayIcon(window, 1, icon, GetParam().tip);
  tray.ModifyTrayIcon(window, 1, icon, GetParam().tip);

  EXPECT_THAT(platform.calls, ElementsAre("Shell_NotifyIconA(0)", "Shell_NotifyIconA(1)"));
  ASSERT_EQ(platform.notifyRecords.size(), 2u);
  EXPECT_EQ(platform.notifyRecords[0], platform.notifyRecords[1]);
  const NotifyIconRecord& record = platform.notifyRecords[0];
  EXPECT_EQ(Field(record, 0), 88u);
  EXPECT_EQ(Field(record, 4), window);
  EXPECT_EQ(Field(record, 8), 1u);
  EXPECT_EQ(Field(record, 12), 7u);
  EXPECT_EQ(Field(record, 16), 0x200u);
  EXPECT_EQ(Field(record, 20), icon);
  EXPECT_EQ(TipField(record), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Tips, TipTest,
    ::testing::Values(TipCase{"Key hush v1",
                              std::string("Key hush v1") + '\0' + std::string(52, ' ')},
                      TipCase{"New Icon and Tooltip!",
                              std::string("New Icon and Tooltip!") + '\0' + std::string(42, ' ')},
                      TipCase{"", std::string(1, '\0') + std::string(63, ' ')},
                      TipCase{std::string(62, 'a'), std::string(62, 'a') + '\0' + ' '},
                      TipCase{std::string(63, 'b'), std::string(63, 'b') + '\0'},
                      // Too long for the field: cut so that the NUL still fits.
                      TipCase{std::string(64, 'c'), std::string(63, 'c') + '\0'},
                      TipCase{std::string(65, 'd'), std::string(63, 'd') + '\0'},
                      TipCase{std::string(300, 'e'), std::string(63, 'e') + '\0'}),
    [](const auto& info) { return "Length" + std::to_string(info.param.tip.size()); });

TEST_F(SystemTrayTest, RemoveSendsOnlySizeWindowAndIdentifier) {
  tray.RemoveTrayIcon(0x1234, 1);

  EXPECT_THAT(platform.calls, ElementsAre("Shell_NotifyIconA(2)"));
  NotifyIconRecord expected{};
  expected[0] = 88;
  expected[4] = 0x34;
  expected[5] = 0x12;
  expected[8] = 1;
  EXPECT_EQ(platform.notifyRecords.at(0), expected);
}

TEST_F(SystemTrayTest, EachCallBuildsItsRecordAfresh) {
  tray.AddTrayIcon(0x1234, 1, 0x55, std::string(63, 'x'));
  tray.AddTrayIcon(0x1234, 1, 0x55, "v1");
  tray.RemoveTrayIcon(0x1234, 1);

  EXPECT_EQ(TipField(platform.notifyRecords.at(1)),
            std::string("v1") + '\0' + std::string(61, ' '));
  EXPECT_EQ(TipField(platform.notifyRecords.at(2)), std::string(64, '\0'));
}

// The callback window reports each mouse message over the icon as if it were a pixel position,
// which the runtime turns into twips at the screen's resolution; real pointer positions over the
// 375-twip box must never pass for a right-button release.
TEST_F(SystemTrayTest, OnlyTheRightButtonReleaseIsRecognisedAtEveryResolution) {
  constexpr int32_t kBoxWidth = 375;
  for (int32_t twipsPerPixel : {15, 12, 10, 8, 7}) {
    platform.twipsPerPixelX = twipsPerPixel;
    for (int32_t message = 0x200; message <= 0x209; ++message) {
      EXPECT_EQ(tray.IsRightButtonRelease(static_cast<float>(message * twipsPerPixel)),
                message == 0x205)
          << message << " at " << twipsPerPixel << " twips per pixel";
    }
    for (int32_t pixel = -1; pixel * twipsPerPixel <= kBoxWidth; ++pixel)
      EXPECT_FALSE(tray.IsRightButtonRelease(static_cast<float>(pixel * twipsPerPixel)));
  }
  platform.twipsPerPixelX = 0;
  EXPECT_FALSE(tray.IsRightButtonRelease(0.0f));
}

}  // namespace
}  // namespace keyhush
