#include "driver.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>

namespace e2e {
namespace {

// A path from the harness (a Unix path under Wine, Z: being the Unix root) as Windows sees it.
std::string WindowsPath(std::string path) {
  if (path.empty() || path.front() != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

}  // namespace

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                      static_cast<int>(utf8.size()), wide.data(),
                                                      static_cast<int>(wide.size()))));
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(static_cast<size_t>(
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                          static_cast<int>(utf8.size()), nullptr, nullptr)));
  return utf8;
}

std::string Environment(const char* name, const std::string& fallback) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(Wide(name).c_str(), buffer, std::size(buffer));
  if (length == 0 || length >= std::size(buffer)) return fallback;
  return Utf8(std::wstring(buffer, length));
}

std::string KeyhushExe() {
  return WindowsPath(Environment("KEYHUSH_EXE", "keyhush.exe"));
}

std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_SYSTEM, nullptr, SHGFP_TYPE_DEFAULT, buffer);
  return buffer;
}

// Process control.

Keyhush::~Keyhush() {
  if (process_.hProcess) Terminate();
}

void Keyhush::Start() {
  ASSERT_EQ(process_.hProcess, nullptr) << "keyhush.exe is already running";
  const std::string exe = KeyhushExe();
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  std::wstring commandLine = Wide("\"" + exe + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ASSERT_TRUE(CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, Wide(folder).c_str(), &startup, &process_))
      << "cannot start " << exe << ", error " << GetLastError();
  const DWORD idle = WaitForInputIdle(process_.hProcess, kPatience.count());
  ASSERT_EQ(idle, 0u) << exe << " never waited for input (" << idle << ", error " << GetLastError()
                      << ")";
  ASSERT_TRUE(WaitUntil([&] { return FindProgramWindow(Id(), "Key hush settings") != nullptr; }))
      << "the settings window never appeared, hidden or shown";
  ASSERT_TRUE(Running()) << exe << " ended by itself";
}

void Keyhush::Terminate() {
  if (!process_.hProcess) return;
  TerminateProcess(process_.hProcess, 1);
  WaitForSingleObject(process_.hProcess, kPatience.count());
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  process_ = {};
}

bool Keyhush::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void TerminateAllKeyhush() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "keyhush.exe") != 0) continue;
    const HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
    if (!process) continue;
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kPatience.count());
    CloseHandle(process);
  }
  CloseHandle(snapshot);
}

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// The process's top-level windows, shown or hidden, all of them or those with this caption (read
// without a message, so that a busy program does not hold up the search).
std::vector<HWND> WindowsOf(DWORD processId, const std::string* caption = nullptr) {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  std::erase_if(windows, [&](HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char text[256] = {};
    if (caption) GetWindowTextA(window, text, sizeof text);
    return owner != processId || (caption && *caption != text);
  });
  return windows;
}

}  // namespace

HWND FindProgramWindow(DWORD processId, const std::string& caption) {
  const std::vector<HWND> windows = WindowsOf(processId, &caption);
  return windows.empty() ? nullptr : windows.front();
}

std::vector<HWND> ShownWindows(DWORD processId) {
  std::vector<HWND> shown = WindowsOf(processId);
  std::erase_if(shown, [](HWND window) { return !IsWindowVisible(window); });
  return shown;
}

std::vector<HWND> ShownWindows(DWORD processId, const std::string& caption) {
  std::vector<HWND> shown = WindowsOf(processId, &caption);
  std::erase_if(shown, [](HWND window) { return !IsWindowVisible(window); });
  return shown;
}

bool Answers(const std::vector<HWND>& windows) {
  return std::all_of(windows.begin(), windows.end(), [](HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
  });
}

bool TakesInput(HWND window) {
  return WaitUntil([&] { return GetForegroundWindow() == window; }) && Answers({window});
}

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  // Bounded, so that a program that stopped answering fails the test instead of hanging it.
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, static_cast<UINT>(kPatience.count()), nullptr);
  char buffer[1024] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  if (!parent) return children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND ChildStartingWith(HWND parent, const std::string& text) {
  for (HWND child : Children(parent)) {
    if (TextOf(child).rfind(text, 0) == 0) return child;
  }
  return nullptr;
}

