// The About window of the real program, used as a user would: opened from the tray menu and from
// the settings window, closed by OK and Escape, starting the system-information program that the
// machine's registry names, and opening the makers' web page through the shell.
#include "driver.h"

namespace e2e {
namespace {

const std::string kAbout = "About Key hush";
// A folder with blanks in its name: an unquoted start would run C:\Program.exe instead.
const std::string kSysInfoProgram =
    "C:\\Program Files\\Common Files\\Key hush e2e\\MSInfo\\msinfo32.exe";
const std::string kBrowser = "C:\\keyhush-e2e\\browser\\browser.exe";

class About : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoKey, "PATH"));
    ASSERT_NO_FATAL_FAILURE(RemoveMachineValue(kSysInfoFolderKey, "MSINFO"));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  }

  // Waits for the one About window and gives it.
  HWND ShownAbout() {
    EXPECT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), kAbout).empty(); }))
        << "no About window shown";
    const std::vector<HWND> windows = ShownWindows(keyhush.Id(), kAbout);
    EXPECT_EQ(windows.size(), 1u);
    return windows.empty() ? nullptr : windows.front();
  }

  // Shows the About window from the tray menu once more, and expects no second one.
  void ShowAgainAndExpectOne(HWND about) {
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    EXPECT_FALSE(WaitUntil([&] { return ShownWindows(keyhush.Id(), kAbout).size() > 1; }, 500ms))
        << "a second showing made a second window";
    EXPECT_EQ(ShownAbout(), about) << "a second showing made a new window";
  }
};

TEST_F(About, OneWindowFromTheTrayOrTheSettingsWindowClosedByOkOrEscape) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);
  for (const char* text : {"Key hush", "Version 1.0.0", "Lock the windows desktop via Key hush v1",
                           "&System Info..."}) {
    EXPECT_NE(ChildStartingWith(about, text), nullptr) << "no \"" << text << "\"";
  }
  Photograph(about, "about-window");
  ASSERT_NO_FATAL_FAILURE(ShowAgainAndExpectOne(about));
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "OK"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << "OK did not unload the window";

  const SettingsWindow settings = OpenSettings(keyhush.Id());
  ASSERT_TRUE(settings.Complete());
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(settings.about)));
  about = ShownAbout();
  ASSERT_NE(about, nullptr);
  ASSERT_NO_FATAL_FAILURE(ShowAgainAndExpectOne(about));
  EXPECT_TRUE(IsShown(settings.form)) << "the About window took the settings window away";
  ASSERT_TRUE(TakesInput(about));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
  EXPECT_TRUE(WaitUntil([&] { return ShownWindows(keyhush.Id(), kAbout).empty(); }))
      << "Escape left the About window open";
  EXPECT_TRUE(keyhush.Running());
}

TEST_F(About, SystemInfoSaysItIsUnavailableOrStartsTheNamedProgramAndTheNoticeOpensTheAddress) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);

  // Neither value recorded: one plain message box, with OK only, and nothing started.
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  ASSERT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), "Key hush").empty(); }))
      << "no message box";
  const HWND box = ShownWindows(keyhush.Id(), "Key hush").front();
  EXPECT_EQ(ClassOf(box), "#32770");
  EXPECT_NE(ChildStartingWith(box, "System Information Is Unavailable At This Time"), nullptr);
  std::vector<std::string> buttons;
  for (HWND child : Children(box)) {
    if (!IsWindowVisible(child)) continue;
    if (ClassOf(child) == "Button") buttons.push_back(TextOf(child));
    // Wine keeps the icon's place in every message box; without an icon it holds none.
    if (ClassOf(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      EXPECT_EQ(SendMessageA(child, STM_GETICON, 0, 0), 0) << "an icon is shown";
    }
  }
  EXPECT_EQ(buttons, std::vector<std::string>{"OK"});
  ASSERT_TRUE(TakesInput(box));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter left the message box open";
  EXPECT_TRUE(keyhush.Running() && IsShown(about)) << "the About window went with the message";
  EXPECT_TRUE(ReadStarted().empty()) << "something was started";

  // PATH names a program in a folder with blanks: exactly that starts, and no message.
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(SetMachineString(kSysInfoKey, "PATH", kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
  std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u) << "System Info started nothing";
  EXPECT_EQ(started[0].path, kSysInfoProgram);
  const CommandLine commandLine = SplitCommandLine(started[0].commandLine);
  EXPECT_TRUE(commandLine.quoted) << started[0].commandLine;
  EXPECT_EQ(commandLine.program, kSysInfoProgram);
  EXPECT_EQ(commandLine.arguments, "");
  EXPECT_EQ(started[0].showWindow, "1");
  EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "a message box as well";

  // The shell opens https addresses with whatever command the prefix registers for them.
  ASSERT_NO_FATAL_FAILURE(ClearStarted());
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kBrowser));
  const std::string command = "\"" + kBrowser + "\" \"%1\"";
  ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", nullptr, REG_SZ,
                            command.c_str(), static_cast<DWORD>(command.size() + 1)),
            ERROR_SUCCESS);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "https\\shell\\open\\ddeexec");
  const HWND notice = ChildStartingWith(about, "Copyright");
  ASSERT_NE(notice, nullptr) << "no copyright notice";
  // The label shows the address after a run of blanks.
  const std::string text = TextOf(notice);
  const std::string address = text.substr(text.find_last_of(' ') + 1);
  ASSERT_EQ(address.rfind("https://", 0), 0u) << text;
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(notice)));
  started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u) << "the notice opened nothing";
  EXPECT_EQ(started[0].path, kBrowser);
  EXPECT_EQ(SplitCommandLine(started[0].commandLine).arguments, "\"" + address + "\"");
  EXPECT_TRUE(keyhush.Running() && IsShown(about));
}

}  // namespace
}  // namespace e2e
