#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace keyhush {

class Form;
class FormWindow;

enum class ControlKind { Label, CommandButton, CheckBox, DropDownCombo, PictureBox, Line };

struct Font {
  std::string face = "MS Sans Serif";
  double points = 8.25;
  bool bold = false;
  bool underline = false;
  bool operator==(const Font&) const = default;
};

struct Color {
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Color&) const = default;
};

// Check box values.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// A control as the form declares it (geometry in twips) and as it stands at run time.
// Lines are drawn by the form: (left, top) to (right, bottom).
class Control {
 public:
  struct Design {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string text;
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t right = 0, bottom = 0;  // lines only
    int tabIndex = -1;              // -1: takes no part in the tab order
    std::optional<Font> font;       // none: the form's font
    std::optional<Color> foreColor;
    int lineWidth = 1;  // lines, in pixels
    bool isDefault = false, isCancel = false;
    int iconResource = 0;           // picture boxes: the icon they hold
    std::vector<std::string> list;  // drop-down combo boxes
    // Labels whose text changes: the texts they may show, which the window is made wide enough
    // for (the user's language may need more room than the declared width).
    std::vector<std::string> fit;
  };

  Control(Form& owner, Design design)
      : design_(std::move(design)), owner_(owner), text_(design_.text) {}

  const Design& design() const { return design_; }
  const std::string& name() const { return design_.name; }

  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  // Check boxes. Setting a different value runs Click, as a user's click would.
  int Value() const { return value_; }
  void SetValue(int value);
  // Drop-down combo boxes: the selected list item, -1 for none.
  int ListIndex() const { return listIndex_; }
  // A disabled control shows so and takes no input.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // The control's window handle; loads the form.
  Handle hWnd();
  // Picture boxes: the handle of the icon they hold; loads the form.
  Handle Picture();

  std::function<void()> Click;
  std::function<void(int16_t button, int16_t shift, float x, float y)> MouseMove;

  // The window system reports what the user did; these update the state, then run the event.
  void UserClicked();
  void UserSetValue(int value);
  void UserSelected(int listIndex, std::string text);
  void UserMovedMouse(int16_t button, int16_t shift, float x, float y);

 private:
  Design design_;
  Form& owner_;
  std::string text_;
  int value_ = kUnchecked;
  int listIndex_ = -1;
  bool enabled_ = true;
};

struct MenuItem {
  std::string name;
  std::string caption;  // "-" is a separator
  std::function<void()> Click;
};

struct Menu {
  std::string name;
  std::string caption;
  std::vector<MenuItem> items;
};

enum class BorderStyle { FixedSingle, Sizable, FixedDialog };
enum class StartUpPosition { WindowsDefault, CenterScreen };

// Close reasons, as Form_QueryUnload receives them.
inline constexpr int16_t kCloseFromControlMenu = 0;
inline constexpr int16_t kCloseFromCode = 1;
inline constexpr int16_t kCloseFromWindows = 2;
inline constexpr int16_t kCloseFromTaskManager = 3;

struct FormDesign {
  std::string caption;
  int32_t clientWidth = 0, clientHeight = 0;  // twips
  BorderStyle border = BorderStyle::Sizable;
  bool minButton = false, maxButton = false;
  bool showInTaskbar = true;
  StartUpPosition startUp = StartUpPosition::WindowsDefault;
  Font font;
  int iconResource = 0;
  // Every key pressed while the window is active goes to its key events, before Windows and
  // other programs' hot keys see it.
  bool capturesKeys = false;
};

// Realises forms as windows: Win32 windows in the program, records in the tests.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Creates the form's window, hidden. Its controls follow when it is first shown, or one by
  // one as their handles are asked for.
  virtual std::unique_ptr<FormWindow> Create(Form& form) = 0;

  // What the program does when the session ends, an installer closes it, or another copy asks it
  // to end: the program sets it.
  std::function<void()> endProgram;
};

class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual Handle handle() const = 0;
  virtual Handle controlHandle(const Control& control) const = 0;
  // The icon a picture box holds.
  virtual Handle controlPicture(const Control& control) const = 0;
  // Shows the window modeless and without owner, and brings it to the front.
  virtual void Show() = 0;
  // Shows the window in front of `owner`, which takes no input until this window is hidden.
  virtual void ShowModal(Handle owner) = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The program changed a control's text, value or selection.
  virtual void ControlChanged(const Control& control) = 0;
  // Shows `menu` as a pop-up at the pointer, `defaultItem` in bold; returns the chosen item.
  virtual const MenuItem* TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem) = 0;
};

// A window of the program: declared as data, created on first use, with event handlers.
class Form {
 public:
  Form(WindowSystem& windows, FormDesign design);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Creates the window hidden and runs Form_Load, once per load.
  void Load();
  bool Loaded() const { return window_ != nullptr; }
  // Loads the form if needed, then shows it modeless and without owner.
  void Show();
  // Loads the form if needed, then shows it in front of `owner`, which takes no input until this
  // form is hidden or unloaded.
  void ShowModal(Form& owner);
  void Hide();
  bool Visible() const;
  void SetVisible(bool visible) { visible ? Show() : Hide(); }
  // The window handle; loads the form, hidden.
  Handle hWnd();
  // Asks the form to unload, as code does; it stays loaded when a handler cancels.
  void Unload();
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // Shows a top-level menu as a pop-up and runs the chosen item's Click.
  void PopupMenu(const Menu& menu, const MenuItem* defaultItem);

  const FormDesign& design() const { return design_; }
  const std::deque<Control>& controls() const { return controls_; }

  // The window system reports a close request (close box, system menu, Alt+F4, WM_CLOSE).
  void CloseRequested(int16_t reason);
  FormWindow* window() const { return window_.get(); }

 protected:
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int16_t& /*cancel*/, int16_t /*unloadMode*/) {}
  virtual void Form_Unload(int16_t& /*cancel*/) {}
  // Not form events of their own, but what Windows tells every top-level window: the task bar
  // was created anew (Explorer restarted), or a second copy of the program was started.
  virtual void TaskbarCreated() {}
  virtual void SecondInstanceStarted() {}
  // Forms that capture keys: a key went down (again, while held) or up.
  virtual void Form_KeyDown(int16_t /*keyCode*/) {}
  virtual void Form_KeyUp(int16_t /*keyCode*/) {}
  // An organisation's policies were refreshed.
  virtual void PoliciesChanged() {}

 public:
  // The window system reports these to the form.
  void NotifyTaskbarCreated() { TaskbarCreated(); }
  void NotifySecondInstanceStarted() { SecondInstanceStarted(); }
  void NotifyKeyDown(int16_t keyCode) { Form_KeyDown(keyCode); }
  void NotifyKeyUp(int16_t keyCode) { Form_KeyUp(keyCode); }
  void NotifyPoliciesChanged() { PoliciesChanged(); }

 protected:
  Control& Add(Control::Design design);

 private:
  friend class Control;
  void Close(int16_t reason);

  WindowSystem& windows_;
  FormDesign design_;
  std::string caption_;
  std::deque<Control> controls_;
  std::unique_ptr<FormWindow> window_;
};

}  // namespace keyhush
