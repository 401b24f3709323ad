// The settings window of the real keyhush.exe, opened from the tray menu and used as a user
// would: what it shows and where, choosing a hot key with the mouse, start at log-on, hiding,
// a hot key held by another program, Exit, and the tab order.
#include "driver.h"

#include <array>
#include <string>
#include <thread>
#include <vector>

namespace e2e {
namespace {

// List texts of another process's combo box, asked for with the W messages, which Wine converts
// across processes.
std::vector<std::string> ListTexts(HWND combo) {
  std::vector<std::string> texts;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(std::size(text))) break;
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    char buffer[256] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    texts.push_back(buffer);
  }
  return texts;
}

// What a failure report needs to tell a busy program from a lost input.
std::string StateOf(HWND form) {
  DWORD_PTR answer = 0;
  const bool answers = SendMessageTimeoutA(form, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
  return std::string("the window ") + (IsWindowVisible(form) ? "shown" : "hidden") +
         (GetForegroundWindow() == form ? " in front" : " not in front") +
         (answers ? ", its program answers" : ", its program does not answer");
}

class Settings : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }

  SettingsWindow Open() { return OpenSettings(keyhush.Id()); }

  void ExpectLocksOn(UINT modifiers, UINT key, const char* what) {
    ClearStarted();
    PressHotKey(modifiers, key);
    const std::vector<Started> starts = WaitForStarted(1);
    ASSERT_EQ(starts.size(), 1u) << what << " started no lock command; "
                                 << StateOf(FindProgramWindow(keyhush.Id(), kSettingsWindow));
    EXPECT_NE(starts.front().commandLine.find("user32.dll,LockWorkStation"), std::string::npos)
        << starts.front().commandLine;
  }

  void ExpectHidden(HWND form, const char* after) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(form); }))
        << after << " left it shown; " << StateOf(form);
    EXPECT_TRUE(keyhush.Running()) << after << " ended the program";
    EXPECT_TRUE(IsWindow(form)) << after << " destroyed the window";
  }
};

int Pixels(int twips, int dpi) {
  return MulDiv(twips, dpi, 1440);
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A control's rectangle in its window's client area.
RECT PlaceOf(HWND control, HWND form) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND FocusOf(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Clicks the list item at `index` in the opened drop-down list of `combo`.
void ChooseWithTheMouse(HWND combo, int index) {
  RECT box{};
  GetWindowRect(combo, &box);
  // The drop-down button sits at the right end of the closed box.
  ClickAt({box.right - 6, (box.top + box.bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
      << "the list did not drop down";
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    list = FindWindowA("ComboLBox", nullptr);
    return IsShown(list);
  })) << "no drop-down list on the screen";
  const auto itemHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  const auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  ASSERT_GT(itemHeight, 0);
  RECT client{};
  GetClientRect(list, &client);
  POINT at{client.right / 2, (index - top) * itemHeight + itemHeight / 2};
  ClientToScreen(list, &at);
  ClickAt(at);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }))
      << "the list stayed open";
}

