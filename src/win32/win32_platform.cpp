#include "win32/win32_platform.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "app_info.h"
#include "runtime/error.h"
#include "win32/error_report.h"
#include "win32/texts.h"
#include "win32/wide_text.h"

namespace keyhush::win32 {

namespace {

// The one procedure the program installs with SetWindowLongA, and the address Windows calls.
WindowProcedure* installedProcedure = nullptr;

LRESULT CALLBACK InstalledProcedureThunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  RunGuarded([&] {
    if (installedProcedure) {
      result = installedProcedure->Call(ToHandle(window), message, wParam, lParam);
    } else {
      result = ::DefWindowProcA(window, message, wParam, lParam);
    }
  });
  return result;
}

// Settings larger than this are not the program's: they read as empty.
constexpr DWORD kLargestSetting = 1 << 20;

std::string SettingsKeyPath(const std::string& application, const std::string& section) {
  return "Software\\" + application + "\\" + section;
}

// The settings key of `application` and `section`, made first when `create` asks; none when it
// cannot be had.
UniqueKey OpenSettingsKey(const std::string& application, const std::string& section, REGSAM access,
                          bool create) {
  const std::string path = SettingsKeyPath(application, section);
  HKEY key = nullptr;
  const LONG result = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                                 access, nullptr, &key, nullptr)
                             : ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key);
  return UniqueKey(result == ERROR_SUCCESS ? key : nullptr);
}

// The run-time error that stands for a failed process start.
int32_t StartErrorNumber(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return kErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_PATHNAME:
      return 76;  // Path not found
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return 70;  // Permission denied
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return kErrOutOfMemory;
    default:
      return 5;  // Invalid procedure call or argument: not a program that can be started
  }
}

