#pragma once

#include <windows.h>

namespace keyhush::win32 {

// Sent to a form window that captures keys: wParam is the virtual-key code, lParam 1 for a key
// going up and 0 for one going down.
inline constexpr UINT kCapturedKeyMessage = WM_APP + 1;

// Takes every key pressed while `window` is in front, through a low-level keyboard hook, before
// Windows' own shortcuts and other programs' hot keys act on it, and sends it to the window. Only
// one window at a time, and only while it is shown: the hook costs nothing the rest of the time.
// A key that was already down when the capture began goes up where it went down.
void StartKeyCapture(HWND window);
void StopKeyCapture(HWND window);

}  // namespace keyhush::win32
