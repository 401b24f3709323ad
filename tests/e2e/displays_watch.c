/* Loaded into keyhush.exe by the end-to-end driver's hook: writes one line, beside the stand-ins'
   log, for each request a window of the program receives to turn the displays off (Wine's own
   window procedure ignores them). */
#include <windows.h>

__declspec(dllexport) LRESULT CALLBACK WatchDisplays(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT* sent = (const CWPSTRUCT*)lParam;
  char path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("KEYHUSH_E2E_LOG", path, MAX_PATH - 10);
  if (code == HC_ACTION && sent->message == WM_SYSCOMMAND &&
      (sent->wParam & 0xFFF0) == SC_MONITORPOWER && length && length < MAX_PATH - 10) {
    lstrcatA(path, ".displays");
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    NULL, OPEN_ALWAYS, 0, NULL);
    char line[16];
    DWORD written = 0;
    WriteFile(file, line, (DWORD)wsprintfA(line, "%d\r\n", (int)sent->lParam), &written, NULL);
    CloseHandle(file);
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}
