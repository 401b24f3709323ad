#include "win32/form_window.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "win32/error_report.h"
#include "win32/key_capture.h"
#include "win32/win32_window_system.h"
#include "win32/window_names.h"

namespace keyhush::win32 {

namespace {

// Child window identifiers: the control's place in its form's declaration, above IDOK/IDCANCEL.
constexpr int kFirstControlId = 100;

int Scale(int32_t twips, int dpi) {
  return ::MulDiv(twips, dpi, 1440);
}

// The form hands out its controls read-only; the window system reports the user's actions on
// them, which is what their User* members are for.
Control& Reported(const Control& control) {
  return const_cast<Control&>(control);
}

COLORREF ToColorRef(const Color& color) {
  return RGB(color.red, color.green, color.blue);
}

[[noreturn]] void ThrowCreateFailure(const std::string& what) {
  throw RuntimeError(kErrOutOfMemory, "Windows could not create " + what + " (error " +
                                          std::to_string(::GetLastError()) + ").");
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
  bool iconsSet_ = false;
  // Icons are the window system's, kept for the process: a window unloaded and loaded again
  // holds no more than before.
  std::vector<HICON> pictures_;
  std::vector<std::pair<Font, UniqueFont>> fonts_;
  HWND lastFocus_ = nullptr;
  HWND modalOwner_ = nullptr;
};

std::shared_ptr<FormWindowState> StateOf(HWND window) {
  auto* state = reinterpret_cast<FormWindowState*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  return state ? state->weak_from_this().lock() : nullptr;
}

void FormWindowState::Create() {
  const FormDesign& design = form_->design();
  DWORD style = WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  const DWORD buttons =
      (design.minButton ? WS_MINIMIZEBOX : 0) | (design.maxButton ? WS_MAXIMIZEBOX : 0);
  switch (design.border) {
    case BorderStyle::FixedSingle:
      style |= WS_CAPTION | WS_SYSMENU | WS_BORDER | buttons;
      break;
    case BorderStyle::Sizable:
      style |= (WS_OVERLAPPEDWINDOW & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) | buttons;
      break;
    case BorderStyle::FixedDialog:
      style |= WS_DLGFRAME | WS_CAPTION | WS_SYSMENU;
      exStyle |= WS_EX_DLGMODALFRAME;
      break;
  }
  // An owned window has no task-bar button; WS_EX_APPWINDOW makes sure the others have one.
  HWND owner = nullptr;
  if (design.showInTaskbar) {
    exStyle |= WS_EX_APPWINDOW;
  } else {
    owner = system_.HiddenOwner();
  }

  RECT frame{0, 0, Scale(design.clientWidth, system_.dpiX()),
             Scale(design.clientHeight, system_.dpiY())};
  if (!::AdjustWindowRectEx(&frame, style, FALSE, exStyle)) ThrowCreateFailure("a window frame");
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  if (design.startUp == StartUpPosition::CenterScreen) {
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = std::max<int>(work.left, work.left + (work.right - work.left - width) / 2);
    y = std::max<int>(work.top, work.top + (work.bottom - work.top - height) / 2);
  }

  window_ = ::CreateWindowExA(exStyle, kFormClassName, form_->Caption().c_str(), style, x, y, width,
                              height, owner, nullptr, system_.instance(), this);
  if (!window_) ThrowCreateFailure("the window \"" + form_->Caption() + "\"");

  const auto& controls = form_->controls();
  for (const Control& control : controls) controls_.push_back(&control);
  children_.assign(controls_.size(), nullptr);
  pictures_.resize(controls_.size());
  tabOrder_.resize(controls_.size());
  std::iota(tabOrder_.begin(), tabOrder_.end(), size_t{0});
  std::stable_sort(tabOrder_.begin(), tabOrder_.end(), [&](size_t a, size_t b) {
    const auto key = [&](size_t i) {
      const int tab = controls_[i]->design().tabIndex;
      return tab < 0 ? INT_MAX : tab;
    };
    return key(a) < key(b);
  });
  // The controls and the window's own icons are set up when the window is first shown, or a
  // control when its handle is asked for: the hidden windows a resident program keeps cost no
  // control windows, the common controls library is not loaded until a window with controls is
  // shown, and the display driver converts no icon for a window nobody sees.
}

void FormWindowState::SetIcons() {
  if (iconsSet_) return;
  iconsSet_ = true;
  const int resource = form_->design().iconResource;
  if (resource == 0) return;
  for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}) {
    if (HICON icon = system_.Icon(resource, ::GetSystemMetrics(metric)))
      ::SendMessageA(window_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
  }
}

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

void FormWindowState::Destroy() {
  if (form_ && form_->design().capturesKeys) StopKeyCapture(window_);
  // Before the window goes, so that Windows activates the owner rather than another program.
  EndModal();
  form_ = nullptr;
  if (HWND window = std::exchange(window_, nullptr)) ::DestroyWindow(window);
  children_.clear();
  allChildrenMade_ = false;
  pictures_.clear();
  fonts_.clear();
  iconsSet_ = false;
  lastFocus_ = nullptr;
}

int FormWindowState::IndexOf(const Control& control) const {
  const auto found = std::find(controls_.begin(), controls_.end(), &control);
  return found == controls_.end() ? -1 : static_cast<int>(found - controls_.begin());
}

HWND FormWindowState::ChildOf(const Control& control) const {
  const int index = IndexOf(control);
  return index < 0 || static_cast<size_t>(index) >= children_.size() ? nullptr : children_[index];
}

HWND FormWindowState::MadeChildOf(const Control& control) {
  const int index = IndexOf(control);
  if (index < 0 || !window_) return nullptr;
  if (!children_[index]) CreateChild(static_cast<size_t>(index));
  return children_[index];
}

HICON FormWindowState::LoadedPictureOf(const Control& control) {
  const int index = IndexOf(control);
  if (index < 0 || !window_) return nullptr;
  HICON& picture = pictures_[static_cast<size_t>(index)];
  // The handle others are given (the tray's icon) is the small icon's size; the box draws the
  // icon at its own size.
  if (!picture && control.design().iconResource != 0)
    picture = system_.Icon(control.design().iconResource, 16);
  return picture;
}

const Control* FormWindowState::ControlAt(int id) const {
  const int index = id - kFirstControlId;
  if (index < 0 || static_cast<size_t>(index) >= controls_.size()) return nullptr;
  return controls_[index];
}

const Control* FormWindowState::ControlOfWindow(HWND child) const {
  const auto found = std::find(children_.begin(), children_.end(), child);
  return child && found != children_.end() ? controls_[found - children_.begin()] : nullptr;
}

void FormWindowState::Show() {
  if (!window_) return;
  SetIcons();
  CreateAllChildren();
  ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  // Windows may refuse to bring a window forward when another program has the user's attention;
  // it then flashes the task-bar button instead, which is all the program could ask for.
  ::SetForegroundWindow(window_);
}

void FormWindowState::ShowModal(HWND owner) {
  if (!window_) return;
  // Owned, it stays in front of the owner; the owner disabled, it is the one window to answer.
  ::SetWindowLongPtrA(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  if (owner != modalOwner_) {
    EndModal();
    if (owner && !::EnableWindow(owner, FALSE)) modalOwner_ = owner;
  }
  Show();
}

void FormWindowState::EndModal() {
  if (HWND owner = std::exchange(modalOwner_, nullptr)) ::EnableWindow(owner, TRUE);
}

void FormWindowState::Hide() {
  if (!window_) return;
  if (form_ && form_->design().capturesKeys) StopKeyCapture(window_);
  EndModal();
  ::ShowWindow(window_, SW_HIDE);
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

const MenuItem* FormWindowState::TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem) {
  if (!window_) return nullptr;
  UniqueMenu popup(::CreatePopupMenu());
  if (!popup) ThrowCreateFailure("the menu " + menu.name);
  UINT id = 1;
  for (const MenuItem& item : menu.items) {
    const bool separator = item.caption == "-";
    if (!::AppendMenuA(popup.get(), separator ? MF_SEPARATOR : MF_STRING, id,
                       separator ? nullptr : item.caption.c_str())) {
      ThrowCreateFailure("the menu item " + item.name);
    }
    if (&item == defaultItem) ::SetMenuDefaultItem(popup.get(), id, FALSE);
    ++id;
  }
  POINT at{};
  ::GetCursorPos(&at);
  // The menu closes when the user clicks elsewhere only if its window is in the foreground, and
  // the WM_NULL afterwards lets a second right click open it again at once.
  ::SetForegroundWindow(window_);
  const HWND window = window_;
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
      popup.get(), TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD, at.x, at.y, 0, window, nullptr));
  ::PostMessageA(window, WM_NULL, 0, 0);
  if (chosen == 0 || chosen > menu.items.size()) return nullptr;
  return &menu.items[chosen - 1];
}

