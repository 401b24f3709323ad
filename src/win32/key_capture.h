#pragma once

#include <windows.h>

namespace keyhush::win32 {

// Sent to a form window that captures keys: wParam is the virtual-key code, Shift, Ctrl and Alt
// told left from right, lParam 1 for a key going up and 0 for one going down.
inline constexpr UINT kCapturedKeyMessage = WM_APP + 1;

// Takes every key pressed while `window` is in front, through a low-level keyboard hook, before
// Windows' own shortcuts and other programs' hot keys act on it, and sends it to the window. Only
// one window at a time, and only while it is the active window: keys typed in other programs
// never pass through this one. A key that was down when the capture began goes up where it went
// down; the keys the window was told went down are told to go up when the capture ends.
void StartKeyCapture(HWND window);
void StopKeyCapture(HWND window);

// Sends a key message (WM_KEYDOWN and the like) that reached the window on to it as a captured
// key: the keys the hook did not take, or every key once Windows has dropped the hook.
void CaptureKeyMessage(HWND window, const MSG& message);

}  // namespace keyhush::win32
