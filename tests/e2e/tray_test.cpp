// The program in the notification area: the icon and its tip, the pop-up menu a real right
// click opens and its commands, close requests to the hidden main window, a new task bar, and a
// second copy started.

#include "driver.h"

namespace e2e {
namespace {

class Tray : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "no icon after start-up";
  }
  bool Shown(const std::string& caption) const {
    return IsShown(FindProgramWindow(keyhush.Id(), caption));
  }
};

INPUT Button(DWORD flags) {
  INPUT input{INPUT_MOUSE};
  input.mi.dwFlags = flags;
  return input;
}

TEST_F(Tray, TipAndMenuOpenOnlyAsTheyShouldAndTheMenuLeadsToSettingsAndExit) {
  EXPECT_FALSE(Shown(kMainWindow));
  EXPECT_FALSE(Shown(kSettingsWindow));
  // Another process cannot read the tip's text, so the photograph is the evidence.
  const POINT icon = CentreOf(TrayIcons().front());
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo({icon.x - 3, icon.y - 3}));
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo(icon));
  HWND tip = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return IsShown(tip = FindWindowA("tooltips_class32", nullptr)); }));
  Photograph(tip, "tray-tip");

  // A double click and a right-button press open nothing; the release opens the menu.
  for (const auto& inputs : {std::vector{Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP),
                                         Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP)},
                             std::vector{Button(MOUSEEVENTF_RIGHTDOWN)}}) {
    ASSERT_NO_FATAL_FAILURE(SendInputs(inputs));
    EXPECT_FALSE(WaitUntil(MenuShown, 700ms)) << "a menu opened before the right button's release";
  }
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_RIGHTUP)}));
  ASSERT_TRUE(WaitUntil(MenuShown)) << "the release opened no menu";
  Photograph(FindWindowA("#32768", nullptr), "tray-menu");
  ASSERT_NO_FATAL_FAILURE(ClickAt({600, 500}));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "a click elsewhere left the menu open";
  EXPECT_FALSE(Shown(kSettingsWindow) || Shown(kMainWindow));

  // Down from nothing selected: About, then Settings; up: the last item, after the separator.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
  EXPECT_TRUE(WaitUntil([&] { return Shown(kSettingsWindow); })) << "the second item";
  EXPECT_FALSE(Shown(kMainWindow));
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  for (WORD key : {VK_UP, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "the last item is not Exit";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Tray, ClosesOnlyHideANewTaskBarGetsTheIconAndASecondCopyShowsTheFirstsSettings) {
  const HWND main = FindProgramWindow(keyhush.Id(), kMainWindow);
  for (bool shown : {false, true}) {
    if (shown) ShowWindow(main, SW_SHOWNORMAL);
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "shown " << shown;
    EXPECT_TRUE(keyhush.Running()) << "a close ended it, shown " << shown;
  }
  // What Explorer tells every top-level window when it has made a new task bar. The window is
  // shown away from the tray, which sits at the screen's top left as the window would.
  SetWindowPos(main, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Remove Icon"));
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed";
  ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "a new task bar has no icon";

  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION second{};
  std::string commandLine = "\"" + KeyhushExe() + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &second));
  EXPECT_EQ(WaitForSingleObject(second.hProcess, kPatience.count()), WAIT_OBJECT_0)
      << "the second copy kept running";
  TerminateProcess(second.hProcess, 1);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  EXPECT_TRUE(WaitUntil([&] { return Shown(kSettingsWindow); }))
      << "the first copy did not show its settings window";
  EXPECT_EQ(TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace e2e
