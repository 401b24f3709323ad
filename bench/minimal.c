/* The least a Win32 program does to offer what keyhush.exe offers: one hidden window, one tray
 * icon with a tip, one system-wide hot key (Win + X), and on a press the system folder onto the
 * clipboard and the lock command started, not waited for. The benchmark sets keyhush.exe's
 * figures against this program's. */
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

enum {
  kHotKeyId = 1,
  kTrayId = 1,
  kTrayMessage = WM_APP + 1,
  kTrayIconResource = 1,
};

static void PutTextOnClipboard(HWND owner, const char* text) {
  if (!OpenClipboard(owner)) return;
  if (EmptyClipboard()) {
    const size_t size = strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (memory) {
      BOOL placed = FALSE;
      void* bytes = GlobalLock(memory);
      if (bytes) {
        memcpy(bytes, text, size);
        GlobalUnlock(memory);
        placed = SetClipboardData(CF_TEXT, memory) != NULL;
      }
      /* Once placed, the clipboard owns the memory. */
      if (!placed) GlobalFree(memory);
    }
  }
  CloseClipboard();
}

static void Lock(HWND window) {
  char folder[MAX_PATH];
  if (FAILED(SHGetFolderPathA(window, CSIDL_SYSTEM, NULL, SHGFP_TYPE_DEFAULT, folder))) return;
  PutTextOnClipboard(window, folder);

  char program[MAX_PATH + 16];
  char commandLine[MAX_PATH + 64];
  if (snprintf(program, sizeof program, "%s\\rundll32.exe", folder) >= (int)sizeof program) return;
  if (snprintf(commandLine, sizeof commandLine, "\"%s\" user32.dll,LockWorkStation", program) >=
      (int)sizeof commandLine) {
    return;
  }
  STARTUPINFOA startup = {.cb = sizeof startup};
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process;
  if (CreateProcessA(program, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

static NOTIFYICONDATAA TrayRecord(HWND window) {
  NOTIFYICONDATAA record = {.cbSize = sizeof record};
  record.hWnd = window;
  record.uID = kTrayId;
  return record;
}

static BOOL AddTrayIcon(HWND window) {
  NOTIFYICONDATAA record = TrayRecord(window);
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayMessage;
  record.hIcon = (HICON)LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(kTrayIconResource),
                                   IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
  lstrcpynA(record.szTip, "minimal", sizeof record.szTip);
  return Shell_NotifyIconA(NIM_ADD, &record);
}

static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_HOTKEY:
      if (wParam == kHotKeyId) Lock(window);
      return 0;
    case WM_DESTROY: {
      NOTIFYICONDATAA record = TrayRecord(window);
      Shell_NotifyIconA(NIM_DELETE, &record);
      UnregisterHotKey(window, kHotKeyId);
      PostQuitMessage(0);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)previous;
  (void)commandLine;
  (void)show;
  const WNDCLASSA windowClass = {
      .lpfnWndProc = WindowProcedure,
      .hInstance = instance,
      .lpszClassName = "minimal",
  };
  if (!RegisterClassA(&windowClass)) return 1;
  /* A hidden top-level window: the tray and the hot key report to it. */
  HWND window =
      CreateWindowExA(0, "minimal", "minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
  if (!window) return 1;
  AddTrayIcon(window);
  RegisterHotKey(window, kHotKeyId, MOD_WIN, 'X');

  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, NULL, 0, 0)) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return got == 0 ? (int)message.wParam : 1;
}
