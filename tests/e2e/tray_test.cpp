// The program's presence in the notification area, seen and used as a user would: the icon
// after start-up, the pop-up menu that a real right click opens, its commands, closing the main
// window, and starting a second copy.
#include "driver.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace e2e {
namespace {

// The one icon's centre on the screen, once it is shown.
POINT IconCentre() {
  POINT centre{};
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }))
      << TrayIcons().size() << " icons in the tray";
  const std::vector<HWND> icons = TrayIcons();
  return icons.empty() ? centre : CentreOf(icons.front());
}

bool WindowShown(const Keyhush& keyhush, const std::string& caption) {
  return IsShown(FindProgramWindow(keyhush.Id(), caption));
}

// A mouse button going down or up where the pointer is.
INPUT Button(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// What the screen shows where the window is, pixel by pixel.
std::vector<COLORREF> PixelsOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  std::vector<COLORREF> pixels;
  const HDC screen = GetDC(nullptr);
  for (LONG y = rect.top; y < rect.bottom; ++y) {
    for (LONG x = rect.left; x < rect.right; ++x) pixels.push_back(GetPixel(screen, x, y));
  }
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Clicks a button of the window with the left mouse button.
void ClickButton(HWND window, const char* caption) {
  const HWND button = FindWindowExA(window, nullptr, "Button", caption);
  ASSERT_NE(button, nullptr) << "no button " << caption;
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(button)));
}

class Tray : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
};

BOOL CALLBACK MatchShownTooltip(HWND window, LPARAM result) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

// A tooltip shown on the screen, or null.
HWND ShownTooltip() {
  HWND found = nullptr;
  EnumWindows(MatchShownTooltip, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Rests the pointer on the icon until its tip shows, and photographs it. Another process cannot
// read the tip's text, so the photograph is the evidence.
void PhotographTip(const char* name) {
  const POINT icon = IconCentre();
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo({icon.x - 3, icon.y - 3}));
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo(icon));
  EXPECT_TRUE(WaitUntil([] { return ShownTooltip() != nullptr; })) << "no tip on the icon";
  std::this_thread::sleep_for(300ms);
  SaveScreenshot(name);
}

// Gives the open menu a moment to paint, and photographs it.
void PhotographMenu(const char* name) {
  std::this_thread::sleep_for(300ms);
  SaveScreenshot(name);
}

// Nothing opens within a moment that a menu would take to open.
void ExpectNothingOpens(const Keyhush& keyhush, const char* after) {
  EXPECT_FALSE(WaitUntil(MenuShown, 700ms)) << "a menu opened after " << after;
  EXPECT_FALSE(WindowShown(keyhush, kSettingsWindow)) << after;
  EXPECT_FALSE(WindowShown(keyhush, kMainWindow)) << after;
}

TEST_F(Tray, StartUpPutsOneIconInTheTrayAndShowsNoWindow) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "no icon in the tray";

  RECT icon{};
  GetWindowRect(TrayIcons().front(), &icon);
  EXPECT_NEAR(icon.left, 3, 8);
  EXPECT_NEAR(icon.top, 22, 8);
  EXPECT_EQ(icon.right - icon.left, 20);
  EXPECT_EQ(icon.bottom - icon.top, 20);
  EXPECT_FALSE(WindowShown(keyhush, kMainWindow));
  EXPECT_FALSE(WindowShown(keyhush, kSettingsWindow));
  SaveScreenshot("tray-icon");

  // The tip shows after the pointer rests on the icon.
  PhotographTip("tray-tip");
}

TEST_F(Tray, RightClickOpensTheMenuAndEscapeOrAClickElsewhereClosesIt) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  PhotographMenu("tray-menu");

  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "Escape left the menu open";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_FALSE(WindowShown(keyhush, kSettingsWindow));

  // It opens again at once, and a click elsewhere closes it.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(ClickAt({600, 500}));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "a click elsewhere left the menu open";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_FALSE(WindowShown(keyhush, kSettingsWindow));
}

TEST_F(Tray, LeftClickDoubleClickAndRightPressOpenNothing) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo(IconCentre()));

  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP)}));
  ExpectNothingOpens(keyhush, "a left click");
  // Past the double-click time, so that the next two clicks make one double click of their own.
  std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP),
                                      Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP)}));
  ExpectNothingOpens(keyhush, "a double click");
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_RIGHTDOWN)}));
  ExpectNothingOpens(keyhush, "a right-button press");

  // It is the release that opens the menu.
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_RIGHTUP)}));
  EXPECT_TRUE(WaitUntil(MenuShown)) << "the release after the press opened no menu";
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
}

