// The controls' windows kept in step with their forms: made from the declaration, given the
// program's changes, and the user's actions reported back.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "win32/form_window_state.h"
#include "win32/win32_window_system.h"
#include "win32/window_names.h"

namespace keyhush::win32 {

void FormWindowState::CreateAllChildren() {
  if (allChildrenMade_) return;
  bool someMadeEarlier = false;
  for (size_t index : tabOrder_) {
    if (children_[index]) {
      someMadeEarlier = true;
    } else {
      CreateChild(index);
    }
  }
  // Children stack in tab order, which makes their z-order the keyboard's order; controls outside
  // the tab order come last. One made earlier is moved to its place.
  if (someMadeEarlier) {
    for (size_t index : tabOrder_) {
      if (children_[index]) {
        ::SetWindowPos(children_[index], HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      }
    }
  }
  allChildrenMade_ = true;
}

void FormWindowState::CreateChild(size_t index) {
  const Control& control = *controls_[index];
  const Control::Design& design = control.design();
  const char* className = nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE | (control.Enabled() ? 0 : WS_DISABLED);
  // A control outside the tab order is reached by its access key or the mouse only.
  const DWORD tabStop = design.tabIndex >= 0 ? WS_TABSTOP : 0;
  switch (design.kind) {
    case ControlKind::Line:
      return;  // drawn by the form
    case ControlKind::Label:
      className = "Static";
      style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
      break;
    case ControlKind::CommandButton:
      className = "Button";
      style |= (design.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tabStop;
      break;
    case ControlKind::CheckBox:
      className = "Button";
      style |= BS_AUTOCHECKBOX | tabStop;
      break;
    case ControlKind::DropDownCombo:
      className = "ComboBox";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | tabStop;
      break;
    case ControlKind::PictureBox:
      className = kPictureClassName;
      break;
  }
  const bool takesText =
      design.kind != ControlKind::DropDownCombo && design.kind != ControlKind::PictureBox;
  const HWND child = ::CreateWindowExA(
      0, className, takesText ? control.Text().c_str() : "", style,
      Scale(design.left, system_.dpiX()), Scale(design.top, system_.dpiY()),
      Scale(design.width, system_.dpiX()), Scale(design.height, system_.dpiY()), window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)), system_.instance(),
      nullptr);
  if (!child) ThrowCreateFailure("the control " + design.name);
  children_[index] = child;
  // A picture box draws no text: it needs no font.
  if (design.kind != ControlKind::PictureBox) {
    ::SendMessageA(child, WM_SETFONT,
                   reinterpret_cast<WPARAM>(FontFor(design.font.value_or(form_->design().font))),
                   FALSE);
  }

  switch (design.kind) {
    case ControlKind::CheckBox:
      ::SendMessageA(child, BM_SETCHECK, static_cast<WPARAM>(control.Value()), 0);
      break;
    case ControlKind::DropDownCombo:
      for (const std::string& item : design.list) {
        const LRESULT added =
            ::SendMessageA(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        if (added == CB_ERR || added == CB_ERRSPACE)
          ThrowCreateFailure("the list of " + design.name);
      }
      if (control.ListIndex() >= 0) {
        ::SendMessageA(child, CB_SETCURSEL, static_cast<WPARAM>(control.ListIndex()), 0);
      }
      ::SetWindowTextA(child, control.Text().c_str());
      SizeDropDownList(child, design.list.size());
      break;
    case ControlKind::PictureBox:
      LoadedPictureOf(control);
      break;
    default:
      break;
  }
}

// A drop-down combo box's window height includes its open list: make room for every item.
void FormWindowState::SizeDropDownList(HWND combo, size_t itemCount) {
  RECT closed{};
  if (!::GetWindowRect(combo, &closed)) return;
  const LRESULT itemHeight = ::SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
  if (itemHeight == CB_ERR || itemHeight <= 0) return;
  const int listHeight =
      static_cast<int>(itemHeight) * static_cast<int>(std::max<size_t>(itemCount, 1)) +
      2 * ::GetSystemMetrics(SM_CYEDGE) + 2;
  ::SetWindowPos(combo, nullptr, 0, 0, closed.right - closed.left,
                 closed.bottom - closed.top + listHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT FormWindowState::FontFor(const Font& font) {
  for (const auto& [known, handle] : fonts_) {
    if (known == font) return handle.get();
  }
  LOGFONTA description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.points * system_.dpiY() / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = font.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  std::strncpy(description.lfFaceName, font.face.c_str(), LF_FACESIZE - 1);
  UniqueFont created(::CreateFontIndirectA(&description));
  // Without the font, the controls still read in the system's own.
  if (!created) return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  return fonts_.emplace_back(font, std::move(created)).second.get();
}

void FormWindowState::ControlChanged(const Control& control) {
  const HWND child = ChildOf(control);
  if (!child) return;
  ::EnableWindow(child, control.Enabled() ? TRUE : FALSE);
  switch (control.design().kind) {
    case ControlKind::Label:
    case ControlKind::CommandButton:
      ::SetWindowTextA(child, control.Text().c_str());
      break;
    case ControlKind::CheckBox:
      ::SetWindowTextA(child, control.Text().c_str());
      ::SendMessageA(child, BM_SETCHECK, static_cast<WPARAM>(control.Value()), 0);
      break;
    case ControlKind::DropDownCombo:
      // Only the edit field: no list item is selected, and no selection event follows.
      ::SetWindowTextA(child, control.Text().c_str());
      break;
    case ControlKind::PictureBox:
      ::InvalidateRect(child, nullptr, TRUE);
      break;
    case ControlKind::Line:
      break;
  }
}

void FormWindowState::OnCommand(int id, int code, HWND child) {
  if (id == IDOK || id == IDCANCEL) {
    // Enter and Escape, from the dialog keys: only a declared default or cancel button answers.
    for (const Control* control : controls_) {
      const auto& design = control->design();
      if (design.kind != ControlKind::CommandButton) continue;
      if ((id == IDOK && design.isDefault) || (id == IDCANCEL && design.isCancel)) {
        const HWND button = ChildOf(*control);
        if (button && ::IsWindowEnabled(button)) Reported(*control).UserClicked();
        return;
      }
    }
    return;
  }
  const Control* control = ControlAt(id);
  if (!control || ChildOf(*control) != child) return;
  switch (control->design().kind) {
    case ControlKind::CommandButton:
      if (code == BN_CLICKED) Reported(*control).UserClicked();
      break;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        const LRESULT state = ::SendMessageA(child, BM_GETCHECK, 0, 0);
        Reported(*control).UserSetValue(state == BST_CHECKED         ? kChecked
                                        : state == BST_INDETERMINATE ? kGrayed
                                                                     : kUnchecked);
      }
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED) Reported(*control).UserClicked();
      break;
    case ControlKind::DropDownCombo:
      if (code == CBN_SELCHANGE) {
        const LRESULT index = ::SendMessageA(child, CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return;
        std::string text;
        const LRESULT length = ::SendMessageA(child, CB_GETLBTEXTLEN, index, 0);
        if (length > 0) {
          text.resize(static_cast<size_t>(length) + 1);
          const LRESULT copied =
              ::SendMessageA(child, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
          text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
        }
        Reported(*control).UserSelected(static_cast<int>(index), std::move(text));
      }
      break;
    default:
      break;
  }
}

}  // namespace keyhush::win32
