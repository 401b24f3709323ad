// The end-to-end tests' hands and eyes on the real keyhush.exe: input, its windows, the registry,
// the stand-ins' log, the screen. Every wait is bounded.
#pragma once

#include <windows.h>

#include <psapi.h>
#include <shlobj.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
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

inline std::wstring Wide(const std::string& utf8) {
  wchar_t wide[1024] = {};
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, std::size(wide));
  return wide;
}

inline std::string Utf8(const wchar_t* wide) {
  char utf8[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

inline std::string Environment(const char* name) {  // a Unix path as Windows sees it, under Z:
  const char* set = std::getenv(name);
  std::string value = set ? set : "";
  std::replace(value.begin(), value.end(), '/', '\\');
  return value.starts_with('\\') ? "Z:" + value : value;
}

inline std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  return std::string(buffer, GetSystemDirectoryA(buffer, MAX_PATH));
}

inline const std::string kMainWindow = "System Tray Sample Application";
inline const std::string kSettingsWindow = "Key hush settings";
inline const std::string kAboutWindow = "About Key hush";
inline const std::string kNewHotKeyWindow = "Key hush: new hot key";

// Top-level windows of the process (any for 0) with the caption ("*": any), shown unless told.
// Captions are read without a message, so that a busy program does not hold up the search.
inline std::vector<HWND> Windows(DWORD processId, const std::string& caption,
                                 bool shownOnly = true) {
  std::vector<HWND> windows;
  for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, nullptr, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, std::size(text));
    if ((!processId || owner == processId) && (caption == "*" || caption == Utf8(text)) &&
        (!shownOnly || IsWindowVisible(window)))
      windows.push_back(window);
  }
  return windows;
}

inline bool Answers(HWND window) {
  return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

inline bool TakesInput(HWND window) {  // comes to the front and answers
  return WaitUntil([&] { return GetForegroundWindow() == window; }) && Answers(window);
}

inline HWND ShownWindow(DWORD processId, const std::string& caption) {  // waits for exactly one
  std::vector<HWND> shown;
  WaitUntil([&] { return !(shown = Windows(processId, caption)).empty(); });
  EXPECT_EQ(shown.size(), 1u) << "\"" << caption << "\" shown so often";
  return shown.empty() ? nullptr : shown.front();
}

// As UTF-8; bounded: a program that stopped answering fails.
inline std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
  return Utf8(text);
}

inline std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

inline HWND ChildStartingWith(HWND parent, const std::string& text) {
  for (HWND child : Children(parent))
    if (TextOf(child).starts_with(text)) return child;
  return nullptr;
}

inline INPUT Key(UINT virtualKey, bool up) {
  INPUT input{INPUT_KEYBOARD};
  input.ki = {static_cast<WORD>(virtualKey), static_cast<WORD>(MapVirtualKeyA(virtualKey, 0)),
              up ? KEYEVENTF_KEYUP : 0u};
  return input;
}

// Buttons where the pointer is, unless it moves; absolute: 0 to 65535 across the screen.
inline INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{INPUT_MOUSE};
  input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
              MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags};
  return input;
}

inline void SendInputs(std::vector<INPUT> inputs) {
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
            inputs.size())
      << "SendInput, error " << GetLastError();
}

inline void PressHotKey(UINT modifiers, UINT key) {  // MOD_* held around the key
  std::vector<INPUT> inputs{Key(key, false), Key(key, true)};
  for (auto [flag, virtualKey] : {std::pair{MOD_WIN, VK_LWIN},
                                  {MOD_CONTROL, VK_CONTROL},
                                  {MOD_ALT, VK_MENU},
                                  {MOD_SHIFT, VK_SHIFT}})
    if (modifiers & flag) {
      inputs.insert(inputs.begin(), Key(virtualKey, false));
      inputs.push_back(Key(virtualKey, true));
    }
  SendInputs(inputs);
}

inline void TapKey(WORD virtualKey) {
  SendInputs({Key(virtualKey, false), Key(virtualKey, true)});
}

inline void MoveMouseTo(POINT at) {
  SendInputs({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at)});
}