void ClickChild(HWND parent, const std::string& text) {
  const HWND control = ChildStartingWith(parent, text);
  ASSERT_NE(control, nullptr) << "no \"" << text << "\" in \"" << TextOf(parent) << "\"";
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(control)));
}

// Notification area.

std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = FindWindowA(nullptr, "Wine System Tray");
  if (!tray || !IsWindowVisible(tray)) return icons;
  for (HWND child : Children(tray)) {
    if (IsWindowVisible(child)) icons.push_back(child);
  }
  return icons;
}

namespace {
// Where the pointer waits between tests: a corner where no window of the program appears.
POINT ParkedPointer() {
  return {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
}
}  // namespace

void SweepAwayIconsOfEndedPrograms() {
  const bool swept = WaitUntil([] {
    for (HWND icon : TrayIcons()) {
      MoveMouseTo(CentreOf(icon));
      MoveMouseTo(ParkedPointer());
    }
    return TrayIcons().empty();
  });
  ASSERT_TRUE(swept) << TrayIcons().size() << " icons stay in the tray with no program running";
}

bool MenuShown() {
  return IsShown(FindWindowA("#32768", nullptr));
}

void OpenTrayMenu() {
  ASSERT_TRUE(WaitUntil([] { return TrayIcons().size() == 1; }))
      << TrayIcons().size() << " icons in the tray";
  // Wine now and then drops a click that comes while it raises a window the program has just
  // shown; a user clicks again, and so does the driver, once.
  bool shown = false;
  for (int attempt = 0; attempt < 2 && !shown; ++attempt) {
    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(TrayIcons().front()), true));
    shown = WaitUntil(MenuShown, 5s);
  }
  ASSERT_TRUE(shown) << "no pop-up menu after two right clicks on the icon";
  // The menu shows before it captures the mouse; its window answers only once the menu's own
  // message loop runs, and from then on every click and key goes to it.
  SendMessageTimeoutA(FindWindowA("#32768", nullptr), WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
}

void ChooseFromTrayMenu(WORD accessKey) {
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(accessKey));
  ASSERT_TRUE(WaitUntil([] { return !MenuShown(); })) << "the menu stayed open";
}

// The settings window.

SettingsWindow::SettingsWindow(HWND window) : form(window) {
  for (HWND child : Children(form)) {
    const std::string kind = ClassOf(child);
    const std::string text = TextOf(child);
    if (kind == "ComboBox") combo = child;
    if (kind == "Button" && text == "O&K") ok = child;
    if (kind == "Button" && text == "&Cancel") cancel = child;
    if (kind == "Button" && text == "E&xit") exit = child;
    if (kind == "Button" && text == "&About") about = child;
    if (kind == "Button" && text == "Automatically load with windows startup") check = child;
    if (kind != "Static") continue;
    if (text == "Current Hot Key:") {
      current = child;
    } else if (text == "Select A New Hot Key") {
      select = child;
    } else if (text.rfind("Lock the windows desktop", 0) == 0) {
      description = child;
    } else {
      hotKey = child;
    }
  }
}

bool SettingsWindow::Complete() const {
  for (HWND control :
       {ok, cancel, exit, about, check, combo, description, current, select, hotKey}) {
    if (!control) return false;
  }
  return true;
}

bool SettingsWindow::Ticked() const {
  return SendMessageW(check, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

SettingsWindow OpenSettings(DWORD processId) {
  ChooseFromTrayMenu('S');
  HWND window = nullptr;
  EXPECT_TRUE(WaitUntil([&] {
    window = FindProgramWindow(processId, kSettingsWindow);
    return IsShown(window);
  })) << "\"&Settings\" showed no settings window";
  // Input goes where the user would aim it only once the window has come to the front.
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 3s))
      << "the settings window did not come to the front";
  SettingsWindow settings(IsShown(window) ? window : nullptr);
  EXPECT_TRUE(settings.Complete()) << "a control of the settings window is missing";
  return settings;
}