TEST_F(Tray, SettingsShowsTheSettingsWindowAndLeavesTheMainWindowHidden) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey('S'));

  EXPECT_TRUE(WaitUntil([&] { return WindowShown(keyhush, kSettingsWindow); }))
      << "\"&Settings\" showed no settings window";
  EXPECT_FALSE(MenuShown());
  EXPECT_FALSE(WindowShown(keyhush, kMainWindow));
  SaveScreenshot("tray-settings");
}

TEST_F(Tray, SettingsIsTheSecondItemAndExitFollowsTheSeparator) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  // Down from nothing selected: About, Settings.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return WindowShown(keyhush, kSettingsWindow); }));

  // Up from nothing selected: the last item, Exit.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_UP));
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "the last item is not Exit";
}

TEST_F(Tray, ExitRemovesTheIconAndEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey('X'));

  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "\"E&xit\" left it running";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Tray, CloseRequestsToTheMainWindowLeaveTheProgramRunningWithItsIcon) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const HWND main = FindProgramWindow(keyhush.Id(), kMainWindow);
  ASSERT_NE(main, nullptr);

  // Hidden, as after start-up.
  ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(keyhush.Running());
  EXPECT_TRUE(IsWindow(main));
  EXPECT_FALSE(IsWindowVisible(main));

  // Shown, as a user could have it: the close sends it back into the tray.
  ShowWindow(main, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  // Let it paint before it is photographed.
  SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
  std::this_thread::sleep_for(300ms);
  SaveScreenshot("tray-main-window");
  ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "the close left it shown";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_TRUE(IsWindow(main));
  EXPECT_EQ(TrayIcons().size(), 1u);

  // The icon still answers.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
}

TEST_F(Tray, ThePanelButtonsReplaceRemoveAndAddTheIcon) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const HWND main = FindProgramWindow(keyhush.Id(), kMainWindow);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }));
  // Shown away from the tray, which sits at the screen's top left as the window would.
  SetWindowPos(main, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(main, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  const std::vector<COLORREF> startUpIcon = PixelsOf(TrayIcons().front());

  ASSERT_NO_FATAL_FAILURE(ClickButton(main, "&Modify Icon"));
  EXPECT_TRUE(WaitUntil([&] {
    return TrayIcons().size() == 1 && PixelsOf(TrayIcons().front()) != startUpIcon;
  })) << "the icon did not change";
  PhotographTip("tray-modified");

  ASSERT_NO_FATAL_FAILURE(ClickButton(main, "&Remove Icon"));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed";
  ASSERT_NO_FATAL_FAILURE(ClickButton(main, "&Add Icon"));
  EXPECT_TRUE(WaitUntil([&] {
    return TrayIcons().size() == 1 && PixelsOf(TrayIcons().front()) == startUpIcon;
  })) << "the start-up icon did not come back";
  EXPECT_TRUE(keyhush.Running());
}

TEST_F(Tray, ANewTaskBarGetsTheIconAgain) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const HWND main = FindProgramWindow(keyhush.Id(), kMainWindow);
  ASSERT_NE(main, nullptr);
  SetWindowPos(main, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(main, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }));
  ASSERT_NO_FATAL_FAILURE(ClickButton(main, "&Remove Icon"));
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }));
  ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
  ASSERT_TRUE(WaitUntil([&] { return !IsShown(main); }));

  // What Explorer tells every top-level window when it has made a new task bar.
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  ASSERT_NE(taskbarCreated, 0u);
  ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "the icon did not come back";
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
}

TEST_F(Tray, ASecondStartEndsAtOnceAndShowsTheFirstCopysSettings) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }));

  const std::string exe = KeyhushExe();
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION second{};
  ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &second))
      << "error " << GetLastError();
  const DWORD waited = WaitForSingleObject(second.hProcess, kPatience.count());
  DWORD exitCode = STILL_ACTIVE;
  GetExitCodeProcess(second.hProcess, &exitCode);
  if (waited != WAIT_OBJECT_0) TerminateProcess(second.hProcess, 1);
  CloseHandle(second.hThread);
  CloseHandle(second.hProcess);
  ASSERT_EQ(waited, WAIT_OBJECT_0) << "the second copy kept running";
  EXPECT_EQ(exitCode, 0u);

  EXPECT_TRUE(WaitUntil([&] { return WindowShown(keyhush, kSettingsWindow); }))
      << "the first copy did not show its settings window";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_EQ(TrayIcons().size(), 1u);
}

}  // namespace
}  // namespace e2e
