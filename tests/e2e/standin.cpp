// Stands in for a program Key hush starts (the lock command's rundll32.exe, and whatever a test
// installs it as): appends "<own path> TAB <command line> TAB <wShowWindow, or ->" CR LF to
// %KEYHUSH_E2E_LOG% and exits; while the event keyhush-e2e-linger exists it lingers first.
#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {}, log[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  GetEnvironmentVariableA("KEYHUSH_E2E_LOG", log, sizeof log);
  STARTUPINFOA startup{sizeof startup};
  GetStartupInfoA(&startup);
  const std::string line =
      std::string(path) + "\t" + GetCommandLineA() + "\t" +
      (startup.dwFlags & STARTF_USESHOWWINDOW ? std::to_string(startup.wShowWindow) : "-") + "\r\n";
  CreateDirectoryA(std::string(log, strrchr(log, '\\')).c_str(), nullptr);
  // Copies started at once take turns, so that no two appends land at the same place.
  const HANDLE turn = CreateMutexA(nullptr, FALSE, "Local\\keyhush-e2e-started-log");
  WaitForSingleObject(turn, 30000);
  const HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  ReleaseMutex(turn);
  if (const HANDLE linger = OpenEventA(SYNCHRONIZE, FALSE, "keyhush-e2e-linger"))
    WaitForSingleObject(linger, 30000);
  return ok ? 0 : 1;
}
