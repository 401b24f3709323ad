// The settings window of the real keyhush.exe, opened from the tray menu and used as a user
// would: what it shows and where, the tab order, choosing a hot key with the arrows and the
// mouse, hiding, Exit, start at log-on, and a hot key held by another program.
#include "driver.h"

#include <tuple>

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
  return std::string("the window ") + (IsWindowVisible(form) ? "shown" : "hidden") +
         (GetForegroundWindow() == form ? " in front" : " not in front") +
         (Answers({form}) ? ", its program answers" : ", its program does not answer");
}

class Settings : public KeyhushTest {
 protected:
  void ExpectLocksOn(UINT modifiers, UINT key, const char* what) {
    ASSERT_NO_FATAL_FAILURE(ClearStarted());
    ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
    const std::vector<Started> starts = WaitForStarted(1);
    ASSERT_EQ(starts.size(), 1u) << what << " started no lock command; "
                                 << StateOf(FindProgramWindow(keyhush.Id(), kSettingsWindow));
    EXPECT_NE(starts.front().commandLine.find("user32.dll,LockWorkStation"), std::string::npos)
        << starts.front().commandLine;
  }

  void ExpectHidden(HWND form, const char* after) {
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(form); }))
        << after << " left it shown; " << StateOf(form);
    EXPECT_TRUE(keyhush.Running() && IsWindow(form)) << after << " ended the program";
  }
};

// Twips as pixels on this screen.
int Pixels(int twips) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return MulDiv(twips, dpi, 1440);
}

HWND FocusOf(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The window holding the mouse capture in `window`'s thread, if any.
HWND CaptureOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndCapture;
}

// Clicks the list item at `index` in the drop-down list of `combo`, as a user does: drop the
// list, point at the item until it is highlighted, click.
void ChooseWithTheMouse(HWND combo, int index) {
  RECT box{};
  GetWindowRect(combo, &box);
  // The drop-down button sits at the right end of the closed box.
  ClickAt({box.right - 6, (box.top + box.bottom) / 2});
  // Wine routes mouse input to the capture window current when the input is sent; the list takes
  // the capture only once the button's release is handled, so a click sent earlier would go to
  // the box and just close the list.
  HWND list = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    list = CaptureOf(combo);
    return list && ClassOf(list) == "ComboLBox" &&
           SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0 && IsShown(list);
  })) << "the list did not drop down; "
      << StateOf(GetAncestor(combo, GA_ROOT));
  const auto itemHeight = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  const auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  ASSERT_GT(itemHeight, 0);
  RECT client{};
  GetClientRect(list, &client);
  POINT at{client.right / 2, (index - top) * itemHeight + itemHeight / 2};
  ClientToScreen(list, &at);
  MoveMouseTo(at);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == index; }))
      << "pointing did not highlight item " << index;
  ClickAt(at);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }))
      << "the list stayed open";
}

TEST_F(Settings, ShowsTheActiveHotKeyTheTenChoicesItsLayoutAndTabOrder) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  Photograph(w.form, "settings-window");

  EXPECT_EQ(w.HotKeyText(), "Win Button X");
  EXPECT_EQ(w.EditText(), "Win Button X");
  EXPECT_EQ(SendMessageW(w.combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(
      ListTexts(w.combo),
      (std::vector<std::string>{"Ctrl + Y", "Ctrl + K", "Ctrl + I", "Alt + X", "Alt + Y", "Alt + Z",
                                "Shift + A", "Shift + B", "Shift + C", "Win Button + X"}));
  EXPECT_FALSE(w.Ticked());
  EXPECT_EQ(TextOf(w.description),
            "Lock the windows desktop via Key hush v1\r\nand a windows system wide hot-key.\r\n\r\n"
            "Just choose a hot-key and leave it in the system tray.\r\n"
            "Press the hot key and watch your desktop lock!");

  RECT client{}, work{}, frame{};
  GetClientRect(w.form, &client);
  EXPECT_NEAR(client.right, Pixels(6255), 1);
  EXPECT_NEAR(client.bottom, Pixels(4485), 1);
  // Centred on the screen's work area.
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(w.form, &frame);
  EXPECT_NEAR(frame.left - work.left, work.right - frame.right, 1);
  EXPECT_NEAR(frame.top - work.top, work.bottom - frame.bottom, 1);
  // Each control's rectangle in twips; a drop-down combo box's closed height follows its font.
  using Place = std::tuple<HWND, const char*, int, int, int, int>;
  for (const auto& [control, name, left, top, width, height] :
       std::initializer_list<Place>{{w.description, "Label1", 240, 1200, 5805, 1425},
                                    {w.ok, "Command1", 120, 3840, 1695, 450},
                                    {w.hotKey, "Label2", 1560, 105, 2475, 285},
                                    {w.combo, "Combo1", 2040, 675, 2070, 0},
                                    {w.current, "Current", 120, 120, 1275, 270},
                                    {w.select, "Label3", 120, 690, 1770, 270},
                                    {w.cancel, "Command2", 1920, 3840, 1695, 450},
                                    {w.exit, "Command3", 4440, 3840, 1695, 450},
                                    {w.check, "Check1", 240, 3240, 5895, 255},
                                    {w.about, "Command4", 4440, 120, 1695, 450}}) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, w.form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, Pixels(left), 1) << name;
    EXPECT_NEAR(r.top, Pixels(top), 1) << name;
    EXPECT_NEAR(r.right - r.left, Pixels(width), 1) << name;
    if (height) {
      EXPECT_NEAR(r.bottom - r.top, Pixels(height), 1) << name;
    }
  }

  // The focus starts on OK, and Tab runs through the list (its edit field), Cancel, Exit, the
  // box, About and back to OK.
  const auto focused = [&](HWND control) {
    return WaitUntil(
        [&] {
          const HWND focus = FocusOf(w.form);
          return focus && (focus == control || GetParent(focus) == control);
        },
        3s);
  };
  EXPECT_TRUE(focused(w.ok)) << "the focus does not start on OK";
  const std::pair<HWND, const char*> order[] = {{w.combo, "the list"}, {w.cancel, "Cancel"},
                                                {w.exit, "Exit"},      {w.check, "the box"},
                                                {w.about, "About"},    {w.ok, "OK again"}};
  for (const auto& [control, name] : order) {
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_TAB));
    EXPECT_TRUE(focused(control)) << "Tab did not reach " << name;
  }
}

