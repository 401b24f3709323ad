// The About window: one, from the tray menu or the settings window, closed by OK or Escape as
// often as opened; System Info when the machine names none, and the makers' web page.
#include "driver.h"

namespace e2e {

using About = KeyhushTest;

TEST_F(About, OneWindowWhoseSystemInfoAndNoticeWorkClosedByOkOrEscapeAsOftenAsOpened) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const auto showFromTray = [&] {  // once more, and expects one
    ChooseFromTrayMenu('A');
    EXPECT_FALSE(WaitUntil([&] { return Windows(keyhush.Id(), kAboutWindow).size() > 1; }, 500ms));
    return ShownWindow(keyhush.Id(), kAboutWindow);
  };
  HWND about = showFromTray();
  // Neither value recorded: a message box, which Enter closes.
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  const HWND box = ShownWindow(keyhush.Id(), "Key hush");
  EXPECT_NE(ChildStartingWith(box, "System Information Is Unavailable At This Time"), nullptr);
  ASSERT_TRUE(TakesInput(box));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter left the message box open";
  EXPECT_TRUE(IsWindowVisible(about)) << "the About window went with the message";

  // The shell opens https addresses with whatever command the prefix registers for them.
  const std::string browser = "C:\\keyhush-e2e\\browser.exe";
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(Wide(browser)));
  SetString("https\\shell\\open\\command", nullptr, "\"" + browser + "\" \"%1\"",
            HKEY_CLASSES_ROOT);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "https\\shell\\open\\ddeexec");
  const HWND notice = ChildStartingWith(about, "Copyright");
  const std::string text = TextOf(notice);
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(notice)));
  ASSERT_EQ(WaitForStarted(1).size(), 1u) << "the notice opened nothing";
  EXPECT_EQ(ReadStarted()[0].commandLine,
            "\"" + browser + "\" \"" + text.substr(text.find("https://")) + "\"");
  EXPECT_TRUE(keyhush.Running() && IsWindowVisible(about));

  EXPECT_EQ(showFromTray(), about) << "a second showing made another window";
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "OK did not unload the window";

  // From the settings window, many times: its keyboard opens and closes both windows, and the
  // program holds no more at the end.
  std::vector<Footprint> footprints;
  for (int cycle = 1; cycle <= 50; ++cycle) {
    const SettingsWindow w = OpenSettings(keyhush.Id());
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_ALT, 'A'));
    about = ShownWindow(keyhush.Id(), kAboutWindow);
    EXPECT_TRUE(IsWindowVisible(w.form)) << "the About window took the settings window away";
    ASSERT_TRUE(TakesInput(about));
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "Escape left it open";
    ASSERT_TRUE(TakesInput(w.form));
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_ALT, 'C'));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << "Cancel left it shown";
    if (cycle % 10 == 0) footprints.push_back(FootprintOf(keyhush.Id()));
  }
  ExpectFlat(footprints);
}

}  // namespace e2e