inline void ClickAt(POINT at, bool rightButton = false) {  // once the pointer has arrived
  MoveMouseTo(at);
  POINT now{};
  ASSERT_TRUE(WaitUntil([&] { return GetCursorPos(&now) && now.x == at.x && now.y == at.y; }, 3s))
      << "the pointer did not reach " << at.x << "," << at.y;
  SendInputs({Mouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
              Mouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

inline POINT CentreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

inline void ClickChild(HWND parent, const std::string& text) {
  const HWND control = ChildStartingWith(parent, text);
  ASSERT_NE(control, nullptr) << "no \"" << text << "\" in \"" << TextOf(parent) << "\"";
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(control)));
}

inline bool HotKeyIsFree(UINT modifiers, UINT key) {
  return RegisterHotKey(nullptr, 0xB000, modifiers, key) && UnregisterHotKey(nullptr, 0xB000);
}

inline std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons = Children(FindWindowA(nullptr, "Wine System Tray"));
  std::erase_if(icons, [](HWND icon) { return !IsWindowVisible(icon); });
  return icons;
}

// Icons of ended programs stay until the pointer passes over them. The pointer then waits in a
// corner, away from any window shown later (Wine may move the pointer back onto one).
inline void SweepAwayIconsOfEndedPrograms() {
  const POINT corner{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
  ASSERT_TRUE(WaitUntil([&] {
    for (HWND icon : TrayIcons()) {
      MoveMouseTo(CentreOf(icon));
      MoveMouseTo(corner);
    }
    return TrayIcons().empty();
  })) << "icons stay in the tray with no program running";
}

// A text of keyhush.exe's string table in `language` (0x0409 English, 0x0407 German, ...), UTF-8.
inline std::string ProgramText(LANGID language, int id) {
  static const HMODULE exe =
      LoadLibraryExW(Wide(Environment("KEYHUSH_EXE")).c_str(), nullptr,
                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const HRSRC block =
      FindResourceExW(exe, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(id / 16 + 1), language);
  const auto* at =
      block ? static_cast<const wchar_t*>(LockResource(LoadResource(exe, block))) : nullptr;
  if (!at) return "(no block for " + std::to_string(id) + ")";
  for (int skip = id % 16; skip > 0; --skip) at += 1 + *at;
  return Utf8(std::wstring(at + 1, *at).c_str());
}

class Keyhush {  // one running keyhush.exe
 public:
  // Until its windows are made. It runs in the driver's language: a Wine program takes the
  // user's language from the Unix locale it was started in, and its children inherit that.
  void Start(const std::string& exe = Environment("KEYHUSH_EXE")) {
    std::wstring commandLine = Wide("\"" + exe + "\"");
    STARTUPINFOW startup{sizeof startup};
    // Under some locales (zh_TW) this Wine now and then fails a start with ERROR_INTERNAL_ERROR
    // before the program runs a line: a second try starts it.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt)
      started =
          CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         Wide(exe.substr(0, exe.rfind('\\'))).c_str(), &startup, &process_) ||
          GetLastError() != ERROR_INTERNAL_ERROR;
    ASSERT_TRUE(started && process_.hProcess) << exe << ", error " << GetLastError();
    ASSERT_EQ(WaitForInputIdle(process_.hProcess, kPatience.count()), 0u) << "never idle";
    const auto forms = [&] {  // the main window and the settings window, in any language
      return std::ranges::count(Windows(Id(), "*", false), "KeyhushForm", ClassOf);
    };
    ASSERT_TRUE(WaitUntil([&] { return forms() >= 2; })) << "the settings window was never made";
  }
  void Terminate() {  // and sweeps its icon away
    if (TerminateProcess(process_.hProcess, 1)) WaitForSingleObject(process_.hProcess, 15000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
    SweepAwayIconsOfEndedPrograms();
  }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {  // once it has ended, within 2 s; STILL_ACTIVE if it has not
    DWORD code = STILL_ACTIVE;
    WaitForSingleObject(process_.hProcess, 2000);
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }
  DWORD Id() const { return process_.dwProcessId; }

 private:
  PROCESS_INFORMATION process_{};
};

inline bool MenuShown() {
  return IsWindowVisible(FindWindowA("#32768", nullptr));
}

inline void OpenTrayMenu() {  // by a right click on the one icon
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; })) << TrayIcons().size() << " icons";
  // Wine now and then drops a click while it raises a window just shown: click again, once.
  for (int attempt = 0; attempt < 2 && !MenuShown(); ++attempt) {
    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(TrayIcons().front()), true));
    WaitUntil(MenuShown, 5s);
  }
  ASSERT_TRUE(MenuShown()) << "no pop-up menu after two right clicks on the icon";
  // The menu's window answers once the menu's own loop runs, which takes the input from then on.
  SendMessageTimeoutA(FindWindowA("#32768", nullptr), WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
}