LRESULT FormWindowState::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // The form decides; it may unload, and with it this window.
      if (form_) form_->CloseRequested(kCloseFromControlMenu);
      return 0;
    case WM_SETTINGCHANGE:
      // A policy refresh announces itself so to every top-level window.
      if (lParam && form_ && ::lstrcmpiA(reinterpret_cast<const char*>(lParam), "Policy") == 0)
        form_->NotifyPoliciesChanged();
      break;
    case WM_QUERYENDSESSION:
      // A resident helper never stands in the way of logging off.
      return TRUE;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case DM_GETDEFID:
      for (size_t i = 0; i < controls_.size(); ++i) {
        const auto& design = controls_[i]->design();
        if (design.kind == ControlKind::CommandButton && design.isDefault) {
          return MAKELRESULT(kFirstControlId + i, DC_HASDEFID);
        }
      }
      return 0;
    case WM_CTLCOLORSTATIC: {
      const Control* control = ControlOfWindow(reinterpret_cast<HWND>(lParam));
      if (!control || !control->design().foreColor) break;
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, ToColorRef(*control->design().foreColor));
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT:
      PaintLines();
      return 0;
    case WM_SHOWWINDOW:
      // Shown by other means than the form's Show (another program, a task switcher): the window
      // still needs its controls.
      if (wParam) CreateAllChildren();
      break;
    case WM_ACTIVATE:
      // Keys are captured while the window is active, never while it stands behind another.
      if (CapturesKeys())
        LOWORD(wParam) == WA_INACTIVE ? StopKeyCapture(window) : StartKeyCapture(window);
      // Keyboard focus goes back to the control that had it, or to the first in tab order.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(window, focus)) lastFocus_ = focus;
        return 0;
      }
      if (!::IsIconic(window)) {
        HWND target = lastFocus_ && ::IsWindow(lastFocus_) && ::IsChild(window, lastFocus_)
                          ? lastFocus_
                          : ::GetNextDlgTabItem(window, nullptr, FALSE);
        if (target) {
          ::SetFocus(target);
          return 0;
        }
      }
      break;
    default:
      if (message != 0 && message == system_.taskbarCreatedMessage()) {
        if (form_) form_->NotifyTaskbarCreated();
        return 0;
      }
      if (message == kCapturedKeyMessage) {
        const auto keyCode = static_cast<int16_t>(wParam & 0xFF);
        if (form_) lParam ? form_->NotifyKeyUp(keyCode) : form_->NotifyKeyDown(keyCode);
        return 0;
      }
      if (message != 0 && message == system_.secondInstanceMessage()) {
        if (form_) form_->NotifySecondInstanceStarted();
        return 0;
      }
      break;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
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
    ::MoveToEx(dc, Scale(design.left, system_.dpiX()), Scale(design.top, system_.dpiY()), nullptr);
    ::LineTo(dc, Scale(design.right, system_.dpiX()), Scale(design.bottom, system_.dpiY()));
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
  if (!control) return ::DefWindowProcA(child, message, wParam, lParam);
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
class Win32FormWindow final : public FormWindow {
 public:
  explicit Win32FormWindow(std::shared_ptr<FormWindowState> state) : state_(std::move(state)) {}
  ~Win32FormWindow() override { state_->Destroy(); }

