#pragma once

// What one form window holds, shared by the files that make it work: form_window.cpp (creating,
// showing and routing messages), form_controls.cpp (the controls' windows kept in step with
// their forms) and form_painting.cpp (what the form draws itself).

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/form.h"
#include "runtime/texts.h"
#include "win32/texts.h"
#include "win32/unique_handle.h"

namespace keyhush::win32 {

class Win32WindowSystem;

// Child window identifiers: the control's place in its form's declaration, above IDOK/IDCANCEL.
inline constexpr int kFirstControlId = 100;

inline int Scale(int32_t twips, int dpi) {
  return ::MulDiv(twips, dpi, 1440);
}

// The form hands out its controls read-only; the window system reports the user's actions on
// them, which is what their User* members are for.
inline Control& Reported(const Control& control) {
  return const_cast<Control&>(control);
}

inline COLORREF ToColorRef(const Color& color) {
  return RGB(color.red, color.green, color.blue);
}

// `what` names the thing for a developer, in English.
[[noreturn]] inline void ThrowCreateFailure(const std::string& what) {
  const std::string error = std::to_string(::GetLastError());
  throw RuntimeError(kErrOutOfMemory, Filled(Text(IDS_CREATE_FAILED), what, error));
}

// Everything one form window holds. The form's FormWindow owns it, and the window procedure
// holds it too while it runs, so a form that unloads itself from one of its own events does not
// pull the ground from under the procedure.

class FormWindowState : public std::enable_shared_from_this<FormWindowState> {
 public:
  FormWindowState(Win32WindowSystem& system, Form& form) : system_(system), form_(&form) {}

  void Create();
  // The FormWindow goes: destroy the window and everything drawn with.
  void Destroy();

  HWND window() const { return window_; }
  bool CapturesKeys() const { return form_ && form_->design().capturesKeys; }
  // The control's window, or none while it is not made yet.
  HWND ChildOf(const Control& control) const;
  // Loads the picture box's icon now if it is not loaded yet; returns it.
  HICON LoadedPictureOf(const Control& control);
  // Makes the control's window now if it is not made yet; returns it.
  HWND MadeChildOf(const Control& control);
  void Show();
  void ShowModal(HWND owner);
  void Hide();
  void ControlChanged(const Control& control);
  const MenuItem* TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem);

  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPictureMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Twips to pixels: across, with the form widened as its texts need; down.
  int X(int32_t twips) const { return ::MulDiv(twips, DpiX() * widen_, 1440 * 1000); }
  int Y(int32_t twips) const { return Scale(twips, DpiY()); }
  int DpiX() const;
  int DpiY() const;
  SIZE FrameSize(DWORD style, DWORD exStyle) const;
  static POINT Centred(SIZE size);
  // Widens the form, once, before its controls are made, so that every text fits.
  void Fit();
  int Width(const Control::Design& design) const;
  void Place(HWND child, const Control::Design& design);
  void CreateChild(size_t index);
  void CreateAllChildren();
  void SetIcons();
  HFONT FontFor(const Font& font);
  int IndexOf(const Control& control) const;
  const Control* ControlAt(int id) const;
  const Control* ControlOfWindow(HWND child) const;
  void OnCommand(int id, int code, HWND child);
  void PaintLines();
  void PaintPicture(HWND child);
  void SizeDropDownList(HWND combo, size_t itemCount);
  // The window that takes no input while this one is shown, enabled again.
  void EndModal();

  Win32WindowSystem& system_;
  Form* form_;  // null once the form let go of its window
  HWND window_ = nullptr;
  std::vector<const Control*> controls_;
  std::vector<HWND> children_;
  std::vector<size_t> tabOrder_;  // indexes into controls_
  bool allChildrenMade_ = false;
  // How much wider than declared the form is, in thousandths: 1000 while its texts fit.
  int widen_ = 1000;
  bool fitted_ = false;
  bool iconsSet_ = false;
  // Icons are the window system's, kept for the process: a window unloaded and loaded again
  // holds no more than before.
  std::vector<HICON> pictures_;
  std::vector<std::pair<Font, UniqueFont>> fonts_;
  HWND lastFocus_ = nullptr;
  HWND modalOwner_ = nullptr;
};

// The state of a form window, or none for another window.
std::shared_ptr<FormWindowState> StateOf(HWND window);

}  // namespace keyhush::win32
