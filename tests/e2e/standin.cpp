// Stands in for a program that Key hush starts (the lock command's rundll32.exe, and any other
// program a test installs it as). It records how it was started and exits at once, so a test can
// check the exact path, command line and window style the program asked for.
//
// One line per start, appended to %KEYHUSH_E2E_LOG% or else C:\keyhush-e2e\started.log:
//   <own path> TAB <command line> TAB <wShowWindow, or - when STARTF_USESHOWWINDOW is not set>
#include <windows.h>

#include <string>

namespace {

std::string LogPath() {
  char buffer[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("KEYHUSH_E2E_LOG", buffer, sizeof buffer);
  if (length > 0 && length < sizeof buffer) return std::string(buffer, length);
  return "C:\\keyhush-e2e\\started.log";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  const DWORD pathLength = GetModuleFileNameA(nullptr, path, sizeof path);
  if (pathLength == 0 || pathLength >= sizeof path) return 2;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW)
                               ? std::to_string(startup.wShowWindow)
                               : std::string("-");

  const std::string line =
      std::string(path, pathLength) + "\t" + GetCommandLineA() + "\t" + show + "\r\n";

  const std::string logPath = LogPath();
  const std::string folder = logPath.substr(0, logPath.find_last_of('\\'));
  CreateDirectoryA(folder.c_str(), nullptr);
  // Copies started at once take turns, so that no two appends land at the same place of the log.
  const HANDLE turn = CreateMutexA(nullptr, FALSE, "Local\\keyhush-e2e-started-log");
  if (!turn || WaitForSingleObject(turn, 30000) == WAIT_FAILED) return 1;
  const HANDLE log = CreateFileA(logPath.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const BOOL ok = log != INVALID_HANDLE_VALUE &&
                  WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
  ReleaseMutex(turn);
  CloseHandle(turn);
  // A test that needs a lock command still running keeps this event until it is done.
  if (const HANDLE linger = OpenEventA(SYNCHRONIZE, FALSE, "keyhush-e2e-linger")) {
    WaitForSingleObject(linger, 30000);
    CloseHandle(linger);
  }
  return ok && written == line.size() ? 0 : 1;
}
