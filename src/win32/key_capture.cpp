#include "win32/key_capture.h"

#include <bitset>

#include "hotkey/key_side.h"
#include "win32/unique_handle.h"

namespace keyhush::win32 {

namespace {

// A hook procedure has no context of its own: the one capture of the process lives here.
HWND captureWindow = nullptr;
UniqueHook hook;
// The keys whose going down the window took: their going up is the window's too.
std::bitset<256> takenDown;

LRESULT CALLBACK LowLevelKeyboardProcedure(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && captureWindow) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const bool up = (key->flags & LLKHF_UP) != 0;
    // Named as a key message names it, so that both ways give the window the same codes.
    const uint32_t keyData = ((key->scanCode & 0xFF) << 16) | ((key->flags & LLKHF_EXTENDED) << 24);
    const auto virtualKey =
        static_cast<size_t>(SidedKeyCode(static_cast<int16_t>(key->vkCode & 0xFF), keyData));
    if (up ? takenDown[virtualKey] : ::GetForegroundWindow() == captureWindow) {
      takenDown[virtualKey] = !up;
      // Posted, not handled here: Windows gives a low-level hook little time before it moves on.
      ::PostMessageA(captureWindow, kCapturedKeyMessage, virtualKey, up ? 1 : 0);
      return 1;
    }
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

void StartKeyCapture(HWND window) {
  captureWindow = window;
  if (hook) return;
  takenDown.reset();
  hook.reset(::SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProcedure,
                                 ::GetModuleHandleA(nullptr), 0));
  // Without the hook the window still gets the keys that reach it as messages (the message loop
  // sends those on too); Windows' own shortcuts and other programs' hot keys then act first.
}

void StopKeyCapture(HWND window) {
  if (window != captureWindow) return;
  captureWindow = nullptr;
  hook.reset();
}

void CaptureKeyMessage(HWND window, const MSG& message) {
  const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
  const int16_t keyCode = SidedKeyCode(static_cast<int16_t>(message.wParam & 0xFF),
                                       static_cast<uint32_t>(message.lParam));
  ::SendMessageA(window, kCapturedKeyMessage, static_cast<WPARAM>(keyCode), up ? 1 : 0);
}

}  // namespace keyhush::win32