inline void ChooseFromTrayMenu(WORD accessKey) {  // 'A', 'S', 'X'
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(accessKey));
  ASSERT_TRUE(WaitUntil([] { return !MenuShown(); })) << "the menu stayed open";
}

struct SettingsWindow {  // its controls, by their ids
  HWND form, ok = GetDlgItem(form, 101), hotKey = GetDlgItem(form, 102),
             combo = GetDlgItem(form, 103), cancel = GetDlgItem(form, 106),
             exit = GetDlgItem(form, 107), check = GetDlgItem(form, 108),
             about = GetDlgItem(form, 109), other = GetDlgItem(form, 111),
             displays = GetDlgItem(form, 113);
};

inline bool Ticked(HWND box) {
  return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

struct NewHotKeyWindow {  // the window "&Other..." opens
  HWND form, hotKey = GetDlgItem(form, 101), reason = GetDlgItem(form, 102),
             ok = GetDlgItem(form, 103), cancel = GetDlgItem(form, 104);
};

inline NewHotKeyWindow OpenNewHotKey(const SettingsWindow& settings,
                                     const std::string& caption = kNewHotKeyWindow) {  // in front
  ClickAt(CentreOf(settings.other));
  DWORD processId = 0;
  GetWindowThreadProcessId(settings.form, &processId);
  const HWND window = ShownWindow(processId, caption);
  EXPECT_TRUE(window && TakesInput(window)) << "the new hot key's window did not come to the front";
  return NewHotKeyWindow{window};
}

inline SettingsWindow OpenSettings(DWORD processId) {  // from the tray menu, in front
  ChooseFromTrayMenu('S');
  const HWND window = ShownWindow(processId, kSettingsWindow);
  // Input goes where the user would aim it only once the window has come to the front.
  EXPECT_TRUE(window && TakesInput(window)) << "the settings window did not come to the front";
  return SettingsWindow{window};
}

inline const std::string kHotKeySettings = "Software\\Key hush\\config";
inline const std::string kStartupSettings = "Software\\Keyhush\\config";
inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// Where the machine names its system-information program: whole, or by its folder.
inline const std::pair<std::string, std::string> kSysInfoPath{
    "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH"},
    kSysInfoFolder{"SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO"};

inline std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) {
  char buffer[4096] = {};
  DWORD size = sizeof buffer;
  const LONG result = RegGetValueA(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ,
                                   nullptr, buffer, &size);
  return result ? std::nullopt : std::optional<std::string>(buffer);
}

// Under HKEY_CURRENT_USER unless told; nullopt removes the value.
inline void SetString(const std::string& subKey, const char* name, std::optional<std::string> value,
                      HKEY root = HKEY_CURRENT_USER) {
  value ? RegSetKeyValueA(root, subKey.c_str(), name, REG_SZ, value->c_str(),
                          static_cast<DWORD>(value->size() + 1))
        : RegDeleteKeyValueA(root, subKey.c_str(), name);
}

inline void RemoveProgramSettings() {  // and any policies for it
  for (const char* tree :
       {"Software\\Key hush", "Software\\Keyhush", "Software\\Policies\\Key hush"})
    RegDeleteTreeA(HKEY_CURRENT_USER, tree);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Policies\\Key hush");
  SetString(kRunKey, "Keyhush", std::nullopt);
}

inline void InstallStandIn(const std::wstring& path) {
  SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(Wide(Environment("KEYHUSH_STANDIN")).c_str(), path.c_str(), FALSE))
      << "error " << GetLastError();
}

// Wine reads the screen's resolution from here when a program starts.
inline void SetLogPixels(DWORD dpi) {
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                            &dpi, sizeof dpi),
            ERROR_SUCCESS);
}

struct Started {  // one start recorded by a stand-in (standin.cpp)
  std::string path, commandLine, showWindow;
};

inline std::vector<Started> ReadStarted() {
  std::vector<Started> starts;
  std::ifstream log(Environment("KEYHUSH_E2E_LOG"), std::ios::binary);
  for (std::string line; std::getline(log, line);) {
    const size_t first = line.find('\t'), last = line.rfind('\t');
    if (first == last || !line.ends_with('\r')) continue;  // still being written
    starts.push_back({line.substr(0, first), line.substr(first + 1, last - first - 1),
                      line.substr(last + 1, line.size() - last - 2)});
  }
  return starts;
}

inline std::vector<Started> WaitForStarted(size_t count) {  // until at least `count` are recorded
  std::vector<Started> starts;
  WaitUntil([&] { return (starts = ReadStarted()).size() >= count; });
  return starts;
}