// The registry types whose data the narrow calls convert as text.
bool IsTextType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// The running executable's path through GetModuleFileNameW or GetModuleFileNameA.
template <typename Char>
std::basic_string<Char> ModuleFileName(DWORD(WINAPI* get)(HMODULE, Char*, DWORD)) {
  std::basic_string<Char> path(MAX_PATH, Char{});
  for (;;) {
    const DWORD length = get(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// The system folder through GetSystemDirectoryW or GetSystemDirectoryA; empty on failure.
template <typename Char>
std::basic_string<Char> SystemDirectory(UINT(WINAPI* get)(Char*, UINT)) {
  std::basic_string<Char> path(MAX_PATH, Char{});
  UINT length = get(path.data(), static_cast<UINT>(path.size()));
  if (length >= path.size()) {
    // Too small: the answer is the size needed, NUL included.
    path.resize(length);
    length = get(path.data(), static_cast<UINT>(path.size()));
    if (length >= path.size()) return {};
  }
  path.resize(length);
  return path;
}

}  // namespace

std::string ModulePath() {
  // A name that is no valid UTF-16 (an unpaired surrogate) is taken as the narrow call gives it.
  if (auto path = Utf8FromWide(ModuleFileName(::GetModuleFileNameW))) return *path;
  return ModuleFileName(::GetModuleFileNameA);
}

bool Win32Platform::RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) {
  if (::RegisterHotKey(FromHandle<HWND>(window), id, modifiers, key)) return true;
  // Windows Vista and earlier know no MOD_NOREPEAT: there a held key repeats its hot key.
  if (!(modifiers & MOD_NOREPEAT) || ::GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED)
    return false;
  return ::RegisterHotKey(FromHandle<HWND>(window), id, modifiers & ~MOD_NOREPEAT, key) != FALSE;
}

bool Win32Platform::RegisterSessionNotification(Handle window) {
  // Loaded when first wanted, from the system folder: a start that never turns the displays off
  // never loads the library.
  using Register = BOOL(WINAPI*)(HWND, DWORD);
  constexpr DWORD kThisSession = 0;  // NOTIFY_FOR_THIS_SESSION
  const std::string system = GetSystemDirectoryA();
  const HMODULE library =
      system.empty() ? nullptr : ::LoadLibraryA((system + "\\wtsapi32.dll").c_str());
  const FARPROC found =
      library ? ::GetProcAddress(library, "WTSRegisterSessionNotification") : nullptr;
  if (!found) return false;
  const auto registerNotification = reinterpret_cast<Register>(reinterpret_cast<void*>(found));
  return registerNotification(FromHandle<HWND>(window), kThisSession) != FALSE;
}

uint32_t Win32Platform::GetTickCount() {
  return ::GetTickCount();
}

bool Win32Platform::KeyIsDown(int32_t virtualKey) {
  return ::GetAsyncKeyState(virtualKey) < 0;
}

bool Win32Platform::SetTimer(Handle window, uintptr_t id, uint32_t milliseconds) {
  return ::SetTimer(FromHandle<HWND>(window), id, milliseconds, nullptr) != 0;
}

void Win32Platform::KillTimer(Handle window, uintptr_t id) {
  ::KillTimer(FromHandle<HWND>(window), id);
}

intptr_t Win32Platform::SendMessageA(Handle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
  return ::SendMessageA(FromHandle<HWND>(window), message, wParam, lParam);
}

bool Win32Platform::UnregisterHotKey(Handle window, int32_t id) {
  return ::UnregisterHotKey(FromHandle<HWND>(window), id) != FALSE;
}

ProcAddress Win32Platform::SetWindowLongA(Handle window, int32_t index, ProcAddress procedure) {
  // An empty procedure would leave the window without one: refuse it.
  if (procedure == 0) return 0;
  // SetWindowLongPtrA is SetWindowLongA in the 32-bit program; in the 64-bit one only it holds a
  // whole address.
  return static_cast<ProcAddress>(static_cast<ULONG_PTR>(
      ::SetWindowLongPtrA(FromHandle<HWND>(window), index, static_cast<LONG_PTR>(procedure))));
}

intptr_t Win32Platform::CallWindowProcA(ProcAddress procedure, Handle window, uint32_t message,
                                        uintptr_t wParam, intptr_t lParam) {
  const HWND hwnd = FromHandle<HWND>(window);
  if (procedure == 0) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return ::CallWindowProcA(reinterpret_cast<WNDPROC>(procedure), hwnd, message, wParam, lParam);
}

ProcAddress Win32Platform::AddressOf(WindowProcedure& procedure) {
  installedProcedure = &procedure;
  return reinterpret_cast<ProcAddress>(&InstalledProcedureThunk);
}

int32_t Win32Platform::SHGetFolderPathA(Handle owner, int32_t folder, Handle token, uint32_t flags,
                                        char* buffer) {
  wchar_t wide[MAX_PATH] = {};
  const HRESULT result =
      ::SHGetFolderPathW(FromHandle<HWND>(owner), folder, FromHandle<HANDLE>(token), flags, wide);
  if (FAILED(result)) return result;
  const auto path = Utf8FromWide(wide);
  if (!path) {
    return ::SHGetFolderPathA(FromHandle<HWND>(owner), folder, FromHandle<HANDLE>(token), flags,
                              buffer);
  }
  // UTF-8 may take more bytes than the path has characters: a path that does not fit fails.
  if (path->size() >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(buffer, path->c_str(), path->size() + 1);
  return result;
}

std::string Win32Platform::GetSystemDirectoryA() {
  if (auto path = Utf8FromWide(SystemDirectory(::GetSystemDirectoryW))) return *path;
  return SystemDirectory(::GetSystemDirectoryA);
}

bool Win32Platform::Shell_NotifyIconA(uint32_t message, const NotifyIconRecord& record) {
  NOTIFYICONDATAA data{};
  static_assert(sizeof(data) >= sizeof(record));
#ifdef _WIN64
  // The record is the 32-bit layout; the 64-bit shell takes its own, with wider handles and
  // padding, so the fields move over one by one into the original-size record.
  const auto field = [&](size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, record.data() + offset, sizeof(value));
    return value;
  };
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = FromHandle<HWND>(field(4));
  data.uID = field(8);
  data.uFlags = field(12);
  data.uCallbackMessage = field(16);
  data.hIcon = FromHandle<HICON>(field(20));
  static_assert(sizeof(data.szTip) >= 64);
  std::memcpy(data.szTip, record.data() + 24, 64);
#else
  // The record is the platform's own: it carries its size (88), and the shell reads that much.
  std::memcpy(&data, record.data(), record.size());
#endif
  return ::Shell_NotifyIconA(message, &data) != FALSE;
}

Handle Win32Platform::FindWindowA(const char* className, const char* windowName) {
  return ToHandle(::FindWindowA(className, windowName));
}

Handle Win32Platform::FindWindowExA(Handle parent, Handle childAfter, const char* className,
                                    const char* windowName) {
  return ToHandle(::FindWindowExA(FromHandle<HWND>(parent), FromHandle<HWND>(childAfter), className,
                                  windowName));
}

bool Win32Platform::GetWindowRect(Handle window, Rect& rect) {
  RECT r{};
  if (!::GetWindowRect(FromHandle<HWND>(window), &r)) return false;
  rect = {r.left, r.top, r.right, r.bottom};
  return true;
}

bool Win32Platform::DrawAnimatedRects(Handle window, int32_t animation, const Rect& from,
                                      const Rect& to) {
  const RECT a{from.left, from.top, from.right, from.bottom};
  const RECT b{to.left, to.top, to.right, to.bottom};
  return ::DrawAnimatedRects(FromHandle<HWND>(window), animation, &a, &b) != FALSE;
}

int32_t Win32Platform::RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) {
  HKEY opened = nullptr;
  const auto wide = WideFromUtf8(subKey);
  const LONG result = wide ? ::RegCreateKeyW(FromHandle<HKEY>(root), wide->c_str(), &opened)
                           : ::RegCreateKeyA(FromHandle<HKEY>(root), subKey.c_str(), &opened);
  key = result == ERROR_SUCCESS ? ToHandle(opened) : 0;
  return result;
}