TEST_F(Settings, ShowsTheActiveHotKeyTheTenChoicesAndItsLayout) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());
  // The window paints once its queue is empty: wait for an answer, then give it a moment.
  SendMessageTimeoutA(w.form, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
  std::this_thread::sleep_for(500ms);
  SaveScreenshot("settings-window");

  EXPECT_EQ(w.HotKeyText(), "Win Button X");
  EXPECT_EQ(w.EditText(), "Win Button X");
  EXPECT_EQ(SendMessageW(w.combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(
      ListTexts(w.combo),
      (std::vector<std::string>{"Ctrl + Y", "Ctrl + K", "Ctrl + I", "Alt + X", "Alt + Y", "Alt + Z",
                                "Shift + A", "Shift + B", "Shift + C", "Win Button + X"}));
  EXPECT_FALSE(w.Ticked());
  EXPECT_EQ(TextOf(w.description),
            "Lock the windows desktop via Key hush v1 and a windows system wide hot-key." +
                std::string(140, ' ') + "Just choose a hot-key and leave it in the system tray." +
                "    Press the hot key and watch your desktop lock!");

  const int dpi = ScreenDpi();
  RECT client{};
  GetClientRect(w.form, &client);
  EXPECT_NEAR(client.right, Pixels(6255, dpi), 1);
  EXPECT_NEAR(client.bottom, Pixels(4485, dpi), 1);

  // Centred on the screen's work area.
  RECT work{}, frame{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(w.form, &frame);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);

  struct Place {
    HWND control;
    const char* name;
    int left, top, width, height;  // twips
  };
  for (const Place& p : {Place{w.description, "Label1", 240, 1200, 5805, 1425},
                         Place{w.ok, "Command1", 120, 3840, 1695, 450},
                         Place{w.hotKey, "Label2", 1560, 105, 2475, 285},
                         Place{w.combo, "Combo1", 2040, 675, 2070, 0},
                         Place{w.current, "Current", 120, 120, 1245, 270},
                         Place{w.select, "Label3", 120, 690, 1770, 270},
                         Place{w.cancel, "Command2", 1920, 3840, 1695, 450},
                         Place{w.exit, "Command3", 4440, 3840, 1695, 450},
                         Place{w.check, "Check1", 240, 3240, 5895, 255},
                         Place{w.about, "Command4", 4440, 120, 1695, 450}}) {
    const RECT r = PlaceOf(p.control, w.form);
    EXPECT_NEAR(r.left, Pixels(p.left, dpi), 1) << p.name;
    EXPECT_NEAR(r.top, Pixels(p.top, dpi), 1) << p.name;
    EXPECT_NEAR(r.right - r.left, Pixels(p.width, dpi), 1) << p.name;
    // A drop-down combo box's closed height follows its font, not the layout.
    if (p.height) {
      EXPECT_NEAR(r.bottom - r.top, Pixels(p.height, dpi), 1) << p.name;
    }
  }
}

TEST_F(Settings, ChoosingShiftBWithTheMouseMovesTheHotKeyAndSavesIt) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());

  ASSERT_NO_FATAL_FAILURE(ChooseWithTheMouse(w.combo, 7));

  EXPECT_TRUE(WaitUntil([&] { return w.HotKeyText() == "Shift B"; })) << w.HotKeyText();
  EXPECT_EQ(w.EditText(), "Shift + B");
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Shift");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "B");
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is still held";
  EXPECT_FALSE(HotKeyIsFree(MOD_SHIFT, 'B')) << "Shift + B is not registered";
  ExpectLocksOn(MOD_SHIFT, 'B', "Shift + B");
}

TEST_F(Settings, ArrowKeysInTheListApplyEachEntryPassed) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());
  RECT box{};
  GetWindowRect(w.combo, &box);
  ClickAt({box.left + 10, (box.top + box.bottom) / 2});

  const char* const passed[][3] = {{"Ctrl Y", "Ctrl", "Y"}, {"Ctrl K", "Ctrl", "K"}};
  for (const auto& [shown, modifier, key] : passed) {
    TapKey(VK_DOWN);
    EXPECT_TRUE(WaitUntil([&] { return w.HotKeyText() == shown; })) << w.HotKeyText();
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), modifier);
    EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), key);
  }
  EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, 'Y')) << "the entry passed stays registered";
  EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, 'K'));
}

TEST_F(Settings, TheBoxWritesTheQuotedPathAndClearingItRemovesTheValue) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());

  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "true"; }));
  EXPECT_TRUE(w.Ticked());
  const std::optional<std::string> run = ReadString(kRunKey, "Keyhush");
  ASSERT_TRUE(run.has_value()) << "no Run value";
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, run->c_str(), -1,
                           ("\"" + KeyhushExe() + "\"").c_str(), -1),
            CSTR_EQUAL)
      << *run;

  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "false"; }));
  EXPECT_FALSE(w.Ticked());
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush").has_value()) << "the Run value stayed";

  // OK writes everything again with the box as it stands.
  ClickAt(CentreOf(w.ok));
  ExpectHidden(w.form, "OK");
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Win Button");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "X");
  EXPECT_EQ(ReadString(kStartupSettings, "startup"), "false");
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush").has_value());
}