  Handle handle() const override { return ToHandle(state_->window()); }
  Handle controlHandle(const Control& control) const override {
    return ToHandle(state_->MadeChildOf(control));
  }
  // The icon alone: the picture box's window waits until the form is shown.
  Handle controlPicture(const Control& control) const override {
    return ToHandle(state_->LoadedPictureOf(control));
  }
  void Show() override { state_->Show(); }
  void ShowModal(Handle owner) override { state_->ShowModal(FromHandle<HWND>(owner)); }
  void Hide() override { state_->Hide(); }
  bool Visible() const override { return state_->window() && ::IsWindowVisible(state_->window()); }
  void SetCaption(const std::string& caption) override {
    if (state_->window()) ::SetWindowTextA(state_->window(), caption.c_str());
  }
  void ControlChanged(const Control& control) override { state_->ControlChanged(control); }
  const MenuItem* TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem) override {
    return state_->TrackPopupMenu(menu, defaultItem);
  }

 private:
  std::shared_ptr<FormWindowState> state_;
};

}  // namespace

LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  std::shared_ptr<FormWindowState> state;
  RunGuarded([&] { state = StateOf(window); });
  if (message == WM_NCDESTROY) ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  if (!state) return ::DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = 0;
  RunGuarded([&] { result = state->OnMessage(window, message, wParam, lParam); });
  return result;
}

bool RouteCapturedKey(const MSG& message) {
  const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  if (!down && message.message != WM_KEYUP && message.message != WM_SYSKEYUP) return false;
  const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  const std::shared_ptr<FormWindowState> state = root ? StateOf(root) : nullptr;
  if (!state || !state->CapturesKeys()) return false;
  CaptureKeyMessage(root, message);
  return true;
}

LRESULT CALLBACK PictureProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE || message == WM_PAINT) {
    std::shared_ptr<FormWindowState> state;
    RunGuarded([&] { state = StateOf(::GetParent(child)); });
    if (state) {
      LRESULT result = 0;
      RunGuarded([&] { result = state->OnPictureMessage(child, message, wParam, lParam); });
      return result;
    }
  }
  return ::DefWindowProcA(child, message, wParam, lParam);
}

std::unique_ptr<FormWindow> CreateFormWindow(Win32WindowSystem& system, Form& form) {
  auto state = std::make_shared<FormWindowState>(system, form);
  auto window = std::make_unique<Win32FormWindow>(state);
  state->Create();  // on failure the FormWindow cleans up what was made
  return window;
}

}  // namespace keyhush::win32