int32_t Win32Platform::RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options,
                                     uint32_t access, Handle& key) {
  HKEY opened = nullptr;
  const auto wide = WideFromUtf8(subKey);
  const LONG result =
      wide ? ::RegOpenKeyExW(FromHandle<HKEY>(root), wide->c_str(), options, access, &opened)
           : ::RegOpenKeyExA(FromHandle<HKEY>(root), subKey.c_str(), options, access, &opened);
  key = result == ERROR_SUCCESS ? ToHandle(opened) : 0;
  return result;
}

int32_t Win32Platform::RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                                      const std::vector<uint8_t>& data) {
  // Text, its NULs included, is stored as the same characters in UTF-16; numbers and binary data,
  // and bytes that are no UTF-8, go through the narrow call unchanged.
  const auto wideName = WideFromUtf8(name);
  if (wideName && IsTextType(type)) {
    if (const auto text = WideFromUtf8(
            std::string_view(reinterpret_cast<const char*>(data.data()), data.size()))) {
      return ::RegSetValueExW(FromHandle<HKEY>(key), wideName->c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(text->data()),
                              static_cast<DWORD>(text->size() * sizeof(wchar_t)));
    }
  }
  return ::RegSetValueExA(FromHandle<HKEY>(key), name.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
}

int32_t Win32Platform::RegQueryValueExA(Handle key, const std::string& name, uint32_t& type,
                                        uint8_t* buffer, uint32_t& size) {
  const auto narrowCall = [&] {
    DWORD valueType = 0;
    DWORD length = size;
    const LONG result = ::RegQueryValueExA(FromHandle<HKEY>(key), name.c_str(), nullptr, &valueType,
                                           buffer, &length);
    type = valueType;
    size = length;
    return result;
  };
  const auto wideName = WideFromUtf8(name);
  if (!wideName || !buffer || size == 0) return narrowCall();
  // Each UTF-16 unit becomes at least one byte of UTF-8: text of more units than the buffer has
  // bytes cannot fit, so no more is read.
  std::wstring text(size, L'\0');
  DWORD valueType = 0;
  DWORD length = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  const LONG result = ::RegQueryValueExW(FromHandle<HKEY>(key), wideName->c_str(), nullptr,
                                         &valueType, reinterpret_cast<BYTE*>(text.data()), &length);
  // Numbers, binary data and failures are the narrow call's, byte for byte.
  if ((result != ERROR_SUCCESS && result != ERROR_MORE_DATA) || !IsTextType(valueType)) {
    return narrowCall();
  }
  if (result == ERROR_MORE_DATA) {
    type = valueType;
    size = length / sizeof(wchar_t);  // at least this many bytes
    return ERROR_MORE_DATA;
  }
  // Text that is no valid UTF-16 (an odd length, an unpaired surrogate) reads as it always has.
  if (length % sizeof(wchar_t) != 0) return narrowCall();
  const auto utf8 = Utf8FromWide(std::wstring_view(text.data(), length / sizeof(wchar_t)));
  if (!utf8) return narrowCall();
  type = valueType;
  if (utf8->size() > size) {
    size = static_cast<uint32_t>(utf8->size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, utf8->data(), utf8->size());
  size = static_cast<uint32_t>(utf8->size());
  return ERROR_SUCCESS;
}

int32_t Win32Platform::RegDeleteValueA(Handle key, const std::string& name) {
  const auto wide = WideFromUtf8(name);
  return wide ? ::RegDeleteValueW(FromHandle<HKEY>(key), wide->c_str())
              : ::RegDeleteValueA(FromHandle<HKEY>(key), name.c_str());
}

int32_t Win32Platform::RegCloseKey(Handle key) {
  return ::RegCloseKey(FromHandle<HKEY>(key));
}

intptr_t Win32Platform::ShellExecuteA(Handle owner, const std::string& operation,
                                      const std::string& file, const std::string& parameters,
                                      const std::string& directory, int32_t showCommand) {
  const auto wideOperation = WideFromUtf8(operation), wideFile = WideFromUtf8(file),
             wideParameters = WideFromUtf8(parameters), wideDirectory = WideFromUtf8(directory);
  if (wideOperation && wideFile && wideParameters && wideDirectory) {
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteW(FromHandle<HWND>(owner), wideOperation->c_str(), wideFile->c_str(),
                        wideParameters->c_str(), wideDirectory->c_str(), showCommand));
  }
  return reinterpret_cast<intptr_t>(::ShellExecuteA(FromHandle<HWND>(owner), operation.c_str(),
                                                    file.c_str(), parameters.c_str(),
                                                    directory.c_str(), showCommand));
}

HWND Win32Platform::ClipboardOwner() {
  if (!clipboardOwner_) {
    clipboardOwner_.reset(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            ::GetModuleHandleA(nullptr), nullptr));
  }
  return clipboardOwner_.get();
}

