// The settings window: tab order, the ten choices, a held hot key, hiding, start at log-on, OK.
#include "driver.h"

namespace e2e {

using Settings = KeyhushTest;

// The ten choices in the list's order, as the program shows the active one.
constexpr std::tuple<UINT, UINT, const char*> kChoices[] = {
    {MOD_CONTROL, 'Y', "Ctrl Y"},  {MOD_CONTROL, 'K', "Ctrl K"}, {MOD_CONTROL, 'I', "Ctrl I"},
    {MOD_ALT, 'X', "Alt X"},       {MOD_ALT, 'Y', "Alt Y"},      {MOD_ALT, 'Z', "Alt Z"},
    {MOD_SHIFT, 'A', "Shift A"},   {MOD_SHIFT, 'B', "Shift B"},  {MOD_SHIFT, 'C', "Shift C"},
    {MOD_WIN, 'X', "Win Button X"}};

TEST_F(Settings, EachSelectionHoldsOnlyItsHotKeyHidingKeepsItAndTheBoxWritesRun) {
  // Another program holds Ctrl + K: choosing it shows it unavailable and leaves nothing held.
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB002, MOD_CONTROL, 'K'));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SettingsWindow w = OpenSettings(keyhush.Id());
  EXPECT_EQ(TextOf(w.hotKey) + "|" + TextOf(w.combo), "Win Button X|Win Button X");
  EXPECT_FALSE(Ticked(w.check) || Ticked(w.displays)) << "a box ticked with nothing saved";
  // The focus starts on OK; Tab runs through the list, Cancel, Exit, the two boxes, About.
  for (HWND control : {w.ok, w.combo, w.cancel, w.exit, w.check, w.displays, w.about, w.ok}) {
    GUITHREADINFO in{sizeof in};
    const auto focused = [&] {
      return GetGUIThreadInfo(0, &in) &&
             (in.hwndFocus == control || GetParent(in.hwndFocus) == control);
    };
    EXPECT_TRUE(WaitUntil(focused, 3s)) << "Tab did not reach " << TextOf(control);
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_TAB));
  }
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(w.combo)));  // the arrow keys go to its edit field
  // Down to the last entry and up to the first, three times over; each entry passed is applied.
  std::vector<Footprint> footprints;
  for (int selection = 1, index = -1, step = 1; selection <= 55; ++selection) {
    if (index + step < 0 || index + step > 9) step = -step;
    const auto [modifiers, key, shown] = kChoices[index += step];
    const auto [oldModifiers, oldKey, oldShown] = kChoices[std::max(index - step, 0)];
    SCOPED_TRACE("selection " + std::to_string(selection) + ": " + shown);
    ASSERT_NO_FATAL_FAILURE(TapKey(step > 0 ? VK_DOWN : VK_UP));
    const std::string label = std::string(shown) + (index == 1 ? " (unavailable)" : "");
    ASSERT_TRUE(WaitUntil([&] { return TextOf(w.hotKey) == label; })) << TextOf(w.hotKey);
    std::string listed = shown;
    EXPECT_EQ(TextOf(w.combo), listed.insert(listed.rfind(' '), " +"));
    EXPECT_TRUE(index == 1 || !HotKeyIsFree(modifiers, key)) << "not held";
    EXPECT_TRUE(selection == 1 || index - step == 1 || HotKeyIsFree(oldModifiers, oldKey))
        << oldShown << " stays held";
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier").value_or("") + " " +
                  ReadString(kHotKeySettings, "currentkey").value_or(""),
              shown);
    if (index == 0 || index == 9) footprints.push_back(FootprintOf(keyhush.Id()));
  }
  UnregisterHotKey(nullptr, 0xB002);
  ExpectFlat(footprints);

  // Alt+F4 (the close button's way) only hides it; Ctrl + Y stays held.
  ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_ALT, VK_F4));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << "Alt+F4 left it shown";
  EXPECT_FALSE(HotKeyIsFree(MOD_CONTROL, 'Y')) << "closing freed the hot key";
  w = OpenSettings(keyhush.Id());
  EXPECT_EQ(TextOf(w.hotKey), "Ctrl Y");

  // The start-at-log-on box writes the Run value or removes it as it is clicked.
  const auto run = [] { return ReadString(kRunKey, "Keyhush").value_or("no Run value"); };
  const std::string quoted = "\"" + Environment("KEYHUSH_EXE") + "\"";
  for (const char* startup : {"true", "false"}) {
    ClickAt(CentreOf(w.check));
    ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == startup; }));
    EXPECT_EQ(Ticked(w.check), *startup == 't');
    EXPECT_EQ(lstrcmpiA(run().c_str(), *startup == 't' ? quoted.c_str() : "no Run value"), 0)
        << run();
  }
  // OK writes everything again with the box as it stands.
  ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
  ClickAt(CentreOf(w.ok));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << "OK left it shown";
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier").value_or("") + "|" +
                ReadString(kHotKeySettings, "currentkey").value_or("") + "|" +
                ReadString(kStartupSettings, "startup").value_or("") + "|" + run(),
            "Ctrl|Y|false|no Run value");
}

}  // namespace e2e
