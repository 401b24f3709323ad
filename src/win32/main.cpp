#include <windows.h>

#include <string>

#include "win32/error_report.h"
#include "win32/form_window.h"
#include "win32/program_host.h"
#include "win32/unique_handle.h"
#include "win32/win32_platform.h"
#include "win32/win32_window_system.h"
#include "win32/window_names.h"

namespace {

using namespace keyhush;
using namespace keyhush::win32;

// Libraries load from the system folder only, never from the folder the program was started in.
// Older systems without the call still have SafeDllSearchMode.
void LoadLibrariesFromSystemFolderOnly() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  const FARPROC found = ::GetProcAddress(kernel, "SetDefaultDllDirectories");
  if (!found) return;
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(found));
  setDefaultDllDirectories(kSearchSystem32);
}

// A second copy tells the first one it was started, then leaves.
void NotifyFirstCopy() {
  const HWND first = ::FindWindowW(kFormClassName, kMainWindowCaption);
  const UINT message = ::RegisterWindowMessageA(kSecondInstanceMessage);
  if (!first || !message) return;
  DWORD process = 0;
  if (::GetWindowThreadProcessId(first, &process) && process) {
    // The first copy may then bring one of its windows to the front.
    ::AllowSetForegroundWindow(process);
  }
  ::PostMessageA(first, message, 0, 0);
}

// "/exit": the copy running in this session ends as its Exit does, and is waited for. Nothing is
// held or shown here; with no copy running there is nothing to do.
int ExitRunningCopy() {
  const HWND first = ::FindWindowW(kFormClassName, kMainWindowCaption);
  const UINT message = ::RegisterWindowMessageA(kExitMessage);
  if (!first) return 0;
  DWORD processId = 0;
  ::GetWindowThreadProcessId(first, &processId);
  const UniqueKernelHandle process(processId ? ::OpenProcess(SYNCHRONIZE, FALSE, processId)
                                             : nullptr);
  if (!message || !::PostMessageA(first, message, 0, 0)) return 1;
  constexpr DWORD kPatience = 10000;
  return !process || ::WaitForSingleObject(process.get(), kPatience) == WAIT_OBJECT_0 ? 0 : 1;
}

// Whether the command line is `option` alone, in any case, with blanks around it.
bool CommandLineIs(const char* commandLine, const char* option) {
  std::string text = commandLine ? commandLine : "";
  text.erase(0, text.find_first_not_of(" \t"));
  text.erase(text.find_last_not_of(" \t") + 1);
  return ::lstrcmpiA(text.c_str(), option) == 0;
}

int RunMessageLoop(const Win32WindowSystem& windows) {
  MSG message{};
  for (;;) {
    // The form windows are Unicode windows: their messages stay UTF-16 all the way.
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;
    // Tab, Shift+Tab, access keys, Enter and Escape work in every form window as in a dialog.
    if (RouteCapturedKey(message)) continue;
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
      const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
      if (windows.IsFormWindow(root) && ::IsDialogMessageW(root, &message)) continue;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  LoadLibrariesFromSystemFolderOnly();
  if (CommandLineIs(commandLine, "/exit")) return ExitRunningCopy();

  // One copy per user session. If the mutex cannot be made at all, run rather than refuse.
  UniqueKernelHandle singleInstance(::CreateMutexA(nullptr, FALSE, "Local\\KeyhushSingleInstance"));
  if (singleInstance && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    NotifyFirstCopy();
    return 0;
  }

  // An installer that closes the program through the Restart Manager starts it again afterwards,
  // as a log-on start (any other command line is one); a crash, a hang or a restart of Windows
  // does not (the log-on entry starts it then).
  constexpr DWORD kOnlyForInstallers = RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT;
  if (FAILED(::RegisterApplicationRestart(L"/restart", kOnlyForInstallers))) {
    // Without it an installer still closes the program; only the restart is lost.
  }

  int exitCode = 1;
  RunGuarded([&] {
    Win32Platform platform;
    Win32WindowSystem windows(instance);
    exitCode = HostProgram(platform, windows, [&] { return RunMessageLoop(windows); });
  });
  return exitCode;
}
