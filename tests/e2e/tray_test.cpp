// The program's presence in the notification area, seen and used as a user would: the icon
// after start-up, the pop-up menu that a real right click opens, its commands, closing the main
// window, and starting a second copy.
#include "driver.h"

#include <string>
#include <vector>

namespace e2e {
namespace {

const std::string kMainWindow = "System Tray Sample Application";
const std::string kSettingsWindow = "Key hush settings";

// Without a tray manager on the display, Wine's explorer keeps the icons in a window of its own,
// one child window per icon.
HWND WineTray() {
  return FindWindowA(nullptr, "Wine System Tray");
}

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = WineTray();
  if (!tray || !IsWindowVisible(tray)) return icons;
  for (HWND child = GetWindow(tray, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) icons.push_back(child);
  }
  return icons;
}

// The one icon's centre on the screen, once it is shown.
POINT IconCentre() {
  POINT centre{};
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }))
      << TrayIcons().size() << " icons in the tray";
  const std::vector<HWND> icons = TrayIcons();
  if (icons.empty()) return centre;
  RECT rect{};
  GetWindowRect(icons.front(), &rect);
  centre.x = (rect.left + rect.right) / 2;
  centre.y = (rect.top + rect.bottom) / 2;
  return centre;
}

// A pop-up menu of any program, shown on the screen.
bool MenuShown() {
  const HWND menu = FindWindowA("#32768", nullptr);
  return menu && IsWindowVisible(menu);
}

bool WindowShown(const Keyhush& keyhush, const std::string& caption) {
  const HWND window = FindProgramWindow(keyhush.Id(), caption);
  return window && IsWindowVisible(window);
}

void SendInputs(std::vector<INPUT> inputs) {
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size())
      << "SendInput, error " << GetLastError();
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  return input;
}

void MoveTo(POINT at) {
  SendInputs({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at)});
}

void Tap(WORD virtualKey) {
  INPUT down{};
  down.type = INPUT_KEYBOARD;
  down.ki.wVk = virtualKey;
  down.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  INPUT up = down;
  up.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInputs({down, up});
}

// An icon whose program was terminated stays in Wine's tray until the pointer passes over it
// and the tray finds its window gone.
void SweepAwayIconsOfEndedPrograms() {
  const bool swept = WaitUntil([] {
    for (HWND icon : TrayIcons()) {
      RECT rect{};
      GetWindowRect(icon, &rect);
      MoveTo({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
      MoveTo({500, 500});
    }
    return TrayIcons().empty();
  });
  ASSERT_TRUE(swept) << TrayIcons().size() << " icons stay in the tray with no program running";
}

class Tray : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
};

// Right-clicks the tray icon and waits for the pop-up menu.
void OpenTrayMenu() {
  const POINT icon = IconCentre();
  ASSERT_NO_FATAL_FAILURE(MoveTo(icon));
  ASSERT_NO_FATAL_FAILURE(SendInputs({Mouse(MOUSEEVENTF_RIGHTDOWN), Mouse(MOUSEEVENTF_RIGHTUP)}));
  ASSERT_TRUE(WaitUntil(MenuShown)) << "no pop-up menu after a right click on the icon";
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
  ASSERT_NO_FATAL_FAILURE(MoveTo(IconCentre()));
  std::this_thread::sleep_for(2500ms);
  SaveScreenshot("tray-tip");
}

TEST_F(Tray, RightClickOpensTheMenuAndEscapeClosesIt) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  SaveScreenshot("tray-menu");

  ASSERT_NO_FATAL_FAILURE(Tap(VK_ESCAPE));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "Escape left the menu open";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_FALSE(WindowShown(keyhush, kSettingsWindow));

  // And it opens again at once.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(Tap(VK_ESCAPE));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); }));
}

TEST_F(Tray, LeftClickDoubleClickAndRightPressOpenNothing) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(MoveTo(IconCentre()));

  ASSERT_NO_FATAL_FAILURE(SendInputs({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)}));
  ExpectNothingOpens(keyhush, "a left click");
  // Past the double-click time, so that the next two clicks make one double click of their own.
  std::this_thread::sleep_for(std::chrono::milliseconds(GetDoubleClickTime() + 100));
  ASSERT_NO_FATAL_FAILURE(SendInputs({Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP),
                                      Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)}));
  ExpectNothingOpens(keyhush, "a double click");
  ASSERT_NO_FATAL_FAILURE(SendInputs({Mouse(MOUSEEVENTF_RIGHTDOWN)}));
  ExpectNothingOpens(keyhush, "a right-button press");

  // It is the release that opens the menu.
  ASSERT_NO_FATAL_FAILURE(SendInputs({Mouse(MOUSEEVENTF_RIGHTUP)}));
  EXPECT_TRUE(WaitUntil(MenuShown)) << "the release after the press opened no menu";
  ASSERT_NO_FATAL_FAILURE(Tap(VK_ESCAPE));
}

TEST_F(Tray, SettingsShowsTheSettingsWindowAndLeavesTheMainWindowHidden) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(Tap('S'));

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
  ASSERT_NO_FATAL_FAILURE(Tap(VK_DOWN));
  ASSERT_NO_FATAL_FAILURE(Tap(VK_DOWN));
  ASSERT_NO_FATAL_FAILURE(Tap(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return WindowShown(keyhush, kSettingsWindow); }));

  // Up from nothing selected: the last item, Exit.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(Tap(VK_UP));
  ASSERT_NO_FATAL_FAILURE(Tap(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "the last item is not Exit";
}

TEST_F(Tray, ExitRemovesTheIconAndEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(Tap('X'));

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
  SaveScreenshot("tray-main-window");
  ASSERT_TRUE(PostMessageA(main, WM_CLOSE, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "the close left it shown";
  EXPECT_TRUE(keyhush.Running());
  EXPECT_TRUE(IsWindow(main));
  EXPECT_EQ(TrayIcons().size(), 1u);

  // The icon still answers.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(Tap(VK_ESCAPE));
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
