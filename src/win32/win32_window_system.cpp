#include "win32/win32_window_system.h"

#include <algorithm>

#include "resource.h"
#include "runtime/error.h"
#include "win32/form_window.h"
#include "win32/window_names.h"

namespace keyhush::win32 {

namespace {

[[noreturn]] void ThrowRegisterFailure(const char* what) {
  throw RuntimeError(kErrOutOfMemory, std::string("Windows could not register ") + what +
                                          " (error " + std::to_string(::GetLastError()) + ").");
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance) : instance_(instance) {
  if (HDC screen = ::GetDC(nullptr)) {
    dpiX_ = std::max(::GetDeviceCaps(screen, LOGPIXELSX), 1);
    dpiY_ = std::max(::GetDeviceCaps(screen, LOGPIXELSY), 1);
    ::ReleaseDC(nullptr, screen);
  }

  WNDCLASSEXW form{};
  form.cbSize = sizeof(form);
  form.lpfnWndProc = FormProcedure;
  form.hInstance = instance_;
  form.hIcon = Icon(IDI_KEYHUSH, ::GetSystemMetrics(SM_CXICON));
  form.hIconSm = Icon(IDI_KEYHUSH, ::GetSystemMetrics(SM_CXSMICON));
  form.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  form.lpszClassName = kFormClassName;
  formClass_ = ::RegisterClassExW(&form);
  if (!formClass_) ThrowRegisterFailure("the window class");

  WNDCLASSEXW picture{};
  picture.cbSize = sizeof(picture);
  picture.lpfnWndProc = PictureProcedure;
  picture.hInstance = instance_;
  picture.hCursor = form.hCursor;
  picture.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  picture.lpszClassName = kPictureClassName;
  if (!::RegisterClassExW(&picture)) ThrowRegisterFailure("the picture class");

  taskbarCreated_ = ::RegisterWindowMessageA(kTaskbarCreatedMessage);
  secondInstance_ = ::RegisterWindowMessageA(kSecondInstanceMessage);
  exit_ = ::RegisterWindowMessageA(kExitMessage);
  // Let the shell's and a second copy's messages through even when this process runs elevated.
  if (taskbarCreated_) ::ChangeWindowMessageFilter(taskbarCreated_, MSGFLT_ADD);
  if (secondInstance_) ::ChangeWindowMessageFilter(secondInstance_, MSGFLT_ADD);
  if (exit_) ::ChangeWindowMessageFilter(exit_, MSGFLT_ADD);
}

std::unique_ptr<FormWindow> Win32WindowSystem::Create(Form& form) {
  return CreateFormWindow(*this, form);
}

bool Win32WindowSystem::IsFormWindow(HWND window) const {
  return window && static_cast<ATOM>(::GetClassLongA(window, GCW_ATOM)) == formClass_;
}

HWND Win32WindowSystem::HiddenOwner() {
  if (!hiddenOwner_) {
    // Of the program's own class: a system class such as "Static" would load the common controls
    // library for a window nobody sees. Without a form it answers as DefWindowProc does.
    hiddenOwner_.reset(::CreateWindowExW(0, kFormClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                         nullptr, instance_, nullptr));
  }
  return hiddenOwner_.get();
}

HICON Win32WindowSystem::Icon(int resource, int size) {
  for (const SizedIcon& known : icons_) {
    if (known.resource == resource && known.size == size) return known.icon.get();
  }
  // Not shared: the system's shared copy of an icon keeps the size it was first loaded at.
  UniqueIcon icon(static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                                  size, size, LR_DEFAULTCOLOR)));
  if (!icon) return nullptr;
  return icons_.emplace_back(SizedIcon{resource, size, std::move(icon)}).icon.get();
}

}  // namespace keyhush::win32
