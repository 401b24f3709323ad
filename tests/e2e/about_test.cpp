// The About window of the real program, used as a user would: opened from the tray menu and from
// the settings window, closed by OK and Escape, starting the system-information program
// that the machine's registry names, and opening the makers' web page through the shell.
#include <string>
#include <vector>

#include "driver.h"

namespace e2e {
namespace {

const std::string kAbout = "About Key hush";
const std::string kUnavailable = "System Information Is Unavailable At This Time";

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
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  }

  void AboutFromTrayMenu() { ChooseFromTrayMenu('A'); }

  // Waits for the one About window and gives it.
  HWND ShownAbout() {
    EXPECT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), kAbout).empty(); }))
        << "no About window shown";
    const std::vector<HWND> windows = ShownWindows(keyhush.Id(), kAbout);
    EXPECT_EQ(windows.size(), 1u);
    return windows.empty() ? nullptr : windows.front();
  }

  bool AboutGone() {
    return WaitUntil([&] { return ShownWindows(keyhush.Id(), kAbout).empty(); });
  }

  void Click(HWND about, const std::string& text) {
    const HWND control = ChildStartingWith(about, text);
    ASSERT_NE(control, nullptr) << "no \"" << text << "\" in the About window";
    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(control)));
  }
};

TEST_F(About, TrayMenuShowsOneWindowWithTitleAndVersion) {
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_NE(ChildStartingWith(about, "Key hush"), nullptr) << "no title label";
  EXPECT_NE(ChildStartingWith(about, "Version 1.0.0"), nullptr) << "no version label";
  EXPECT_NE(ChildStartingWith(about, "Lock the windows desktop via Key hush v1"), nullptr);
  EXPECT_NE(ChildStartingWith(about, "&System Info..."), nullptr);
  std::this_thread::sleep_for(300ms);  // let it paint
  SaveScreenshot("about-window");

  // Showing it again keeps the one window.
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ShownWindows(keyhush.Id(), kAbout).size(), 1u);
  EXPECT_EQ(ShownAbout(), about) << "a second showing made a new window";
}

TEST_F(About, OkAndEscapeCloseItAndTheNextShowingOpensItAgain) {
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);
  ASSERT_NO_FATAL_FAILURE(Click(about, "OK"));
  EXPECT_TRUE(AboutGone()) << "OK left the About window open";
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }))
      << "OK hid the About window instead of unloading it";
  EXPECT_TRUE(keyhush.Running());

  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  about = ShownAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_NE(ChildStartingWith(about, "Version 1.0.0"), nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == about; }));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
  EXPECT_TRUE(AboutGone()) << "Escape left the About window open";
  EXPECT_TRUE(keyhush.Running());
}

TEST_F(About, SettingsWindowShowsTheSameWindow) {
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('S'));
  ASSERT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), kSettingsWindow).empty(); }));
  const HWND settings = ShownWindows(keyhush.Id(), kSettingsWindow).front();
  const HWND button = ChildStartingWith(settings, "&About");
  ASSERT_NE(button, nullptr) << "no \"&About\" in the settings window";

  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(button)));
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ShownWindows(keyhush.Id(), kAbout).size(), 1u);
  EXPECT_TRUE(IsShown(settings)) << "the About window took the settings window away";
}

TEST_F(About, SystemInfoStartsExactlyTheProgramTheRegistryNames) {
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(SetMachineString(kSysInfoKey, "PATH", kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);

  ASSERT_NO_FATAL_FAILURE(Click(about, "&System Info..."));
  const std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].path, kSysInfoProgram);
  const CommandLine commandLine = SplitCommandLine(started[0].commandLine);
  EXPECT_TRUE(commandLine.quoted) << started[0].commandLine;
  EXPECT_EQ(commandLine.program, kSysInfoProgram);
  EXPECT_EQ(commandLine.arguments, "");
  EXPECT_EQ(started[0].showWindow, "1");
  EXPECT_TRUE(ShownWindows(keyhush.Id(), "Key hush").empty()) << "a message box as well";
}

TEST_F(About, SystemInfoUnavailableSaysSoAndTheProgramKeepsRunning) {
  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);

  ASSERT_NO_FATAL_FAILURE(Click(about, "&System Info..."));
  ASSERT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), "Key hush").empty(); }))
      << "no message box";
  const HWND box = ShownWindows(keyhush.Id(), "Key hush").front();
  EXPECT_EQ(ClassOf(box), "#32770");
  EXPECT_NE(ChildStartingWith(box, kUnavailable), nullptr) << "not the unavailable message";
  // OK only, and no icon.
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
  SaveScreenshot("about-sysinfo-unavailable");

  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == box; }));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "Enter left the message box open";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_TRUE(IsShown(about)) << "the About window went with the message";
  EXPECT_TRUE(ReadStarted().empty()) << "something was started";
}

TEST_F(About, NoticeClickOpensTheShownAddressThroughTheShell) {
  // The shell opens https addresses with whatever command the prefix registers for them.
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(kBrowser));
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "https\\shell\\open\\command", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::string command = "\"" + kBrowser + "\" \"%1\"";
  const LONG set =
      RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
  ASSERT_EQ(set, ERROR_SUCCESS);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "https\\shell\\open\\ddeexec");

  ASSERT_NO_FATAL_FAILURE(AboutFromTrayMenu());
  const HWND about = ShownAbout();
  ASSERT_NE(about, nullptr);
  const HWND notice = ChildStartingWith(about, "Copyright");
  ASSERT_NE(notice, nullptr) << "no copyright notice";
  // The label shows the address after a run of blanks.
  const std::string text = TextOf(notice);
  const std::string address = text.substr(text.find_last_of(' ') + 1);
  ASSERT_EQ(address.rfind("https://", 0), 0u) << text;

  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(notice)));
  const std::vector<Started> started = WaitForStarted(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0].path, kBrowser);
  EXPECT_EQ(SplitCommandLine(started[0].commandLine).arguments, "\"" + address + "\"");
  EXPECT_TRUE(keyhush.Running());
  EXPECT_TRUE(IsShown(about));
}

}  // namespace
}  // namespace e2e
