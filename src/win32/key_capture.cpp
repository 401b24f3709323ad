#include "win32/key_capture.h"

#include <bitset>

#include "hotkey/key_side.h"
#include "win32/unique_handle.h"

namespace keyhush::win32 {

namespace {

// A hook procedure has no context of its own: the one capture of the process lives here.
HWND captureWindow = nullptr;
UniqueHook hook;
// The keys whose latest going down the hook took: their going up is the window's too. Every
// going down is recorded, taken or let through, so that no key-up is kept from Windows after it
// saw the key go down.
std::bitset<256> takenDown;
// The keys the window was told went down and not yet that they went up.
std::bitset<256> toldDown;

// Posted, not sent: Windows gives a low-level hook little time before it moves on.
void Tell(HWND window, int16_t keyCode, bool up) {
  const auto key = static_cast<size_t>(keyCode & 0xFF);
  if (window == captureWindow) toldDown[key] = !up;
  ::PostMessageA(window, kCapturedKeyMessage, key, up ? 1 : 0);
}

LRESULT CALLBACK LowLevelKeyboardProcedure(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && captureWindow) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    const bool up = (key->flags & LLKHF_UP) != 0;
    // Named as a key message names it, so that both ways give the window the same codes.
    const uint32_t keyData = ((key->scanCode & 0xFF) << 16) | ((key->flags & LLKHF_EXTENDED) << 24);
    const int16_t keyCode = SidedKeyCode(static_cast<int16_t>(key->vkCode & 0xFF), keyData);
    const auto index = static_cast<size_t>(keyCode & 0xFF);
    const bool take = up ? takenDown[index] : ::GetForegroundWindow() == captureWindow;
    takenDown[index] = take && !up;
    if (take) {
      Tell(captureWindow, keyCode, up);
      return 1;
    }
  }
  return ::CallNextHookEx(nullptr, code, message, data);
}

}  // namespace

void StartKeyCapture(HWND window) {
  if (captureWindow != window) StopKeyCapture(captureWindow);
  captureWindow = window;
  if (hook) return;
  takenDown.reset();
  toldDown.reset();
  hook.reset(::SetWindowsHookExA(WH_KEYBOARD_LL, LowLevelKeyboardProcedure,
                                 ::GetModuleHandleA(nullptr), 0));
  // Without the hook the window still gets the keys that reach it as messages (the message loop
  // sends those on too); Windows' own shortcuts and other programs' hot keys then act first.
}

void StopKeyCapture(HWND window) {
  if (!window || window != captureWindow) return;
  hook.reset();
  // The keys it holds go up where the window cannot see them.
  for (size_t key = 0; key < toldDown.size(); ++key)
    if (toldDown[key]) Tell(window, static_cast<int16_t>(key), true);
  captureWindow = nullptr;
}

void CaptureKeyMessage(HWND window, const MSG& message) {
  const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
  Tell(window,
       SidedKeyCode(static_cast<int16_t>(message.wParam & 0xFF),
                    static_cast<uint32_t>(message.lParam)),
       up);
}

}  // namespace keyhush::win32