bool Win32Platform::SetClipboardText(const std::string& text) {
  // Another program may hold the clipboard open for a moment: try a few times, briefly.
  constexpr int kTries = 5;
  constexpr DWORD kPauseMs = 20;
  const HWND owner = ClipboardOwner();
  bool opened = false;
  for (int attempt = 0; attempt < kTries && !opened; ++attempt) {
    if (attempt > 0) ::Sleep(kPauseMs);
    opened = ::OpenClipboard(owner) != FALSE;
  }
  if (!opened) return false;

  // The text up to its first NUL, as UTF-16 (Windows offers it in the narrow form as well), or
  // as the bytes it is when it is no UTF-8.
  const std::string_view narrow = text.c_str();
  const auto wide = WideFromUtf8(narrow);
  const UINT format = wide ? CF_UNICODETEXT : CF_TEXT;
  const void* source = wide ? static_cast<const void*>(wide->c_str()) : narrow.data();
  const size_t size = wide ? (wide->size() + 1) * sizeof(wchar_t) : narrow.size() + 1;
  bool placed = false;
  if (::EmptyClipboard()) {
    if (HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size)) {
      if (void* bytes = ::GlobalLock(memory)) {
        std::memcpy(bytes, source, size);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(format, memory) != nullptr;
      }
      // Once placed, the clipboard owns the memory.
      if (!placed) ::GlobalFree(memory);
    }
  }
  ::CloseClipboard();
  return placed;
}

std::string Win32Platform::Text(int id) {
  return win32::Text(id);
}

void Win32Platform::MsgBox(const std::string& text, MessageKind kind) {
  const UINT flags = MB_OK | MB_SETFOREGROUND | (kind == MessageKind::Error ? MB_ICONERROR : 0);
  if (const auto wide = WideFromUtf8(text)) {
    ::MessageBoxW(nullptr, wide->c_str(), WideFromUtf8(app_info::kTitle).value_or(L"").c_str(),
                  flags);
  } else {
    ::MessageBoxA(nullptr, text.c_str(), app_info::kTitle, flags);
  }
}