TEST_F(Settings, ArrowsAndTheMouseMoveTheHotKeyHidingKeepsItAndExitFreesIt) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());

  // Arrow keys in the list apply each entry passed.
  RECT box{};
  GetWindowRect(w.combo, &box);
  ASSERT_NO_FATAL_FAILURE(ClickAt({box.left + 10, (box.top + box.bottom) / 2}));
  const char* const passed[][3] = {{"Ctrl Y", "Ctrl", "Y"}, {"Ctrl K", "Ctrl", "K"}};
  for (const auto& [shown, modifier, key] : passed) {
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
    EXPECT_TRUE(WaitUntil([&] { return w.HotKeyText() == shown; })) << w.HotKeyText();
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), modifier);
    EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), key);
  }
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is still held";
  EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, 'Y')) << "the entry passed stays registered";

  // The mouse chooses "Shift + B".
  ASSERT_NO_FATAL_FAILURE(ChooseWithTheMouse(w.combo, 7));
  EXPECT_TRUE(WaitUntil([&] { return w.HotKeyText() == "Shift B"; })) << w.HotKeyText();
  EXPECT_EQ(w.EditText(), "Shift + B");
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Shift");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "B");
  EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, 'K')) << "Ctrl + K is still held";
  ExpectLocksOn(MOD_SHIFT, 'B', "Shift + B");

  // Cancel, Alt+F4 and the close button only hide it; the hot key stays, and it shows the same.
  ClickAt(CentreOf(w.cancel));
  ExpectHidden(w.form, "Cancel");
  ExpectLocksOn(MOD_SHIFT, 'B', "Shift + B after Cancel");
  w = OpenSettings(keyhush.Id());
  EXPECT_EQ(w.HotKeyText(), "Shift B");
  EXPECT_EQ(w.EditText(), "Shift + B");
  PressHotKey(MOD_ALT, VK_F4);
  ExpectHidden(w.form, "Alt+F4");
  w = OpenSettings(keyhush.Id());
  RECT frame{};
  GetWindowRect(w.form, &frame);
  ClickAt({frame.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
           frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
  ExpectHidden(w.form, "the close button");
  ExpectLocksOn(MOD_SHIFT, 'B', "Shift + B after closing");

  // Exit ends the program, frees the hot key and removes the icon.
  w = OpenSettings(keyhush.Id());
  ClickAt(CentreOf(w.exit));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "\"E&xit\" left it running";
  EXPECT_TRUE(HotKeyIsFree(MOD_SHIFT, 'B')) << "Shift + B is still held";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Settings, TheBoxWritesTheRunValueOrRemovesItAndARestartRestoresItAndTellsAHeldHotKey) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  const std::string quoted = "\"" + KeyhushExe() + "\"";
  const auto isQuotedPath = [&](const std::optional<std::string>& run) {
    return run && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, run->c_str(), -1,
                                 quoted.c_str(), -1) == CSTR_EQUAL;
  };

  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "true"; }));
  EXPECT_TRUE(w.Ticked());
  EXPECT_TRUE(isQuotedPath(ReadString(kRunKey, "Keyhush")))
      << ReadString(kRunKey, "Keyhush").value_or("no Run value");
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "false"; }));
  EXPECT_FALSE(w.Ticked());
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush").has_value()) << "the Run value stayed";

  // OK writes everything again with the box as it stands.
  ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
  ClickAt(CentreOf(w.ok));
  ExpectHidden(w.form, "OK");
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Win Button");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "X");
  EXPECT_EQ(ReadString(kStartupSettings, "startup"), "false");
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush").has_value());

  // A restart with a saved "true" rewrites a stale Run value before any window is shown and
  // ticks the box; a hot key another program holds shows as unavailable until chosen again.
  keyhush.Terminate();
  ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  ASSERT_NO_FATAL_FAILURE(WriteString(kStartupSettings, "startup", "true"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kRunKey, "Keyhush", "C:\\moved\\keyhush.exe"));
  constexpr int kHeld = 0xB001;
  ASSERT_TRUE(RegisterHotKey(nullptr, kHeld, MOD_WIN, 'X'));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_TRUE(isQuotedPath(ReadString(kRunKey, "Keyhush")))
      << ReadString(kRunKey, "Keyhush").value_or("no Run value");
  const SettingsWindow again = OpenSettings(keyhush.Id());
  EXPECT_TRUE(again.Ticked());
  EXPECT_EQ(again.HotKeyText(), "Win Button X (unavailable)");
  EXPECT_EQ(again.EditText(), "Win Button X");
  UnregisterHotKey(nullptr, kHeld);
  ASSERT_NO_FATAL_FAILURE(ChooseWithTheMouse(again.combo, 9));
  EXPECT_TRUE(WaitUntil([&] { return again.HotKeyText() == "Win Button X"; }))
      << again.HotKeyText();
}

}  // namespace
}  // namespace e2e
