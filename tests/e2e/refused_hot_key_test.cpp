// A start whose hot key another program holds (as Windows 8 and later hold Win + X) opens the
// settings window by itself, telling the hot key unavailable; a start that gets it stays silent.
#include "driver.h"

namespace e2e {
namespace {

using RefusedHotKey = KeyhushTest;

TEST_F(RefusedHotKey, OpensTheSettingsWindowAtStartAndAFreeOneStaysSilent) {
  struct Row {
    const char* what;
    const char* modifier;  // saved, or null for nothing saved
    const char* key;
    UINT heldModifiers, heldKey;  // held by the driver, or 0
    const char* shown;            // the hot-key label, or null for no window at all
  };
  const Row rows[] = {
      {"Win + X held, nothing saved", nullptr, nullptr, MOD_WIN, 'X', "Win Button X (unavailable)"},
      {"saved Ctrl + K held", "Ctrl", "K", MOD_CONTROL, 'K', "Ctrl K (unavailable)"},
      {"Win + X free", nullptr, nullptr, 0, 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    if (row.modifier) {
      ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "modifier", row.modifier));
      ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "currentkey", row.key));
    }
    constexpr int kHeld = 0xB004;
    if (row.heldKey) {
      ASSERT_TRUE(RegisterHotKey(nullptr, kHeld, row.heldModifiers, row.heldKey));
    }
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    if (row.shown) {
      HWND form = nullptr;
      EXPECT_TRUE(WaitUntil(
          [&] {
            const std::vector<HWND> shown = ShownWindows(keyhush.Id(), kSettingsWindow);
            form = shown.empty() ? nullptr : shown.front();
            return form != nullptr;
          },
          5s))
          << "no settings window within 5 s of the start";
      if (form) {
        const SettingsWindow settings(form);
        EXPECT_EQ(settings.HotKeyText(), row.shown);
      }
    } else {
      EXPECT_FALSE(
          WaitUntil([&] { return !ShownWindows(keyhush.Id(), kSettingsWindow).empty(); }, 3s))
          << "a window was shown at the start";
    }
    // Showing the window writes nothing.
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier"),
              row.modifier ? std::optional<std::string>(row.modifier) : std::nullopt);
    EXPECT_FALSE(ReadString(kStartupSettings, "startup").has_value());
    if (row.heldKey) UnregisterHotKey(nullptr, kHeld);
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
}

}  // namespace
}  // namespace e2e
