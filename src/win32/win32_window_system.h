#pragma once

#include <windows.h>

#include <vector>

#include "runtime/form.h"
#include "win32/unique_handle.h"

namespace keyhush::win32 {

// Realises forms as real windows: a top-level window per form and a child window of a standard
// class per control, with geometry converted from twips at the screen's resolution.
class Win32WindowSystem final : public WindowSystem {
 public:
  explicit Win32WindowSystem(HINSTANCE instance);
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  std::unique_ptr<FormWindow> Create(Form& form) override;

  // Whether `window` is one of the program's form windows (for the message loop's dialog keys).
  bool IsFormWindow(HWND window) const;

  HINSTANCE instance() const { return instance_; }
  int dpiX() const { return dpiX_; }
  int dpiY() const { return dpiY_; }
  UINT taskbarCreatedMessage() const { return taskbarCreated_; }
  UINT secondInstanceMessage() const { return secondInstance_; }
  UINT exitMessage() const { return exit_; }
  // A hidden window that owns the forms kept off the task bar.
  HWND HiddenOwner();
  // The program's icon resource at `size` pixels square, made from the image of the icon that
  // suits that size best; loaded once and kept for the process's life. Null when it cannot be.
  HICON Icon(int resource, int size);

 private:
  HINSTANCE instance_;
  ATOM formClass_ = 0;
  int dpiX_ = USER_DEFAULT_SCREEN_DPI;
  int dpiY_ = USER_DEFAULT_SCREEN_DPI;
  UINT taskbarCreated_ = 0;
  UINT secondInstance_ = 0;
  UINT exit_ = 0;
  UniqueWindow hiddenOwner_;
  struct SizedIcon {
    int resource, size;
    UniqueIcon icon;
  };
  std::vector<SizedIcon> icons_;
};

}  // namespace keyhush::win32
