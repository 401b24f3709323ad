// A hot key of the user's own: taken in "&Other..." by pressing it, refused with a reason where it
// cannot be used, kept across starts, and given up for the list's choice.
#include "driver.h"

namespace e2e {

// Presses the combination in the window and waits until the window shows it.
static void Press(const NewHotKeyWindow& w, UINT modifiers, UINT key, const std::string& shown) {
  ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(w.hotKey) == shown; }))
      << "shows \"" << TextOf(w.hotKey) << "\", not \"" << shown << "\"";
}

// A window of the driver's own: another program's window to the keys.
struct FrontWindow {
  HWND window = CreateWindowExA(0, "Static", "e2e", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                100, nullptr, nullptr, nullptr, nullptr);
  ~FrontWindow() { DestroyWindow(window); }
  // Takes its key messages, as a program does, until `last` goes up; the keys that went up.
  std::vector<WPARAM> KeysUpUntil(WPARAM last) {
    std::vector<WPARAM> up;
    WaitUntil([&] {
      for (MSG message{}; PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE);)
        if (message.message == WM_KEYUP) up.push_back(message.wParam);
      return std::ranges::count(up, last) > 0;
    });
    return up;
  }
};

using OwnHotKey = KeyhushTest;

TEST_F(OwnHotKey, TakenByPressingItLocksSurvivesARestartAndGivesWayToTheList) {
  constexpr UINT kCtrlAlt = MOD_CONTROL | MOD_ALT;
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB004, kCtrlAlt, 'H'));  // another program's
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SettingsWindow s = OpenSettings(keyhush.Id());
  NewHotKeyWindow w = OpenNewHotKey(s);
  // Open, it leaves Win + X free: pressing it shows it.
  EXPECT_FALSE(IsWindowEnabled(s.form)) << "the settings window takes input meanwhile";
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X'));
  ASSERT_NO_FATAL_FAILURE(Press(w, MOD_WIN, 'X', "Win Button + X"));
  EXPECT_TRUE(IsWindowEnabled(w.ok));
  // Ctrl held down in the window, then repeated and let go in another program's: it goes up
  // there and for every program, and the window holds it no more when back in front.
  ASSERT_NO_FATAL_FAILURE(SendInputs({Key(VK_CONTROL, false)}));
  ASSERT_TRUE(WaitUntil([&] { return TextOf(w.hotKey) == "Ctrl + "; })) << TextOf(w.hotKey);
  {
    FrontWindow other;
    ASSERT_TRUE(SetForegroundWindow(other.window) && TakesInput(other.window));
    ASSERT_NO_FATAL_FAILURE(
        SendInputs({Key(VK_CONTROL, false), Key(VK_CONTROL, false), Key(VK_CONTROL, true),
                    Key(VK_F13, false), Key(VK_F13, true)}));
    // Wine sets every key as the X server has it (up) when a window gains the focus: the messages
    // show a kept key-up even when that has happened since.
    EXPECT_EQ(other.KeysUpUntil(VK_F13), (std::vector<WPARAM>{VK_CONTROL, VK_F13}));
    EXPECT_FALSE(GetAsyncKeyState(VK_CONTROL) < 0 || GetAsyncKeyState(VK_LCONTROL) < 0)
        << "Ctrl stays down";
  }
  ASSERT_TRUE(SetForegroundWindow(w.form) && TakesInput(w.form));
  EXPECT_TRUE(ReadStarted().empty()) << "a key pressed in the window locked";
  // Esc alone cancels, a combination shown or not: Win + X stays, and still locks.
  ASSERT_NO_FATAL_FAILURE(Press(w, kCtrlAlt, 'L', "Ctrl + Alt + L"));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(w.form); })) << "the window stayed";
  EXPECT_EQ(TextOf(s.hotKey), "Win Button X");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));

  // A lone F9, taken with Enter, is the hot key: shown, saved beside the list's values, which
  // stay, and held again at the next start.
  w = OpenNewHotKey(s);
  ASSERT_NO_FATAL_FAILURE(Press(w, 0, VK_F9, "F9"));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(w.form); })) << "the window stayed";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(s.hotKey) == "F9"; })) << TextOf(s.hotKey);
  EXPECT_EQ(TextOf(s.combo), "F9");
  EXPECT_EQ(ReadString(kHotKeySettings, "hotkey").value_or("") + "|" +
                ReadString(kHotKeySettings, "modifier").value_or("none"),
            "F9|none");
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is still held";
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(0, VK_F9));
  keyhush.Terminate();
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(0, VK_F9));

  // One another program holds is saved and shown unavailable.
  s = OpenSettings(keyhush.Id());
  w = OpenNewHotKey(s);
  ASSERT_NO_FATAL_FAILURE(Press(w, kCtrlAlt, 'H', "Ctrl + Alt + H"));
  ClickAt(CentreOf(w.ok));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(w.form); })) << "the window stayed";
  EXPECT_TRUE(WaitUntil([&] { return TextOf(s.hotKey) == "Ctrl + Alt + H (unavailable)"; }))
      << TextOf(s.hotKey);
  EXPECT_EQ(ReadString(kHotKeySettings, "hotkey"), "Ctrl+Alt+H");
  UnregisterHotKey(nullptr, 0xB004);

  // The list's sixth entry, Alt + Z, replaces it, also in the store and after a restart.
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(s.combo)));
  for (int step = 0; step < 6; ++step) ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
  EXPECT_TRUE(WaitUntil([&] { return TextOf(s.hotKey) == "Alt Z"; })) << TextOf(s.hotKey);
  EXPECT_EQ(ReadString(kHotKeySettings, "hotkey").value_or("none") + "|" +
                ReadString(kHotKeySettings, "modifier").value_or("") +
                ReadString(kHotKeySettings, "currentkey").value_or(""),
            "none|AltZ");
  EXPECT_TRUE(HotKeyIsFree(kCtrlAlt, 'H'));
  keyhush.Terminate();
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_ALT, 'Z'));
}

}  // namespace e2e
