// The program's presence in the notification area, seen and used as a user would: the icon and
// its tip, the pop-up menu that a real right click opens and its commands, the main window's
// close requests and icon buttons, a new task bar, and starting a second copy.
#include "driver.h"

#include <commctrl.h>

namespace e2e {
namespace {

class Tray : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }))
        << TrayIcons().size() << " icons in the tray after start-up";
  }

  bool Shown(const std::string& caption) const {
    return IsShown(FindProgramWindow(keyhush.Id(), caption));
  }

  // Nothing opens within a moment that a menu would take to open.
  void ExpectNothingOpens(const char* after) {
    EXPECT_FALSE(WaitUntil(MenuShown, 700ms)) << "a menu opened after " << after;
    EXPECT_FALSE(Shown(kSettingsWindow)) << after;
    EXPECT_FALSE(Shown(kMainWindow)) << after;
  }
};

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

BOOL CALLBACK MatchShownTooltip(HWND window, LPARAM result) {
  if (ClassOf(window) != TOOLTIPS_CLASSA || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

HWND ShownTooltip() {
  HWND found = nullptr;
  EnumWindows(MatchShownTooltip, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(Tray, IconTipAndMenuOpenOnlyAsTheyShouldAndTheMenuLeadsToSettingsAndExit) {
  EXPECT_FALSE(Shown(kMainWindow));
  EXPECT_FALSE(Shown(kSettingsWindow));
  // Another process cannot read the tip's text, so the photograph is the evidence.
  const POINT icon = CentreOf(TrayIcons().front());
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo({icon.x - 3, icon.y - 3}));
  ASSERT_NO_FATAL_FAILURE(MoveMouseTo(icon));
  HWND tip = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (tip = ShownTooltip()) != nullptr; })) << "no tip on the icon";
  Photograph(tip, "tray-tip");

  // A double click (its first click a click of its own) and a right-button press open nothing;
  // the release opens the menu.
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP),
                                      Button(MOUSEEVENTF_LEFTDOWN), Button(MOUSEEVENTF_LEFTUP)}));
  ExpectNothingOpens("a double click");
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_RIGHTDOWN)}));
  ExpectNothingOpens("a right-button press");
  ASSERT_NO_FATAL_FAILURE(SendInputs({Button(MOUSEEVENTF_RIGHTUP)}));
  ASSERT_TRUE(WaitUntil(MenuShown)) << "the release after the press opened no menu";
  Photograph(FindWindowA("#32768", nullptr), "tray-menu");

  // A click elsewhere closes it; it opens again at once.
  ASSERT_NO_FATAL_FAILURE(ClickAt({600, 500}));
  EXPECT_TRUE(WaitUntil([] { return !MenuShown(); })) << "a click elsewhere left the menu open";
  EXPECT_FALSE(Shown(kSettingsWindow));

  // Down from nothing selected: About, then Settings, which shows its window alone.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
  EXPECT_TRUE(WaitUntil([&] { return Shown(kSettingsWindow); }))
      << "the second item is not Settings";
  EXPECT_FALSE(Shown(kMainWindow));

  // Up from nothing selected: the last item, after the separator, is Exit.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  for (WORD key : {VK_UP, VK_RETURN}) ASSERT_NO_FATAL_FAILURE(TapKey(key));
  EXPECT_TRUE(WaitUntil([&] { return !keyhush.Running(); })) << "the last item is not Exit";
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed in the tray";
}

TEST_F(Tray, MainWindowClosesAndIconButtonsAndASecondStartKeepOneProgramWithItsIcon) {
  const HWND main = FindProgramWindow(keyhush.Id(), kMainWindow);
  ASSERT_NE(main, nullptr);
  // A close request to the main window, hidden or shown, only hides it.
  const auto expectCloseOnlyHides = [&](const char* when) {
    SendMessageTimeoutA(main, WM_CLOSE, 0, 0, SMTO_BLOCK, 5000, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); })) << "a close " << when;
    EXPECT_TRUE(keyhush.Running() && IsWindow(main)) << "a close " << when << " ended it";
    EXPECT_EQ(TrayIcons().size(), 1u) << "after a close " << when;
  };
  expectCloseOnlyHides("while hidden");

  // Shown away from the tray, which sits at the screen's top left as the window would.
  SetWindowPos(main, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(main, SW_SHOWNORMAL);
  ASSERT_TRUE(WaitUntil([&] { return IsShown(main); }));
  // Its buttons replace, remove and add the icon.
  const std::vector<COLORREF> startUpIcon = PixelsOf(TrayIcons().front());
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Modify Icon"));
  EXPECT_TRUE(WaitUntil([&] {
    return TrayIcons().size() == 1 && PixelsOf(TrayIcons().front()) != startUpIcon;
  })) << "the icon did not change";
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Remove Icon"));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().empty(); })) << "the icon stayed";
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Add Icon"));
  EXPECT_TRUE(WaitUntil([&] {
    return TrayIcons().size() == 1 && PixelsOf(TrayIcons().front()) == startUpIcon;
  })) << "the start-up icon did not come back";
  // What Explorer tells every top-level window when it has made a new task bar.
  ASSERT_NO_FATAL_FAILURE(ClickChild(main, "&Remove Icon"));
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().empty(); }));
  ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
  EXPECT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << "a new task bar has no icon";
  expectCloseOnlyHides("while shown");

  // A second copy ends at once and shows the first copy's settings window.
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
  EXPECT_TRUE(WaitUntil([&] { return Shown(kSettingsWindow); }))
      << "the first copy did not show its settings window";
  EXPECT_EQ(TrayIcons().size(), 1u);
  // The one icon still answers.
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
}

}  // namespace
}  // namespace e2e
