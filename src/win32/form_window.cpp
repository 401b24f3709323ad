#include "win32/form_window.h"

#include <algorithm>
#include <climits>
#include <numeric>
#include <utility>
#include <vector>

#include "win32/error_report.h"
#include "win32/form_window_state.h"
#include "win32/key_capture.h"
#include "win32/wide_text.h"
#include "win32/win32_window_system.h"
#include "win32/window_names.h"

namespace keyhush::win32 {

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

  const SIZE size = FrameSize(style, exStyle);
  const POINT at = design.startUp == StartUpPosition::CenterScreen
                       ? Centred(size)
                       : POINT{CW_USEDEFAULT, CW_USEDEFAULT};
  window_ =
      ::CreateWindowExW(exStyle, kFormClassName, ShownText(form_->Caption()).c_str(), style, at.x,
                        at.y, size.cx, size.cy, owner, nullptr, system_.instance(), this);
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

SIZE FormWindowState::FrameSize(DWORD style, DWORD exStyle) const {
  RECT frame{0, 0, X(form_->design().clientWidth), Y(form_->design().clientHeight)};
  if (!::AdjustWindowRectEx(&frame, style, FALSE, exStyle)) ThrowCreateFailure("a window frame");
  return {frame.right - frame.left, frame.bottom - frame.top};
}

POINT FormWindowState::Centred(SIZE size) {
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {std::max<LONG>(work.left, work.left + (work.right - work.left - size.cx) / 2),
          std::max<LONG>(work.top, work.top + (work.bottom - work.top - size.cy) / 2)};
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
  try {
    Show();
  } catch (...) {
    // Not shown (its controls could not be made): the owner must not stay disabled behind it.
    EndModal();
    throw;
  }
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

const MenuItem* FormWindowState::TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem) {
  if (!window_) return nullptr;
  UniqueMenu popup(::CreatePopupMenu());
  if (!popup) ThrowCreateFailure("the menu " + menu.name);
  UINT id = 1;
  for (const MenuItem& item : menu.items) {
    const bool separator = item.caption == "-";
    if (!::AppendMenuW(popup.get(), separator ? MF_SEPARATOR : MF_STRING, id,
                       separator ? nullptr : ShownText(item.caption).c_str())) {
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
      // A policy refresh announces itself so to every top-level window (in UTF-16 to a Unicode
      // window).
      if (lParam && form_ && ::lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"Policy") == 0)
        form_->NotifyPoliciesChanged();
      break;
    case WM_QUERYENDSESSION:
      // A resident helper never stands in the way of logging off, nor of an installer that
      // closes it (ENDSESSION_CLOSEAPP); it ends when told the session really ends.
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && system_.endProgram) system_.endProgram();
      return 0;
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
      if (message != 0 && message == system_.exitMessage()) {
        if (system_.endProgram) system_.endProgram();
        return 0;
      }
      if (message != 0 && message == system_.secondInstanceMessage()) {
        if (form_) form_->NotifySecondInstanceStarted();
        return 0;
      }
      break;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

namespace {

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
    if (state_->window()) ::SetWindowTextW(state_->window(), ShownText(caption).c_str());
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
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  std::shared_ptr<FormWindowState> state;
  RunGuarded([&] { state = StateOf(window); });
  if (message == WM_NCDESTROY) ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  if (!state) return ::DefWindowProcW(window, message, wParam, lParam);
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
  return ::DefWindowProcW(child, message, wParam, lParam);
}

std::unique_ptr<FormWindow> CreateFormWindow(Win32WindowSystem& system, Form& form) {
  auto state = std::make_shared<FormWindowState>(system, form);
  auto window = std::make_unique<Win32FormWindow>(state);
  state->Create();  // on failure the FormWindow cleans up what was made
  return window;
}

}  // namespace keyhush::win32
