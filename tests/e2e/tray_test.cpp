// The notification area: the tip, the menu and its commands, closes of the hidden main window,
// a new task bar, a second copy.
#include <process.h>

#include "driver.h"

namespace e2e {

using Tray = KeyhushTest;

TEST_F(Tray, TipAndMenuShowClosesOnlyHideANewTaskBarAndASecondCopyShowSettings) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const auto shown = [&](const std::string& caption) {
    return !Windows(keyhush.Id(), caption).empty();
  };
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "no icon after start-up";
  // Another process cannot read the tip's text, so the photograph is the evidence.
  const POINT icon = CentreOf(TrayIcons().front());
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo({icon.x - 3, icon.y - 3}));
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo(icon));
  EXPECT_TRUE(WaitUntil([] { return IsWindowVisible(FindWindowA("tooltips_class32", nullptr)); }));
  Photograph(FindWindowA("tooltips_class32", nullptr), "tray-tip");
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  Photograph(FindWindowA("#32768", nullptr), "tray-menu");
  ASSERT_NO_FATAL_FAILURE(ClickAt({600, 500}));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "a click elsewhere left the menu open";
  EXPECT_FALSE(shown(kSettingsWindow) || shown(kMainWindow));

  // Down from nothing selected: About, then Settings.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
  EXPECT_TRUE(WaitUntil([&] { return shown(kSettingsWindow); })) << "the second item";
  EXPECT_FALSE(shown(kMainWindow));
  ShowWindow(Windows(keyhush.Id(), kSettingsWindow).front(), SW_HIDE);

  const HWND main = Windows(keyhush.Id(), kMainWindow, false).front();
  for (bool visible : {false, true}) {
    if (visible) ShowWindow(main, SW_SHOWNORMAL);
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "shown " << visible;
    EXPECT_TRUE(keyhush.Running()) << "a close ended it, shown " << visible;
  }
  // What Explorer tells every top-level window when it has made a new task bar. The window is
  // shown away from the tray, which sits at the screen's top left as the window would.
  SetWindowPos(main, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Remove Icon"));
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed";
  ShowWindow(main, SW_HIDE);
  ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "a new task bar has no icon";

  const std::string exe = Environment("KEYHUSH_EXE");
  const auto second = reinterpret_cast<HANDLE>(_spawnl(_P_NOWAIT, exe.c_str(), "keyhush", nullptr));
  EXPECT_EQ(WaitForSingleObject(second, 15000), WAIT_OBJECT_0) << "the second copy kept running";
  CloseHandle(second);
  EXPECT_TRUE(WaitUntil([&] { return shown(kSettingsWindow); }))
      << "the first copy did not show its settings window";
  EXPECT_EQ(TrayIcons().size(), 1u);
}

// The tray menu's last item and the settings window's Exit end it, and so do an installer's
// Restart Manager, a log-off and "keyhush /exit": exit code 0, the icon removed, the hot key
// free, the settings as they were.
TEST_F(Tray, TheEndOfTheSessionAndExitEndItAsExitDoes) {
  SetString(kHotKeySettings, "modifier", "Alt");
  SetString(kHotKeySettings, "currentkey", "Z");
  const std::string exe = Environment("KEYHUSH_EXE");
  for (const char* how : {"menu", "E&xit", "installer", "log-off", "/exit"}) {
    SCOPED_TRACE(how);
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }));
    const LPARAM why = *how == 'i' ? ENDSESSION_CLOSEAPP : 0;
    // Asked first, it lets the session end and ends nothing; an end called off changes nothing.
    for (HWND window : Windows(keyhush.Id(), "*", false)) {
      DWORD_PTR answer = 0;
      SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, why, SMTO_ABORTIFHUNG, 5000, &answer);
      EXPECT_TRUE(answer);
      SendMessageTimeoutA(window, WM_ENDSESSION, FALSE, why, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_ALT, 'Z'));
    if (*how == 'm') {  // up from nothing selected: the last item, after the separator
      ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
      for (WORD key : {VK_UP, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
    } else if (*how == 'E') {
      ASSERT_NO_FATAL_FAILURE(ClickChild(OpenSettings(keyhush.Id()).form, how));
    } else if (*how == '/') {
      EXPECT_EQ(_spawnl(_P_WAIT, exe.c_str(), "keyhush", how, nullptr), 0);
    } else {
      for (HWND window : Windows(keyhush.Id(), "*", false))
        SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, why, SMTO_ABORTIFHUNG, 5000, nullptr);
    }
    EXPECT_EQ(keyhush.ExitCode(), 0u);
    EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); }, 2s)) << "the icon stayed";
    EXPECT_TRUE(HotKeyIsFree(MOD_ALT, 'Z'));
    keyhush.Terminate();
  }
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Alt");
  // With no copy running, /exit ends at once, starting nothing.
  EXPECT_EQ(_spawnl(_P_WAIT, exe.c_str(), "keyhush", "/exit", nullptr), 0);
  EXPECT_TRUE(Windows(0, kMainWindow, false).empty());
}

}  // namespace e2e