TEST_F(Settings, ASavedTrueRewritesTheRunValueAtStartAndTicksTheBox) {
  ASSERT_NO_FATAL_FAILURE(WriteString(kStartupSettings, "startup", "true"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kRunKey, "Keyhush", "C:\\moved\\keyhush.exe"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  // Before any window is shown.
  EXPECT_EQ(ReadString(kRunKey, "Keyhush").value_or("").front(), '"');
  EXPECT_NE(ReadString(kRunKey, "Keyhush").value_or("").find("keyhush.exe\""), std::string::npos);
  const SettingsWindow w = Open();
  EXPECT_TRUE(w.Ticked());
}

TEST_F(Settings, CancelAndClosingOnlyHideAndTheHotKeyStaysActive) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());
  ASSERT_NO_FATAL_FAILURE(ChooseWithTheMouse(w.combo, 3));
  ASSERT_TRUE(WaitUntil([&] { return w.HotKeyText() == "Alt X"; }));

  ClickAt(CentreOf(w.cancel));
  ExpectHidden(w.form, "Cancel");
  ExpectLocksOn(MOD_ALT, 'X', "Alt + X after Cancel");

  w = Open();
  EXPECT_EQ(w.HotKeyText(), "Alt X");
  EXPECT_EQ(w.EditText(), "Alt + X");
  // Alt+F4 is a close request like the close button's.
  PressHotKey(MOD_ALT, VK_F4);
  ExpectHidden(w.form, "Alt+F4");

  w = Open();
  RECT frame{};
  GetWindowRect(w.form, &frame);
  const int border = GetSystemMetrics(SM_CXFRAME);
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  ClickAt({frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
           frame.top + GetSystemMetrics(SM_CYFRAME) + caption / 2});
  ExpectHidden(w.form, "the close button");
  ExpectLocksOn(MOD_ALT, 'X', "Alt + X after closing");
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Alt");
}

TEST_F(Settings, AHotKeyHeldByAnotherProgramIsShownUnavailable) {
  constexpr int kHeld = 0xB001;
  ASSERT_TRUE(RegisterHotKey(nullptr, kHeld, MOD_WIN, 'X'));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  EXPECT_EQ(w.HotKeyText(), "Win Button X (unavailable)");
  EXPECT_EQ(w.EditText(), "Win Button X");
  UnregisterHotKey(nullptr, kHeld);

  ASSERT_NO_FATAL_FAILURE(ChooseWithTheMouse(w.combo, 9));
  EXPECT_TRUE(WaitUntil([&] { return w.HotKeyText() == "Win Button X"; })) << w.HotKeyText();
}

TEST_F(Settings, ExitEndsTheProgramFreesTheHotKeyAndRemovesTheIcon) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());
  EXPECT_FALSE(HotKeyIsFree(MOD_WIN, 'X'));

  ClickAt(CentreOf(w.exit));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "\"E&xit\" left it running";
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is still held";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Settings, TabRunsOkListCancelExitBoxAbout) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = Open();
  ASSERT_TRUE(w.Complete());

  const auto focused = [&](HWND control) {
    return WaitUntil(
        [&] {
          const HWND focus = FocusOf(w.form);
          // The combo box's edit field takes the focus for the box.
          return focus && (focus == control || GetParent(focus) == control);
        },
        3s);
  };
  EXPECT_TRUE(focused(w.ok)) << "the focus does not start on OK";
  const std::array<std::pair<HWND, const char*>, 6> order{{{w.combo, "the list"},
                                                           {w.cancel, "Cancel"},
                                                           {w.exit, "Exit"},
                                                           {w.check, "the box"},
                                                           {w.about, "About"},
                                                           {w.ok, "OK again"}}};
  for (const auto& [control, name] : order) {
    TapKey(VK_TAB);
    EXPECT_TRUE(focused(control)) << "Tab did not reach " << name;
  }
}

}  // namespace
}  // namespace e2e
