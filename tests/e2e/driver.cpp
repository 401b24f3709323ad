#include "driver.h"

#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>

namespace e2e {

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

std::string Environment(const char* name) {
  wchar_t buffer[32768];
  const DWORD length = GetEnvironmentVariableW(Wide(name).c_str(), buffer, std::size(buffer));
  std::string value = Utf8(std::wstring(buffer, length < std::size(buffer) ? length : 0));
  if (value.starts_with('/')) {
    std::replace(value.begin(), value.end(), '/', '\\');
    value = "Z:" + value;
  }
  return value;
}

std::string KeyhushExe() {
  return Environment("KEYHUSH_EXE");
}

std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_SYSTEM, nullptr, SHGFP_TYPE_DEFAULT, buffer);
  return buffer;
}

// Process control.

void Keyhush::Start() {
  ASSERT_EQ(process_.hProcess, nullptr) << "keyhush.exe is already running";
  const std::string exe = KeyhushExe();
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  std::wstring commandLine = Wide("\"" + exe + "\"");
  STARTUPINFOW startup{sizeof startup};
  ASSERT_TRUE(CreateProcessW(Wide(exe).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, Wide(folder).c_str(), &startup, &process_))
      << "cannot start " << exe << ", error " << GetLastError();
  ASSERT_EQ(WaitForInputIdle(process_.hProcess, kPatience.count()), 0u) << "never waited for input";
  ASSERT_TRUE(WaitUntil([&] { return FindProgramWindow(Id(), kSettingsWindow) != nullptr; }))
      << "the settings window was never made";
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
  PROCESSENTRY32 entry{sizeof entry};
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "keyhush.exe") != 0) continue;
    if (const HANDLE process =
            OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 1);
      WaitForSingleObject(process, kPatience.count());
      CloseHandle(process);
    }
  }
  CloseHandle(snapshot);
}

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// The process's top-level windows, or those with this caption (read without a message, so that
// a busy program does not hold up the search).
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

std::vector<HWND> ShownWindows(DWORD processId, const std::string& caption) {
  std::vector<HWND> shown = WindowsOf(processId, &caption);
  std::erase_if(shown, [](HWND window) { return !IsWindowVisible(window); });
  return shown;
}

HWND ShownWindow(DWORD processId, const std::string& caption) {
  EXPECT_TRUE(WaitUntil([&] { return !ShownWindows(processId, caption).empty(); }))
      << "no \"" << caption << "\" shown";
  const std::vector<HWND> shown = ShownWindows(processId, caption);
  EXPECT_LE(shown.size(), 1u) << "\"" << caption << "\" shown twice";
  return shown.empty() ? nullptr : shown.front();
}

bool Answers(const std::vector<HWND>& windows) {
  return std::all_of(windows.begin(), windows.end(), [](HWND window) {
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr) != 0;
  });
}

bool TakesInput(HWND window) {
  return WaitUntil([&] { return GetForegroundWindow() == window; }) && Answers({window});
}

bool IsShown(HWND window) {
  return window && IsWindow(window) && IsWindowVisible(window);
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
  for (HWND child = parent ? GetWindow(parent, GW_CHILD) : nullptr; child;
       child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

HWND ChildStartingWith(HWND parent, const std::string& text) {
  for (HWND child : Children(parent))
    if (TextOf(child).starts_with(text)) return child;
  return nullptr;
}

void ClickChild(HWND parent, const std::string& text) {
  const HWND control = ChildStartingWith(parent, text);
  ASSERT_NE(control, nullptr) << "no \"" << text << "\" in \"" << TextOf(parent) << "\"";
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(control)));
}

// Notification area.

std::vector<HWND> TrayIcons() {
  const HWND tray = FindWindowA(nullptr, "Wine System Tray");
  std::vector<HWND> icons = IsShown(tray) ? Children(tray) : std::vector<HWND>{};
  std::erase_if(icons, [](HWND icon) { return !IsWindowVisible(icon); });
  return icons;
}

