// The settings window of the real keyhush.exe, used as a user would: what it shows, the tab
// order, choosing hot keys with the arrow keys, hiding, Exit, start at log-on, and a hot key
// that another program holds.
#include "driver.h"

namespace e2e {
namespace {

using Settings = KeyhushTest;

HWND FocusOf(HWND form) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
  return info.hwndFocus;
}

TEST_F(Settings, ShowsTheActiveHotKeyTheTenChoicesAndItsTabOrder) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  Photograph(w.form, "settings-window");
  EXPECT_EQ(w.HotKeyText(), "Win Button X");
  EXPECT_EQ(w.EditText(), "Win Button X");
  EXPECT_FALSE(w.Ticked());
  std::string list;
  for (int i = 0; i < SendMessageW(w.combo, CB_GETCOUNT, 0, 0); ++i) {
    wchar_t text[64] = {};
    SendMessageW(w.combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    for (const wchar_t* c = text; *c; ++c) list += static_cast<char>(*c);
    list += "|";
  }
  EXPECT_EQ(list,
            "Ctrl + Y|Ctrl + K|Ctrl + I|Alt + X|Alt + Y|Alt + Z|Shift + A|Shift + B|Shift + C|"
            "Win Button + X|");
  // The focus starts on OK; Tab runs through the list's edit field, Cancel, Exit, the box, About.
  for (HWND control : {w.ok, w.combo, w.cancel, w.exit, w.check, w.about, w.ok}) {
    EXPECT_TRUE(WaitUntil(
        [&] { return FocusOf(w.form) == control || GetParent(FocusOf(w.form)) == control; }, 3s))
        << "Tab did not reach " << TextOf(control);
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_TAB));
  }
}

// The ten choices as the list offers them and as the program shows the active one.
struct Choice {
  UINT modifiers;
  UINT key;
  const char* shown;
};
constexpr Choice kChoices[] = {{MOD_CONTROL, 'Y', "Ctrl Y"}, {MOD_CONTROL, 'K', "Ctrl K"},
                               {MOD_CONTROL, 'I', "Ctrl I"}, {MOD_ALT, 'X', "Alt X"},
                               {MOD_ALT, 'Y', "Alt Y"},      {MOD_ALT, 'Z', "Alt Z"},
                               {MOD_SHIFT, 'A', "Shift A"},  {MOD_SHIFT, 'B', "Shift B"},
                               {MOD_SHIFT, 'C', "Shift C"},  {MOD_WIN, 'X', "Win Button X"}};

TEST_F(Settings, EachSelectionHoldsOnlyItsHotKeyHidingKeepsItAndExitFreesIt) {
  // Another program holds Ctrl + K: choosing it shows it unavailable and leaves nothing held.
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB002, MOD_CONTROL, 'K'));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(w.combo)));  // the arrow keys go to its edit field
  // Down to the last entry and up to the first, three times over; each entry passed is applied.
  std::vector<Footprint> footprints;
  int index = -1, step = 1;
  for (int selection = 1; selection <= 55; ++selection) {
    if (index + step < 0 || index + step > 9) step = -step;
    const int previous = index;
    const Choice& choice = kChoices[index += step];
    SCOPED_TRACE("selection " + std::to_string(selection) + ": " + choice.shown);
    ASSERT_NO_FATAL_FAILURE(TapKey(step > 0 ? VK_DOWN : VK_UP));
    const std::string shown = std::string(choice.shown) + (index == 1 ? " (unavailable)" : "");
    ASSERT_TRUE(WaitUntil([&] { return w.HotKeyText() == shown; })) << w.HotKeyText();
    EXPECT_TRUE(index == 1 || !HotKeyIsFree(choice.modifiers, choice.key)) << "not held";
    EXPECT_TRUE(previous < 0 || previous == 1 ||
                HotKeyIsFree(kChoices[previous].modifiers, kChoices[previous].key))
        << "the previous one stays held";
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier").value_or("") + " " +
                  ReadString(kHotKeySettings, "currentkey").value_or(""),
              choice.shown);
    if (index == 0 || index == 9) footprints.push_back(FootprintOf(keyhush.Id()));
  }
  UnregisterHotKey(nullptr, 0xB002);
  ExpectFlat(footprints, "selections");

  // Cancel, Alt+F4 and the close button only hide it; Ctrl + Y stays held.
  for (const char* way : {"Cancel", "Alt+F4", "the close button"}) {
    if (way[0] == 'C') ClickAt(CentreOf(w.cancel));
    if (way[0] == 'A') PressHotKey(MOD_ALT, VK_F4);
    RECT frame{};
    GetWindowRect(w.form, &frame);
    if (way[0] == 't')
      ClickAt({frame.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
               frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << way << " left it shown";
    EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, 'Y')) << way << " freed the hot key";
    w = OpenSettings(keyhush.Id());
    EXPECT_EQ(w.HotKeyText(), "Ctrl Y") << way;
  }
  ClickAt(CentreOf(w.exit));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "\"E&xit\" left it running";
  EXPECT_TRUE(HotKeyIsFree(MOD_CONTROL, 'Y')) << "Ctrl + Y is still held";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Settings, TheBoxWritesTheRunValueOrRemovesItAndARestartRestoresItAndTellsAHeldHotKey) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const SettingsWindow w = OpenSettings(keyhush.Id());
  const std::string quoted = "\"" + KeyhushExe() + "\"";
  const auto runIsQuotedPath = [&] {
    const std::optional<std::string> run = ReadString(kRunKey, "Keyhush");
    return run && lstrcmpiA(run->c_str(), quoted.c_str()) == 0;
  };
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "true"; }));
  EXPECT_TRUE(w.Ticked());
  EXPECT_TRUE(runIsQuotedPath()) << ReadString(kRunKey, "Keyhush").value_or("no Run value");
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "false"; }));
  EXPECT_FALSE(w.Ticked());
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush")) << "the Run value stayed";

  // OK writes everything again with the box as it stands.
  ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
  ClickAt(CentreOf(w.ok));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << "OK left it shown";
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Win Button");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "X");
  EXPECT_EQ(ReadString(kStartupSettings, "startup"), "false");
  EXPECT_FALSE(ReadString(kRunKey, "Keyhush"));

  // A restart with a saved "true" rewrites a stale Run value and ticks the box; a hot key another
  // program holds shows as unavailable until a free one is chosen.
  keyhush.Terminate();
  ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  ASSERT_NO_FATAL_FAILURE(WriteString(kStartupSettings, "startup", "true"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kRunKey, "Keyhush", "C:\\moved\\keyhush.exe"));
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB001, MOD_WIN, 'X'));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  UnregisterHotKey(nullptr, 0xB001);
  EXPECT_TRUE(runIsQuotedPath()) << ReadString(kRunKey, "Keyhush").value_or("no Run value");
  const SettingsWindow again = OpenSettings(keyhush.Id());
  EXPECT_TRUE(again.Ticked());
  EXPECT_EQ(again.HotKeyText(), "Win Button X (unavailable)");
  EXPECT_EQ(again.EditText(), "Win Button X");
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(again.combo)));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
  EXPECT_TRUE(WaitUntil([&] { return again.HotKeyText() == "Ctrl Y"; })) << again.HotKeyText();
}

}  // namespace
}  // namespace e2e
