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

// The environment variable's value in UTF-8, as Windows sees a path: the harness's Unix paths
// under Z:.
std::string Environment(const char* name);
// The program under test (%KEYHUSH_EXE%, started through the wide calls), and the system folder
// as its shell reports it.
std::string KeyhushExe();
std::string SystemFolder();

// One running keyhush.exe, terminated when this object goes.
class Keyhush {
 public:
  Keyhush() = default;
  Keyhush(const Keyhush&) = delete;
  Keyhush& operator=(const Keyhush&) = delete;
  ~Keyhush() { Terminate(); }
  // Starts the program and returns once it waits for input with its settings window made, so
  // its hot key is registered.
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

// The program's top-level window with this caption, shown or hidden, or null; its shown ones.
HWND FindProgramWindow(DWORD processId, const std::string& caption);
std::vector<HWND> ShownWindows(DWORD processId, const std::string& caption);
// Waits for exactly one shown window with this caption and gives it (null if none came).
HWND ShownWindow(DWORD processId, const std::string& caption);
// Whether each window answers a message within 5 s; whether it comes to the front and answers.
bool Answers(const std::vector<HWND>& windows);
bool TakesInput(HWND window);
bool IsShown(HWND window);

// Another process's windows and controls (text through the W message, which Wine converts).
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> Children(HWND parent);
HWND ChildStartingWith(HWND parent, const std::string& text);
// Clicks the centre of the first child whose text starts so.
void ClickChild(HWND parent, const std::string& text);

// Wine's tray window ("Wine System Tray") holds one child window per icon.
std::vector<HWND> TrayIcons();
// The icon of a terminated program stays until the pointer passes over it: this passes over each.
void SweepAwayIconsOfEndedPrograms();
bool MenuShown();
// Right-clicks the one tray icon and returns once its pop-up menu takes input.
void OpenTrayMenu();
// Opens the tray menu and chooses the item by its access key ('A', 'S', 'X').
void ChooseFromTrayMenu(WORD accessKey);

inline const std::string kMainWindow = "System Tray Sample Application";
inline const std::string kSettingsWindow = "Key hush settings";
inline const std::string kAboutWindow = "About Key hush";

// The settings window, its controls found by what they show.
struct SettingsWindow {
  HWND form = nullptr, ok = nullptr, cancel = nullptr, exit = nullptr, about = nullptr;
  HWND check = nullptr, combo = nullptr, hotKey = nullptr;
  explicit SettingsWindow(HWND window);
  bool Complete() const { return ok && cancel && exit && about && check && combo && hotKey; }
  bool Ticked() const { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  std::string HotKeyText() const { return TextOf(hotKey); }
  std::string EditText() const { return TextOf(combo); }
};
// Chooses "&Settings" from the tray menu and waits for the window, in front, with its controls.
SettingsWindow OpenSettings(DWORD processId);

// Holds `modifiers` (MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN) and taps `key`, through SendInput.
void PressHotKey(UINT modifiers, UINT key);
void SendInputs(const std::vector<INPUT>& inputs);
void TapKey(WORD virtualKey);
void MoveMouseTo(POINT at);
// Moves the pointer there and, once it has arrived, clicks with the left or the right button.
void ClickAt(POINT at, bool rightButton = false);
POINT CentreOf(HWND window);
// Whether this process could register the combination now, that is, nobody else holds it.
bool HotKeyIsFree(UINT modifiers, UINT key);

// Registry, under HKEY_CURRENT_USER, or HKEY_LOCAL_MACHINE for the "Machine" calls.
std::optional<std::string> ReadString(const std::string& subKey, const std::string& name);
void WriteString(const std::string& subKey, const std::string& name, const std::string& value);
void SetMachineString(const std::string& subKey, const std::string& name, const std::string& value);
void RemoveMachineValue(const std::string& subKey, const std::string& name);
// Removes both settings trees and the log-on Run value.
void RemoveProgramSettings();
inline const std::string kHotKeySettings = "Software\\Key hush\\config";
inline const std::string kStartupSettings = "Software\\Keyhush\\config";
inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where Windows records its system-information program: its path, or else its folder.
inline const std::string kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline const std::string kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

// One start recorded by a stand-in program (standin.cpp).
struct Started {
  std::string path;         // the stand-in's own file
  std::string commandLine;  // exactly as it was given
  std::string showWindow;   // wShowWindow, or "-" when the starter set none
};
// Puts a copy of the stand-in at `path`, so that starting `path` records the start.
void InstallStandIn(const std::string& path);
std::vector<Started> ReadStarted();
void ClearStarted();
// Waits until at least `count` starts are recorded and returns them all.
std::vector<Started> WaitForStarted(size_t count);

// The clipboard's text; nullopt when it holds none or stays unavailable.
std::optional<std::string> ClipboardText();
void SetClipboardText(const std::string& text);
// Keeps the clipboard open, as a careless program would, until it goes.
struct ClipboardHeldOpen {
  ClipboardHeldOpen();
  ~ClipboardHeldOpen();
  const bool held;
};

// What the program holds, counted from outside: handles (from the system's handle table, as
// Wine 8's GetProcessHandleCount gives 0), windows and child windows, and private bytes
// (PagefileUsage: Wine reports PrivateUsage of another process as 0).
struct Footprint {
  long handles = -1;
  size_t windows = 0;
  SIZE_T privateBytes = 0;
};
Footprint FootprintOf(DWORD processId);
// From the first footprint to the last of a run of repeated steps: handles grow by at most 10,
// windows not at all, private bytes by at most 16 KiB (Wine counts 4 KiB pages).
void ExpectFlat(const std::vector<Footprint>& footprints, const std::string& run);

// Saves the screen as %KEYHUSH_E2E_SCREENS%\<name>.bmp (the harness turns it into PNG); the
// photograph has the window paint itself first: the pictures the README shows.
void SaveScreenshot(const std::string& name);
void Photograph(HWND window, const std::string& name);

// Each test starts from nothing: no keyhush running, none of its settings or tray icons, no
// recorded starts. A failed test leaves a screenshot named after it.
class KeyhushTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  Keyhush keyhush;
};

}  // namespace e2e
