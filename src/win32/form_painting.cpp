// What a form draws itself: its lines and its picture boxes' icons; and the mouse over a picture
// box, which is how the shell reports activity over the tray icon.
#include <algorithm>

#include "win32/form_window_state.h"
#include "win32/win32_window_system.h"

namespace keyhush::win32 {

void FormWindowState::PaintLines() {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(window_, &paint);
  if (!dc) return;
  for (const Control* control : controls_) {
    const auto& design = control->design();
    if (design.kind != ControlKind::Line) continue;
    UniquePen pen(::CreatePen(PS_SOLID, std::max(design.lineWidth, 1),
                              ToColorRef(design.foreColor.value_or(Color{}))));
    if (!pen) continue;
    const HGDIOBJ previous = ::SelectObject(dc, pen.get());
    ::MoveToEx(dc, X(design.left), Y(design.top), nullptr);
    ::LineTo(dc, X(design.right), Y(design.bottom));
    ::SelectObject(dc, previous);
  }
  ::EndPaint(window_, &paint);
}

void FormWindowState::PaintPicture(HWND child) {
  PAINTSTRUCT paint{};
  const HDC dc = ::BeginPaint(child, &paint);
  if (!dc) return;
  const Control* control = ControlOfWindow(child);
  RECT box{};
  ::GetClientRect(child, &box);
  const int size = std::min(box.right, box.bottom);
  const int resource = control ? control->design().iconResource : 0;
  if (const HICON icon = resource ? system_.Icon(resource, size) : nullptr) {
    ::DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  }
  ::EndPaint(child, &paint);
}

LRESULT FormWindowState::OnPictureMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintPicture(child);
    return 0;
  }
  const Control* control = ControlOfWindow(child);
  if (!control) return ::DefWindowProcW(child, message, wParam, lParam);
  // The shell reports tray activity this way too: x is then the mouse message's number.
  const int16_t button =
      static_cast<int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) | ((wParam & MK_RBUTTON) ? 2 : 0) |
                           ((wParam & MK_MBUTTON) ? 4 : 0));
  const int16_t shift =
      static_cast<int16_t>(((wParam & MK_SHIFT) ? 1 : 0) | ((wParam & MK_CONTROL) ? 2 : 0) |
                           ((::GetKeyState(VK_MENU) < 0) ? 4 : 0));
  const int x = static_cast<int16_t>(LOWORD(lParam));
  const int y = static_cast<int16_t>(HIWORD(lParam));
  const float x_twips = static_cast<float>(x * (1440 / system_.dpiX()));
  const float y_twips = static_cast<float>(y * (1440 / system_.dpiY()));
  Reported(*control).UserMovedMouse(button, shift, x_twips, y_twips);
  return 0;
}

// The form's view of its window.
}  // namespace keyhush::win32