namespace {
// Where the pointer waits: a corner where no window of the program appears, since a window shown
// under the pointer reports the pointer's place and Wine may move the pointer back there.
POINT ParkedPointer() {
  return {GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
}
}  // namespace

void SweepAwayIconsOfEndedPrograms() {
  ASSERT_TRUE(WaitUntil([] {
    for (HWND icon : TrayIcons()) MoveMouseTo(CentreOf(icon)), MoveMouseTo(ParkedPointer());
    return TrayIcons().empty();
  })) << TrayIcons().size()
      << " icons stay in the tray with no program running";
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
  // The menu's window answers once the menu's own loop runs; from then on it takes the input.
  SendMessageTimeoutA(FindWindowA("#32768", nullptr), WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
}

void ChooseFromTrayMenu(WORD accessKey) {
  ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
  ASSERT_NO_FATAL_FAILURE(TapKey(accessKey));
  ASSERT_TRUE(WaitUntil([] { return !MenuShown(); })) << "the menu stayed open";
}

SettingsWindow::SettingsWindow(HWND window) : form(window) {
  for (HWND child : Children(form)) {
    const std::string kind = ClassOf(child), text = TextOf(child);
    HWND* const found = kind == "ComboBox"                                  ? &combo
                        : text == "O&K"                                     ? &ok
                        : text == "&Cancel"                                 ? &cancel
                        : text == "E&xit"                                   ? &exit
                        : text == "&About"                                  ? &about
                        : text == "Automatically load with windows startup" ? &check
                        : kind != "Static"                                  ? nullptr
                        : text.find("Hot Key") == std::string::npos && !text.starts_with("Lock")
                            ? &hotKey
                            : nullptr;
    if (found) *found = child;
  }
}

SettingsWindow OpenSettings(DWORD processId) {
  ChooseFromTrayMenu('S');
  const HWND window = ShownWindow(processId, kSettingsWindow);
  // Input goes where the user would aim it only once the window has come to the front.
  EXPECT_TRUE(window && TakesInput(window)) << "the settings window did not come to the front";
  SettingsWindow settings(window);
  EXPECT_TRUE(settings.Complete()) << "a control of the settings window is missing";
  return settings;
}

// Keyboard and mouse.

namespace {

INPUT Key(WORD virtualKey, bool up) {
  INPUT input{INPUT_KEYBOARD};
  input.ki = {virtualKey, static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)),
              up ? KEYEVENTF_KEYUP : 0u};
  return input;
}

INPUT Mouse(DWORD flags, POINT at = {}) {
  INPUT input{INPUT_MOUSE};
  // Absolute positions run from 0 to 65535 across the primary screen.
  input.mi = {MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1),
              MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1), 0, flags};
  return input;
}

}  // namespace

void SendInputs(const std::vector<INPUT>& inputs) {
  std::vector<INPUT> copy = inputs;  // SendInput takes a non-const array
  ASSERT_EQ(SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT)), copy.size())
      << "SendInput, error " << GetLastError();
}

void PressHotKey(UINT modifiers, UINT key) {
  std::vector<INPUT> inputs;
  for (auto [flag, virtualKey] : {std::pair{MOD_WIN, VK_LWIN},
                                  {MOD_CONTROL, VK_CONTROL},
                                  {MOD_ALT, VK_MENU},
                                  {MOD_SHIFT, VK_SHIFT}}) {
    if (modifiers & flag) {
      inputs.insert(inputs.begin(), Key(static_cast<WORD>(virtualKey), false));
      inputs.push_back(Key(static_cast<WORD>(virtualKey), true));
    }
  }
  const auto middle = inputs.begin() + static_cast<long>(inputs.size() / 2);
  inputs.insert(middle, {Key(static_cast<WORD>(key), false), Key(static_cast<WORD>(key), true)});
  SendInputs(inputs);
}

void TapKey(WORD virtualKey) {
  SendInputs({Key(virtualKey, false), Key(virtualKey, true)});
}

void MoveMouseTo(POINT at) {
  SendInputs({Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, at)});
}