// Keyboard.

namespace {

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    // Absolute positions run from 0 to 65535 across the primary screen.
    input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  }
  return input;
}

}  // namespace

void SendInputs(const std::vector<INPUT>& inputs) {
  std::vector<INPUT> copy = inputs;  // SendInput takes a non-const array
  ASSERT_EQ(SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT)), copy.size())
      << "SendInput, error " << GetLastError();
}

void PressHotKey(UINT modifiers, UINT key) {
  static constexpr std::pair<UINT, WORD> kModifierKeys[] = {
      {MOD_WIN, VK_LWIN}, {MOD_CONTROL, VK_CONTROL}, {MOD_ALT, VK_MENU}, {MOD_SHIFT, VK_SHIFT}};
  std::vector<INPUT> inputs;
  for (const auto& [flag, virtualKey] : kModifierKeys) {
    if (modifiers & flag) inputs.push_back(Key(virtualKey, false));
  }
  inputs.push_back(Key(static_cast<WORD>(key), false));
  inputs.push_back(Key(static_cast<WORD>(key), true));
  for (auto it = std::rbegin(kModifierKeys); it != std::rend(kModifierKeys); ++it) {
    if (modifiers & it->first) inputs.push_back(Key(it->second, true));
  }
  SendInputs(inputs);
}

void TapKey(WORD virtualKey) {
  SendInputs({Key(virtualKey, false), Key(virtualKey, true)});
}

void MoveMouseTo(POINT at) {
  SendInputs({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at)});
}

void ClickAt(POINT at, bool rightButton) {
  const DWORD down = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  const DWORD up = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  // The buttons go down only once the pointer is there: a window shown under the pointer's old
  // place reports that place, and Wine may move the pointer back to it in between.
  MoveMouseTo(at);
  const bool arrived = WaitUntil(
      [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
      },
      3s);
  ASSERT_TRUE(arrived) << "the pointer did not reach " << at.x << "," << at.y;
  SendInputs({Mouse(down), Mouse(up)});
}

POINT CentreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool IsShown(HWND window) {
  return window && IsWindow(window) && IsWindowVisible(window);
}

bool HotKeyIsFree(UINT modifiers, UINT key) {
  constexpr int kProbe = 0xB000;
  if (!RegisterHotKey(nullptr, kProbe, modifiers, key)) return false;
  UnregisterHotKey(nullptr, kProbe);
  return true;
}

// Registry.

bool KeyExists(const std::string& subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) {
  char buffer[4096];
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

namespace {

void SetString(HKEY root, const std::string& subKey, const std::string& name,
               const std::string& value) {
  ASSERT_EQ(RegSetKeyValueA(root, subKey.c_str(), name.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS)
      << subKey << " " << name;
}

}  // namespace

void WriteString(const std::string& subKey, const std::string& name, const std::string& value) {
  SetString(HKEY_CURRENT_USER, subKey, name, value);
}

void SetMachineString(const std::string& subKey, const std::string& name,
                      const std::string& value) {
  SetString(HKEY_LOCAL_MACHINE, subKey, name, value);
}

void RemoveMachineValue(const std::string& subKey, const std::string& name) {
  const LONG result = RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, subKey.c_str(), name.c_str());
  ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << subKey << " " << name;
}

void RemoveProgramSettings() {
  for (const char* tree : {"Software\\Key hush", "Software\\Keyhush"}) {
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, tree);
    ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND)
        << tree << ": " << result;
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey.c_str(), "Keyhush");
}

// Stand-in log.

namespace {

std::string StartedLogPath() {
  return WindowsPath(Environment("KEYHUSH_E2E_LOG", "C:\\keyhush-e2e\\started.log"));
}

}  // namespace

