// The controls' windows kept in step with their forms: made from the declaration, given the
// program's changes, and the user's actions reported back.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "win32/form_window_state.h"
#include "win32/texts.h"
#include "win32/wide_text.h"
#include "win32/win32_window_system.h"
#include "win32/window_names.h"

namespace keyhush::win32 {

namespace {

// No form grows beyond twice its declared width: a text that needs more is a text to shorten.
constexpr int kWidestThousandths = 2000;

}  // namespace

int FormWindowState::DpiX() const {
  return system_.dpiX();
}

int FormWindowState::DpiY() const {
  return system_.dpiY();
}

void FormWindowState::Fit() {
  if (fitted_ || !window_) return;
  fitted_ = true;
  const HDC dc = ::GetDC(window_);
  if (!dc) return;
  int needed = 1000;
  for (const Control* control : controls_) {
    const Control::Design& design = control->design();
    // What lies beside the text: a check box's box, a push button's edge, a combo box's button.
    int margin = 0;
    std::vector<std::string> texts = design.fit;
    switch (design.kind) {
      case ControlKind::Label:
        break;
      case ControlKind::CommandButton:
        margin = 4;
        break;
      case ControlKind::CheckBox:
        margin = ::MulDiv(13, DpiX(), 96) + 4;
        break;
      case ControlKind::DropDownCombo:
        margin = ::GetSystemMetrics(SM_CXVSCROLL) + 4 * ::GetSystemMetrics(SM_CXEDGE) + 4;
        texts.insert(texts.end(), design.list.begin(), design.list.end());
        break;
      default:
        continue;
    }
    if (design.kind != ControlKind::DropDownCombo) texts.push_back(control->Text());
    const HGDIOBJ previous =
        ::SelectObject(dc, FontFor(design.font.value_or(form_->design().font)));
    // A label shows "&" as it is; the others take it for the access key, which DrawText drops.
    const UINT format = DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS |
                        (design.kind == ControlKind::Label ? DT_NOPREFIX : 0);
    const int declared = std::max(Scale(design.width, DpiX()), 1);
    for (const std::string& text : texts) {
      // A run of blanks asks the label to wrap there: its lines are laid out as they come.
      if (text.find("  ") != std::string::npos) continue;
      for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find("\r\n", start), text.size());
        const std::wstring line = ShownText(std::string_view(text).substr(start, end - start));
        RECT need{};
        ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &need, format);
        // Rounded up, and a pixel to spare: each edge is rounded to a whole pixel on its own.
        const int width = static_cast<int>(need.right) + margin + 1;
        needed = std::max(needed, (width * 1000 + declared - 1) / declared);
        start = end + 2;
      }
    }
    ::SelectObject(dc, previous);
  }
  ::ReleaseDC(window_, dc);
  if (needed <= 1000) return;
  // Every x and width grows by the same factor, so controls side by side stay apart.
  widen_ = std::min(needed, kWidestThousandths);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
  const SIZE size = FrameSize(style, exStyle);
  RECT now{};
  ::GetWindowRect(window_, &now);
  const POINT at = form_->design().startUp == StartUpPosition::CenterScreen
                       ? Centred(size)
                       : POINT{now.left, now.top};
  ::SetWindowPos(window_, nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

int FormWindowState::Width(const Control::Design& design) const {
  // Widened, a control that ends at the form's edge must end there still, not a pixel beyond.
  return widen_ == 1000 ? X(design.width) : X(design.left + design.width) - X(design.left);
}

void FormWindowState::Place(HWND child, const Control::Design& design) {
  ::SetWindowPos(child, nullptr, X(design.left), Y(design.top), Width(design), Y(design.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindowState::CreateAllChildren() {
  if (allChildrenMade_) return;
  Fit();
  bool someMadeEarlier = false;
  for (size_t index : tabOrder_) {
    if (children_[index]) {
      someMadeEarlier = true;
    } else {
      CreateChild(index);
    }
  }
  // Children stack in tab order, which makes their z-order the keyboard's order; controls outside
  // the tab order come last. One made earlier is moved to its place, on a widened form its place
  // across too.
  if (someMadeEarlier) {
    for (size_t index : tabOrder_) {
      if (!children_[index]) continue;
      if (widen_ != 1000) Place(children_[index], controls_[index]->design());
      ::SetWindowPos(children_[index], HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  allChildrenMade_ = true;
}

void FormWindowState::CreateChild(size_t index) {
  const Control& control = *controls_[index];
  const Control::Design& design = control.design();
  const wchar_t* className = nullptr;
  DWORD style = WS_CHILD | WS_VISIBLE | (control.Enabled() ? 0 : WS_DISABLED);
  // A control outside the tab order is reached by its access key or the mouse only.
  const DWORD tabStop = design.tabIndex >= 0 ? WS_TABSTOP : 0;
  switch (design.kind) {
    case ControlKind::Line:
      return;  // drawn by the form
    case ControlKind::Label:
      className = L"Static";
      style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
      break;
    case ControlKind::CommandButton:
      className = L"Button";
      style |= (design.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tabStop;
      break;
    case ControlKind::CheckBox:
      className = L"Button";
      style |= BS_AUTOCHECKBOX | tabStop;
      break;
    case ControlKind::DropDownCombo:
      className = L"ComboBox";
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | tabStop;
      break;
    case ControlKind::PictureBox:
      className = kPictureClassName;
      break;
  }
  const bool takesText =
      design.kind != ControlKind::DropDownCombo && design.kind != ControlKind::PictureBox;
  const HWND child =
      ::CreateWindowExW(0, className, takesText ? ShownText(control.Text()).c_str() : L"", style,
                        X(design.left), Y(design.top), Width(design), Y(design.height), window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index)),
                        system_.instance(), nullptr);
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
        const LRESULT added = ::SendMessageW(child, CB_ADDSTRING, 0,
                                             reinterpret_cast<LPARAM>(ShownText(item).c_str()));
        if (added == CB_ERR || added == CB_ERRSPACE)
          ThrowCreateFailure("the list of " + design.name);
      }
      if (control.ListIndex() >= 0) {
        ::SendMessageA(child, CB_SETCURSEL, static_cast<WPARAM>(control.ListIndex()), 0);
      }
      ::SetWindowTextW(child, ShownText(control.Text()).c_str());
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
  LOGFONTW description{};
  description.lfHeight = -static_cast<LONG>(std::lround(font.points * system_.dpiY() / 72.0));
  description.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  description.lfUnderline = font.underline ? TRUE : FALSE;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_DEFAULT_PRECIS;
  description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  description.lfQuality = DEFAULT_QUALITY;
  description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  // Japanese, Korean and Chinese take the dialog font: on Windows whose code page is Western it is
  // a TrueType font with links to fonts of those scripts, which MS Sans Serif, a bitmap font, is
  // not; in their own code page every face gives way to one of their script.
  const std::wstring face = EastAsianTexts() ? L"MS Shell Dlg" : ShownText(font.face);
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  UniqueFont created(::CreateFontIndirectW(&description));
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
      ::SetWindowTextW(child, ShownText(control.Text()).c_str());
      break;
    case ControlKind::CheckBox:
      ::SetWindowTextW(child, ShownText(control.Text()).c_str());
      ::SendMessageA(child, BM_SETCHECK, static_cast<WPARAM>(control.Value()), 0);
      break;
    case ControlKind::DropDownCombo:
      // Only the edit field: no list item is selected, and no selection event follows.
      ::SetWindowTextW(child, ShownText(control.Text()).c_str());
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
        std::wstring text;
        const LRESULT length = ::SendMessageW(child, CB_GETLBTEXTLEN, index, 0);
        if (length > 0) {
          text.resize(static_cast<size_t>(length) + 1);
          const LRESULT copied =
              ::SendMessageW(child, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
          text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
        }
        Reported(*control).UserSelected(static_cast<int>(index),
                                        Utf8FromWide(text).value_or(std::string()));
      }
      break;
    default:
      break;
  }
}

}  // namespace keyhush::win32