void ClickAt(POINT at, bool rightButton) {
  MoveMouseTo(at);
  // The button goes down only once the pointer is there (see ParkedPointer).
  ASSERT_TRUE(WaitUntil(
      [&] {
        POINT now{};
        return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
      },
      3s))
      << "the pointer did not reach " << at.x << "," << at.y;
  SendInputs({Mouse(rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
              Mouse(rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

POINT CentreOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool HotKeyIsFree(UINT modifiers, UINT key) {
  if (!RegisterHotKey(nullptr, 0xB000, modifiers, key)) return false;
  UnregisterHotKey(nullptr, 0xB000);
  return true;
}

// Registry.

std::optional<std::string> ReadString(const std::string& subKey, const std::string& name) {
  char buffer[4096];
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS)
    return std::nullopt;
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
  RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, subKey.c_str(), name.c_str());
}

void RemoveProgramSettings() {
  for (const char* tree : {"Software\\Key hush", "Software\\Keyhush"}) {
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, tree);
    ASSERT_TRUE(result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND) << tree;
  }
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey.c_str(), "Keyhush");
}

// The stand-ins' log.

void InstallStandIn(const std::string& path) {
  char driver[MAX_PATH];
  std::string standIn(driver, GetModuleFileNameA(nullptr, driver, sizeof driver));
  standIn = standIn.substr(0, standIn.find_last_of('\\') + 1) + "standin.exe";
  SHCreateDirectoryExA(nullptr, path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(standIn.c_str(), path.c_str(), FALSE))
      << standIn << " to " << path << ", error " << GetLastError();
}

std::vector<Started> ReadStarted() {
  std::vector<Started> starts;
  std::ifstream log(Environment("KEYHUSH_E2E_LOG"), std::ios::binary);
  for (std::string line; std::getline(log, line);) {
    if (line.ends_with('\r')) line.pop_back();
    const size_t first = line.find('\t'), last = line.rfind('\t');
    if (first == std::string::npos || first == last) continue;  // still being written
    starts.push_back(
        {line.substr(0, first), line.substr(first + 1, last - first - 1), line.substr(last + 1)});
  }
  return starts;
}

void ClearStarted() {
  const std::string path = Environment("KEYHUSH_E2E_LOG");
  ASSERT_TRUE(DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
              GetLastError() == ERROR_PATH_NOT_FOUND)
      << path << ", error " << GetLastError();
}

std::vector<Started> WaitForStarted(size_t count) {
  std::vector<Started> starts;
  WaitUntil([&] { return (starts = ReadStarted()).size() >= count; });
  return starts;
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
  const HANDLE data = GetClipboardData(CF_TEXT);
  if (const auto* chars = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
    text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboardPatiently());
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::copy_n(text.c_str(), text.size() + 1, static_cast<char*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

ClipboardHeldOpen::ClipboardHeldOpen() : held(OpenClipboardPatiently()) {}

ClipboardHeldOpen::~ClipboardHeldOpen() {
  if (held) CloseClipboard();
}

// Footprint.

namespace {

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  EnumChildWindows(window, CountWindow, count);
  return TRUE;
}

// The process's entries in the system's handle table (SystemExtendedHandleInformation).
long HandleCount(DWORD processId) {
  struct Entry {
    ULONG_PTR object, processId, handle;
    ULONG access;
    USHORT creatorBackTraceIndex, objectTypeIndex;
    ULONG attributes, reserved;
  };
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<ULONG_PTR> table(1 << 14);
  while (query(64, table.data(), static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)), nullptr) ==
         static_cast<LONG>(0xC0000004))  // STATUS_INFO_LENGTH_MISMATCH
    table.resize(table.size() * 2);
  const auto* entries = reinterpret_cast<const Entry*>(table.data() + 2);
  return static_cast<long>(std::count_if(entries, entries + table[0], [&](const Entry& entry) {
    return entry.processId == processId;
  }));
}

}  // namespace

Footprint FootprintOf(DWORD processId) {
  Footprint footprint{HandleCount(processId)};
  for (HWND window : WindowsOf(processId))
    CountWindow(window, reinterpret_cast<LPARAM>(&footprint.windows));
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  PROCESS_MEMORY_COUNTERS memory{sizeof memory};
  EXPECT_TRUE(GetProcessMemoryInfo(process, &memory, sizeof memory));
  CloseHandle(process);
  footprint.privateBytes = memory.PagefileUsage;
  return footprint;
}

void ExpectFlat(const std::vector<Footprint>& footprints, const std::string& run) {
  ASSERT_GE(footprints.size(), 2u);
  std::string trace = run + ":";
  for (const Footprint& f : footprints)
    trace += " [" + std::to_string(f.handles) + " handles, " + std::to_string(f.windows) +
             " windows, " + std::to_string(f.privateBytes / 1024) + " KiB]";
  std::printf("%s\n", trace.c_str());
  const Footprint &first = footprints.front(), &last = footprints.back();
  EXPECT_GT(first.handles, 0) << trace;
  EXPECT_LE(last.handles, first.handles + 10) << trace;
  EXPECT_EQ(last.windows, first.windows) << trace;
  EXPECT_LE(last.privateBytes, first.privateBytes + 16 * 1024) << trace;
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
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof header;
  const BITMAPFILEHEADER file{0x4D42, offset + header.biSizeImage, 0, 0, offset};  // "BM"
  if (copied)
    std::ofstream(Environment("KEYHUSH_E2E_SCREENS") + "\\" + name + ".bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(&file), sizeof file)
        .write(reinterpret_cast<const char*>(&header), sizeof header)
        .write(static_cast<const char*>(bits), header.biSizeImage);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EXPECT_TRUE(copied) << "screenshot " << name;
}

void Photograph(HWND window, const std::string& name) {
  // The window's own thread paints it before this returns; once it answers again it has handed
  // the picture to the display.
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
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
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  if (HasFailure())
    SaveScreenshot(std::string("failed-") + test->test_suite_name() + "." + test->name());
  keyhush.Terminate();
}

}  // namespace e2e