void InstallStandIn(const std::string& path) {
  char driver[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, driver, sizeof driver);
  ASSERT_TRUE(length > 0 && length < sizeof driver);
  std::string standIn(driver, length);
  standIn = standIn.substr(0, standIn.find_last_of('\\') + 1) + "standin.exe";
  SHCreateDirectoryExA(nullptr, path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(standIn.c_str(), path.c_str(), FALSE))
      << standIn << " to " << path << ", error " << GetLastError();
}

std::vector<Started> ReadStarted() {
  std::vector<Started> starts;
  std::ifstream log(StartedLogPath(), std::ios::binary);
  std::string line;
  while (std::getline(log, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t first = line.find('\t');
    const size_t last = line.rfind('\t');
    if (first == std::string::npos || first == last) continue;  // still being written
    starts.push_back(
        {line.substr(0, first), line.substr(first + 1, last - first - 1), line.substr(last + 1)});
  }
  return starts;
}

void ClearStarted() {
  const std::string path = StartedLogPath();
  ASSERT_TRUE(DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
              GetLastError() == ERROR_PATH_NOT_FOUND)
      << path << ", error " << GetLastError();
}

std::vector<Started> WaitForStarted(size_t count) {
  std::vector<Started> starts;
  WaitUntil([&] {
    starts = ReadStarted();
    return starts.size() >= count;
  });
  return starts;
}

CommandLine SplitCommandLine(const std::string& commandLine) {
  CommandLine split;
  size_t rest = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    split.quoted = true;
    const size_t close = commandLine.find('"', 1);
    split.program = commandLine.substr(1, close == std::string::npos ? close : close - 1);
    rest = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    rest = std::min(commandLine.find_first_of(" \t"), commandLine.size());
    split.program = commandLine.substr(0, rest);
  }
  rest = std::min(commandLine.find_first_not_of(" \t", rest), commandLine.size());
  split.arguments = commandLine.substr(rest);
  return split;
}

// Clipboard.

namespace {

bool OpenClipboardPatiently() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3s);
}

}  // namespace

std::optional<std::string> ClipboardText() {
  if (!OpenClipboardPatiently()) return std::nullopt;
  std::optional<std::string> text;
  if (const HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(GlobalLock(data))) {
      text = chars;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboardPatiently());
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (memory) {
    std::copy_n(text.c_str(), text.size() + 1, static_cast<char*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

ClipboardHeldOpen::ClipboardHeldOpen() : held_(OpenClipboardPatiently()) {}

ClipboardHeldOpen::~ClipboardHeldOpen() {
  if (held_) CloseClipboard();
}

// Screen.

void SaveScreenshot(const std::string& name) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB};
  header.biSizeImage = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);  // rows of 4 bytes
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                          DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied =
      bitmap && BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  SelectObject(memory, old);
  if (copied) {
    const std::string folder =
        WindowsPath(Environment("KEYHUSH_E2E_SCREENS", "C:\\keyhush-e2e\\screens"));
    CreateDirectoryA(folder.c_str(), nullptr);
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
    const BITMAPFILEHEADER file{0x4D42, offset + header.biSizeImage, 0, 0, offset};  // "BM"
    std::ofstream(folder + "\\" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(&file), sizeof file)
        .write(reinterpret_cast<const char*>(&header), sizeof header)
        .write(static_cast<const char*>(bits), header.biSizeImage);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(copied) << "screenshot " << name;
}

void Photograph(HWND window, const std::string& name) {
  // The window's own thread paints it, frame and children, before this returns; once it answers
  // again it has handed the picture to the display.
  RedrawWindow(
      window, nullptr, nullptr,
      RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_UPDATENOW);
  Answers({window});
  SaveScreenshot(name);
}

// Fixture.

void KeyhushTest::SetUp() {
  TerminateAllKeyhush();
  ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
  ASSERT_NO_FATAL_FAILURE(ClearStarted());
  ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
}

void KeyhushTest::TearDown() {
  if (HasFailure()) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    SaveScreenshot(std::string("failed-") + test->test_suite_name() + "." + test->name());
  }
  keyhush.Terminate();
}

}  // namespace e2e
