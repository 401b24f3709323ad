// What the end-to-end tests do as a user and as an observer of the real keyhush.exe: start and
// stop it, press keys, read and reset its registry values, read what the stand-in programs
// recorded, look at the clipboard and the screen. Every wait is bounded.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Long enough for a loaded machine running Wine; a passing test never waits this long.
inline constexpr std::chrono::milliseconds kPatience = 15s;

// Calls `condition` until it holds or `timeout` has passed; true when it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// Text in UTF-8, the driver's own encoding, and in the UTF-16 of the wide calls.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);

// The environment variable's value in UTF-8, or `fallback` when it is not set.
std::string Environment(const char* name, const std::string& fallback = {});

// The program under test: %KEYHUSH_EXE%, started through the wide calls.
std::string KeyhushExe();
// The system folder as a 32-bit program's shell reports it (C:\windows\system32).
std::string SystemFolder();

// One running keyhush.exe, terminated when this object goes.
class Keyhush {
 public:
  Keyhush() = default;
  Keyhush(const Keyhush&) = delete;
  Keyhush& operator=(const Keyhush&) = delete;
  ~Keyhush();

  // Starts the program and returns once its message loop waits for input and its settings
  // window exists, so its hot key is registered.
  void Start();
  // Ends the process as Task Manager would and waits until it is gone.
  void Terminate();
  bool Running() const;
  DWORD Id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};

// Ends every keyhush.exe, such as one a failed test left behind.
void TerminateAllKeyhush();

// The program's top-level window with this caption, shown or hidden; null when there is none.
HWND FindProgramWindow(DWORD processId, const std::string& caption);

// The program's shown top-level windows, all of them or those with this caption.
std::vector<HWND> ShownWindows(DWORD processId);
std::vector<HWND> ShownWindows(DWORD processId, const std::string& caption);

// Whether each of the windows answers a message within a few seconds.
bool Answers(const std::vector<HWND>& windows);
// Whether the window comes to the front and answers, so that a click on it reaches it.
bool TakesInput(HWND window);

// Another process's windows and controls: text (asked for with the W message, which Wine
// converts across processes), class, children, and the first child whose text starts so.
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> Children(HWND parent);
HWND ChildStartingWith(HWND parent, const std::string& text);
// Clicks the centre of the first child whose text starts so.
void ClickChild(HWND parent, const std::string& text);

// The notification area. Without a tray manager on the display, Wine's explorer keeps the icons
// in a "Wine System Tray" window of its own, one child window per icon.
std::vector<HWND> TrayIcons();
// An icon whose program was terminated stays in Wine's tray until the pointer passes over it
// and the tray finds its window gone: this passes over each until none is left.
void SweepAwayIconsOfEndedPrograms();
// A pop-up menu of any program, shown on the screen.
bool MenuShown();
// Right-clicks the one tray icon and returns once its pop-up menu takes input.
void OpenTrayMenu();
// Opens the tray menu and chooses the item by its access key ('A', 'S', 'X').
void ChooseFromTrayMenu(WORD accessKey);

// The program's windows by caption: the main window (hidden in the tray) and the settings window.
inline const std::string kMainWindow = "System Tray Sample Application";
inline const std::string kSettingsWindow = "Key hush settings";

// The settings window, its controls found by what they show.
struct SettingsWindow {
  HWND form = nullptr;
  HWND ok = nullptr, cancel = nullptr, exit = nullptr, about = nullptr;
  HWND check = nullptr, combo = nullptr;
  HWND description = nullptr, current = nullptr, select = nullptr, hotKey = nullptr;

  explicit SettingsWindow(HWND window);
  bool Complete() const;
  bool Ticked() const;
  std::string HotKeyText() const { return TextOf(hotKey); }
  std::string EditText() const { return TextOf(combo); }
};
// Chooses "&Settings" from the tray menu and waits for the window with all its controls.
SettingsWindow OpenSettings(DWORD processId);

// Holds `modifiers` (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN) and taps `key` through SendInput,
// as a keyboard would.
void PressHotKey(UINT modifiers, UINT key);
// Sends the inputs in one go, as one stream of user input.
void SendInputs(const std::vector<INPUT>& inputs);
// Presses and releases one key.
void TapKey(WORD virtualKey);
// Moves the pointer to a point on the screen, as a mouse would.
void MoveMouseTo(POINT at);
// Moves the pointer to the point and clicks there with the left or the right button.
void ClickAt(POINT at, bool rightButton = false);
// The centre of a window on the screen.
POINT CentreOf(HWND window);
// Whether the window exists and is shown.
bool IsShown(HWND window);
// Whether this process could register the combination now, that is, nobody else holds it.
bool HotKeyIsFree(UINT modifiers, UINT key);

// Registry, under HKEY_CURRENT_USER, or HKEY_LOCAL_MACHINE in the 32-bit view the program reads.
bool KeyExists(const std::string& subKey);
std::optional<std::string> ReadString(const std::string& subKey, const std::string& name);
void WriteString(const std::string& subKey, const std::string& name, const std::string& value);
void SetMachineString(const std::string& subKey, const std::string& name, const std::string& value);
void RemoveMachineValue(const std::string& subKey, const std::string& name);
// Where Windows records its system-information program: its path, or else its folder.
inline const std::string kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline const std::string kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
// Removes every value the program keeps: both settings trees and the log-on Run value.
void RemoveProgramSettings();

inline const std::string kHotKeySettings = "Software\\Key hush\\config";
inline const std::string kStartupSettings = "Software\\Keyhush\\config";
inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// One start recorded by a stand-in program.
struct Started {
  std::string path;         // the stand-in's own file
  std::string commandLine;  // exactly as it was given
  std::string showWindow;   // wShowWindow, or "-" when the starter set none
};
// Puts a copy of the stand-in (built beside this driver) at `path`, creating its folder, so that
// starting `path` records the start instead of running a real program.
void InstallStandIn(const std::string& path);
std::vector<Started> ReadStarted();
void ClearStarted();
// Waits until at least `count` starts are recorded and returns them all.
std::vector<Started> WaitForStarted(size_t count);
// A command line split as Windows splits the program from its arguments.
struct CommandLine {
  bool quoted = false;
  std::string program;
  std::string arguments;
};
CommandLine SplitCommandLine(const std::string& commandLine);

// The clipboard's text; nullopt when it holds none or stays unavailable.
std::optional<std::string> ClipboardText();
void SetClipboardText(const std::string& text);
// Keeps the clipboard open, as a careless program would, until it goes.
class ClipboardHeldOpen {
 public:
  ClipboardHeldOpen();
  ClipboardHeldOpen(const ClipboardHeldOpen&) = delete;
  ClipboardHeldOpen& operator=(const ClipboardHeldOpen&) = delete;
  ~ClipboardHeldOpen();
  bool Held() const { return held_; }

 private:
  bool held_ = false;
};

// Saves the whole screen as <%KEYHUSH_E2E_SCREENS%>\<name>.bmp (the harness turns it into PNG).
void SaveScreenshot(const std::string& name);
// Has the window paint itself now, then saves the screen: the pictures the README shows.
void Photograph(HWND window, const std::string& name);

// Each test starts from nothing: no keyhush running, none of its settings or tray icons, no
// recorded starts.
// A failed test leaves a screenshot named after it.
class KeyhushTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Keyhush keyhush;
};

}  // namespace e2e