// Presses the hot key (Win + X unless told) and expects exactly one more start: the quoted
// rundll32.exe of the system folder, locking, in window style 1.
inline void PressAndExpectOneLock(UINT modifiers = MOD_WIN, UINT key = 'X') {
  const size_t before = ReadStarted().size();
  ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
  const std::vector<Started> starts = WaitForStarted(before + 1);
  EXPECT_FALSE(WaitUntil([&] { return ReadStarted().size() > before + 1; }, 300ms));
  ASSERT_EQ(starts.size(), before + 1) << "the lock command did not start";
  const std::string got = starts.back().commandLine + " in style " + starts.back().showWindow;
  const std::string want = "\"" + SystemFolder() + "\\rundll32.exe\" user32.dll,LockWorkStation";
  EXPECT_EQ(lstrcmpiA(got.c_str(), (want + " in style 1").c_str()), 0) << got;
}

// Handles (from the system's table: Wine 8's GetProcessHandleCount gives 0) and private bytes.
using Footprint = std::vector<long long>;
inline Footprint FootprintOf(DWORD processId) {
  // SystemExtendedHandleInformation: a count, a word, then entries of 3 words and 16 bytes.
  std::vector<ULONG_PTR> table(1 << 14);
  while (NtQuerySystemInformation(static_cast<SYSTEM_INFORMATION_CLASS>(64), table.data(),
                                  static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)),
                                  nullptr) == static_cast<LONG>(0xC0000004))  // too small
    table.resize(table.size() * 2);
  long long handles = 0;
  for (size_t i = 0; i < table[0]; ++i)
    handles += table[2 + i * (3 + 16 / sizeof(ULONG_PTR)) + 1] == processId;
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  PROCESS_MEMORY_COUNTERS memory{sizeof memory};
  EXPECT_TRUE(GetProcessMemoryInfo(process, &memory, sizeof memory));
  CloseHandle(process);
  return {handles, static_cast<long long>(memory.PagefileUsage)};
}

// From first to last, at most 10 more handles and 16 KiB more bytes.
inline void ExpectFlat(const std::vector<Footprint>& all) {
  const Footprint &first = all.front(), &last = all.back();
  EXPECT_TRUE(first[0] > 0 && last[0] <= first[0] + 10 && last[1] <= first[1] + 16 * 1024)
      << "handles and bytes: " << ::testing::PrintToString(all);
}

// Saves the screen, once `window` (if any) has painted, as %KEYHUSH_E2E_SCREENS%\<name>.bmp.
inline void Photograph(HWND window, const std::string& name) {
  // The window's thread paints it before this returns; once it answers, the picture is shown.
  const UINT all = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW;
  if (window && RedrawWindow(window, nullptr, nullptr, all)) Answers(window);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
  header.biSizeImage = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);  // rows of 4 bytes
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
  const BITMAPFILEHEADER file{0x4D42, offset + header.biSizeImage, 0, 0, offset};  // "BM"
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  EXPECT_TRUE(BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT)) << name;
  GdiFlush();
  std::ofstream(Environment("KEYHUSH_E2E_SCREENS") + "\\" + name + ".bmp", std::ios::binary)
      .write(reinterpret_cast<const char*>(&file), sizeof file)
      .write(reinterpret_cast<const char*>(&header), sizeof header)
      .write(static_cast<const char*>(bits), header.biSizeImage);
  DeleteObject(SelectObject(memory, old));
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

// From nothing: no keyhush, none of its settings or icons, no starts, at 100 % scaling; a failure
// is pictured.
class KeyhushTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HWND main : Windows(0, kMainWindow, false)) {
      DWORD id = 0;
      GetWindowThreadProcessId(main, &id);
      const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
      if (process && TerminateProcess(process, 1)) WaitForSingleObject(process, 15000);
      if (process) CloseHandle(process);
    }
    RemoveProgramSettings();
    ASSERT_NO_FATAL_FAILURE(SetLogPixels(96));
    for (const auto& [key, name] : {kSysInfoPath, kSysInfoFolder})
      SetString(key, name.c_str(), std::nullopt, HKEY_LOCAL_MACHINE);
    DeleteFileA(Environment("KEYHUSH_E2E_LOG").c_str());
    ASSERT_TRUE(ReadStarted().empty());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
  void TearDown() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (HasFailure())
      Photograph(nullptr, std::string("failed-") + test->test_suite_name() + "." + test->name());
    keyhush.Terminate();
  }
  Keyhush keyhush;
};

}  // namespace e2e