uint32_t Win32Platform::StartProgram(const std::string& program, const std::string& arguments,
                                     int32_t windowStyle) {
  // A full path only, from a drive's root or a server's share: a relative one, or one from the
  // current drive's root (as a system folder not found would give), starts whatever stands there.
  const bool fullPath =
      (program.size() >= 3 && std::isalpha(static_cast<unsigned char>(program[0])) &&
       program[1] == ':' && program[2] == '\\') ||
      program.starts_with("\\\\");
  if (!fullPath || program.find('"') != std::string::npos) throw RuntimeError(kErrFileNotFound);
  // The program is named on its own, so Windows never searches for it; the command line quotes
  // it so the started program sees its own path as one argument.
  std::string commandLine = "\"" + program + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;

  const auto startupInfo = [windowStyle](auto info) {
    info.cb = sizeof(info);
    info.dwFlags = STARTF_USESHOWWINDOW;
    info.wShowWindow = static_cast<WORD>(windowStyle);
    return info;
  };
  PROCESS_INFORMATION process{};
  const auto wideProgram = WideFromUtf8(program);
  auto wideCommandLine = WideFromUtf8(commandLine);
  BOOL started = FALSE;
  if (wideProgram && wideCommandLine) {
    STARTUPINFOW startup = startupInfo(STARTUPINFOW{});
    started = ::CreateProcessW(wideProgram->c_str(), wideCommandLine->data(), nullptr, nullptr,
                               FALSE, 0, nullptr, nullptr, &startup, &process);
  } else {
    STARTUPINFOA startup = startupInfo(STARTUPINFOA{});
    started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process);
  }
  if (!started) throw RuntimeError(StartErrorNumber(::GetLastError()));
  UniqueKernelHandle processHandle(process.hProcess);
  UniqueKernelHandle threadHandle(process.hThread);
  return process.dwProcessId;
}

bool Win32Platform::FileExists(const std::string& path) {
  const auto wide = WideFromUtf8(path);
  const DWORD attributes =
      wide ? ::GetFileAttributesW(wide->c_str()) : ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string Win32Platform::ExeFolder() {
  const std::string path = ModulePath();
  const size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) return {};
  // A drive's root keeps its backslash ("C:\"), every other folder loses it.
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string Win32Platform::ExeBaseName() {
  const std::string path = ModulePath();
  const size_t slash = path.find_last_of('\\');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

// The settings hold the program's plain-ASCII names and the key letter, whose code in the ANSI
// code page is the key code: they stay in the ANSI code page, through the narrow calls.
std::string Win32Platform::ReadSetting(const std::string& application, const std::string& section,
                                       const std::string& key) {
  const UniqueKey settingsKey = OpenSettingsKey(application, section, KEY_QUERY_VALUE, false);
  if (!settingsKey) return {};
  // The value may change between the size query and the read: a few attempts, then give up.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(settingsKey.get(), key.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ || size > kLargestSetting) {
      return {};
    }
    std::string value(size + 1, '\0');
    const LONG result = ::RegQueryValueExA(settingsKey.get(), key.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(value.data()), &size);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || type != REG_SZ) return {};
    // Stored with or without its closing NUL: the text ends at the first NUL either way.
    value.resize(std::min<size_t>(size, value.size()));
    value.resize(std::strlen(value.c_str()));
    return value;
  }
  return {};
}

void Win32Platform::WriteSetting(const std::string& application, const std::string& section,
                                 const std::string& key, const std::string& value) {
  if (const UniqueKey settingsKey = OpenSettingsKey(application, section, KEY_SET_VALUE, true)) {
    ::RegSetValueExA(settingsKey.get(), key.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
  }
}

void Win32Platform::DeleteSetting(const std::string& application, const std::string& section,
                                  const std::string& key) {
  if (const UniqueKey settingsKey = OpenSettingsKey(application, section, KEY_SET_VALUE, false))
    ::RegDeleteValueA(settingsKey.get(), key.c_str());
}

int32_t Win32Platform::TwipsPerPixelX() {
  int dpi = 0;
  if (HDC screen = ::GetDC(nullptr)) {
    dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
  }
  if (dpi <= 0) dpi = USER_DEFAULT_SCREEN_DPI;
  return 1440 / dpi;
}

void Win32Platform::End() {
  ::ExitProcess(0);
}

}  // namespace keyhush::win32
