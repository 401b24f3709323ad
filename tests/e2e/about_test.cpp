// The About window of the real program, used as a user would: opened from the tray menu and from
// the settings window, closed by OK and Escape, opened and closed many times, starting the
// system-information program the machine's registry names, and opening the makers' web page.
#include "driver.h"

namespace e2e {
namespace {

// A folder with blanks in its name: an unquoted start would run C:\Program.exe instead.
const std::string kSysInfoProgram = "C:\\Program Files\\Common Files\\Key hush e2e\\msinfo32.exe";
const std::string kBrowser = "C:\\keyhush-e2e\\browser\\browser.exe";

class About : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    RemoveMachineValue(kSysInfoKey, "PATH");
    RemoveMachineValue(kSysInfoFolderKey, "MSINFO");
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  }
  // Shows the About window from the tray menu once more, and expects the same one.
  void ShowAgainAndExpectOne(HWND about) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    EXPECT_FALSE(
        WaitUntil([&] { return ShownWindows(keyhush.Id(), kAboutWindow).size() > 1; }, 500ms));
    EXPECT_EQ(ShownWindow(keyhush.Id(), kAboutWindow), about)
        << "a second showing made a new window";
  }
};

TEST_F(About, OneWindowFromTheTrayOrTheSettingsWindowClosedByOkOrEscapeAsOftenAsOpened) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  HWND about = ShownWindow(keyhush.Id(), kAboutWindow);
  for (const char* text :
       {"Key hush", "Version 1.0.0", "Lock the windows desktop via Key hush v1", "&System Info..."})
    EXPECT_NE(ChildStartingWith(about, text), nullptr) << "no \"" << text << "\"";
  Photograph(about, "about-window");
  ASSERT_NO_FATAL_FAILURE(ShowAgainAndExpectOne(about));
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "OK did not unload the window";

  // From the settings window, many times: its keyboard opens and closes both windows, and the
  // program holds no more at the end; a new task bar each time leaves one icon.
  std::vector<Footprint> footprints;
  for (int cycle = 1; cycle <= 50; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    const SettingsWindow w = OpenSettings(keyhush.Id());
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_ALT, 'A'));
    about = ShownWindow(keyhush.Id(), kAboutWindow);
    if (cycle == 1) {
      ASSERT_NO_FATAL_FAILURE(ShowAgainAndExpectOne(about));
    }
    EXPECT_TRUE(IsShown(w.form)) << "the About window took the settings window away";
    ASSERT_TRUE(TakesInput(about));
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "Escape left it open";
    ASSERT_TRUE(TakesInput(w.form));
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_ALT, 'C'));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(w.form); })) << "Cancel left it shown";
    ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    ASSERT_TRUE(Answers({w.form}));
    ASSERT_EQ(TrayIcons().size(), 1u);
    if (cycle % 10 == 0) footprints.push_back(FootprintOf(keyhush.Id()));
  }
  ExpectFlat(footprints, "openings");
}

TEST_F(About, SystemInfoSaysItIsUnavailableOrStartsTheNamedProgramAndTheNoticeOpensTheAddress) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  const HWND about = ShownWindow(keyhush.Id(), kAboutWindow);
  // Neither value recorded: one plain message box, with OK only, and nothing started.
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  const HWND box = ShownWindow(keyhush.Id(), "Key hush");
  EXPECT_NE(ChildStartingWith(box, "System Information Is Unavailable At This Time"), nullptr);
  std::string buttons;
  for (HWND child : Children(box)) {
    if (!IsWindowVisible(child)) continue;
    if (ClassOf(child) == "Button") buttons += TextOf(child);
    // Wine keeps the icon's place in every message box; without an icon it holds none.
    EXPECT_EQ(SendMessageA(child, STM_GETICON, 0, 0), 0) << "an icon is shown";
  }
  EXPECT_EQ(buttons, "OK");
  ASSERT_TRUE(TakesInput(box));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter left the message box open";
  EXPECT_TRUE(IsShown(about)) << "the About window went with the message";

  // PATH names a program in a folder with blanks: exactly that starts, and no message.
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(SetMachineString(kSysInfoKey, "PATH", kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u) << "System Info started nothing";
  EXPECT_EQ(started[0].path, kSysInfoProgram);
  EXPECT_EQ(started[0].commandLine, "\"" + kSysInfoProgram + "\"");
  EXPECT_EQ(started[0].showWindow, "1");
  EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "a message as well";

  // The shell opens https addresses with whatever command the prefix registers for them.
  ASSERT_NO_FATAL_FAILURE(ClearStarted());
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kBrowser));
  const std::string command = "\"" + kBrowser + "\" \"%1\"";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", nullptr, REG_SZ,
                            command.c_str(), static_cast<DWORD>(command.size() + 1)),
            ERROR_SUCCESS);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "https\\shell\\open\\ddeexec");
  const HWND notice = ChildStartingWith(about, "Copyright");
  const std::string text = TextOf(notice);
  const std::string address = text.substr(text.find_last_of(' ') + 1);
  ASSERT_TRUE(address.starts_with("https://")) << text;
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(notice)));
  started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u) << "the notice opened nothing";
  EXPECT_EQ(started[0].commandLine, command.substr(0, command.size() - 4) + "\"" + address + "\"");
  EXPECT_TRUE(keyhush.Running() && IsShown(about));
}

}  // namespace
}  // namespace e2e
