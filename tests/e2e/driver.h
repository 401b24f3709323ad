// The end-to-end tests' hands and eyes on the real keyhush.exe: input, its windows, the registry,
// the clipboard, the stand-ins' log, the screen. Every wait is bounded.
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
inline constexpr std::chrono::milliseconds kPatience = 15s;  // a passing test never waits so long

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kPatience) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (; !condition(); std::this_thread::sleep_for(20ms))
    if (std::chrono::steady_clock::now() >= end) return false;
  return true;
}

std::wstring Wide(const std::string& utf8);
std::string Environment(const char* name);  // a Unix path as Windows sees it, under Z:
std::string SystemFolder();
inline const std::string kMainWindow = "System Tray Sample Application";
inline const std::string kSettingsWindow = "Key hush settings";
inline const std::string kAboutWindow = "About Key hush";

class Keyhush {  // one running keyhush.exe, terminated when this object goes
 public:
  ~Keyhush() { Terminate(); }
  void Start(const std::string& exe = Environment("KEYHUSH_EXE"));  // until its windows are made
  void Terminate();
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD Id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};
void TerminateAllKeyhush();

// Top-level windows of the process (any for 0) with the caption ("*": any), shown unless told.
std::vector<HWND> Windows(DWORD processId, const std::string& caption, bool shownOnly = true);
HWND ShownWindow(DWORD processId, const std::string& caption);  // waits for exactly one
bool Answers(HWND window);
bool TakesInput(HWND window);  // comes to the front and answers
bool IsShown(HWND window);
std::string TextOf(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> Children(HWND parent);
HWND ChildStartingWith(HWND parent, const std::string& text);
void ClickChild(HWND parent, const std::string& text);

std::vector<HWND> TrayIcons();
void SweepAwayIconsOfEndedPrograms();  // they stay until the pointer passes over them
bool MenuShown();
void OpenTrayMenu();                      // by a right click on the one icon
void ChooseFromTrayMenu(WORD accessKey);  // 'A', 'S', 'X'

struct SettingsWindow {  // its controls, by their ids
  HWND form, ok = GetDlgItem(form, 101), hotKey = GetDlgItem(form, 102),
             combo = GetDlgItem(form, 103), cancel = GetDlgItem(form, 106),
             exit = GetDlgItem(form, 107), check = GetDlgItem(form, 108),
             about = GetDlgItem(form, 109);
  bool Ticked() const { return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED; }
};
SettingsWindow OpenSettings(DWORD processId);  // from the tray menu, in front

void PressHotKey(UINT modifiers, UINT key);  // MOD_* held around the key
INPUT Mouse(DWORD flags, POINT at = {});     // buttons where the pointer is, unless it moves
void SendInputs(std::vector<INPUT> inputs);
void TapKey(WORD virtualKey);
void MoveMouseTo(POINT at);
void ClickAt(POINT at, bool rightButton = false);  // once the pointer has arrived
POINT CentreOf(HWND window);
bool HotKeyIsFree(UINT modifiers, UINT key);

std::optional<std::string> ReadString(const std::string& subKey, const std::string& name);
// Under HKEY_CURRENT_USER unless told; nullopt removes the value.
void SetString(const std::string& subKey, const char* name, std::optional<std::string> value,
               HKEY root = HKEY_CURRENT_USER);
void RemoveProgramSettings();
inline const std::string kHotKeySettings = "Software\\Key hush\\config";
inline const std::string kStartupSettings = "Software\\Keyhush\\config";
inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

struct Started {  // one start recorded by a stand-in (standin.cpp)
  std::string path, commandLine, showWindow;
};
void InstallStandIn(const std::wstring& path);
std::vector<Started> ReadStarted();
std::vector<Started> WaitForStarted(size_t count);  // until at least `count` are recorded

std::string ClipboardText();  // "" when it holds no text

// Handles (Wine 8's GetProcessHandleCount gives 0: from the system's table) and private bytes
// (PagefileUsage); from first to last, at most 10 more handles and 16 KiB more bytes.
using Footprint = std::vector<long long>;
Footprint FootprintOf(DWORD processId);
void ExpectFlat(const std::vector<Footprint>& footprints);

// Saves the screen, once `window` (if any) has painted, as %KEYHUSH_E2E_SCREENS%\<name>.bmp.
void Photograph(HWND window, const std::string& name);

// From nothing: no keyhush, none of its settings or icons, no starts; a failure is pictured.
class KeyhushTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  Keyhush keyhush;
};

}  // namespace e2e
