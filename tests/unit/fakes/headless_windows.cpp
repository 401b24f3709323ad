#include "fakes/headless_windows.h"

namespace keyhush::testing {

class HeadlessWindow : public FormWindow {
 public:
  HeadlessWindow(HeadlessWindows& system, Form& form, Handle handle)
      : system_(system), form_(form), handle_(handle) {
    Log("create");
  }
  ~HeadlessWindow() override { Log("destroy"); }

  Handle handle() const override { return handle_; }
  Handle controlHandle(const Control& control) const override {
    Handle h = handle_;
    for (const Control& c : form_.controls()) {
      ++h;
      if (&c == &control) return h;
    }
    return 0;
  }
  Handle controlPicture(const Control& control) const override {
    return control.design().iconResource ? 0x1C00 + control.design().iconResource : 0;
  }
  void Show() override {
    visible_ = true;
    Log("show");
  }
  void Hide() override {
    visible_ = false;
    Log("hide");
  }
  bool Visible() const override { return visible_; }
  void SetCaption(const std::string& caption) override { Log("caption " + caption); }
  void ControlChanged(const Control& control) override { Log("change " + control.name()); }
  const MenuItem* TrackPopupMenu(const Menu& menu, const MenuItem* defaultItem) override {
    Log("popup " + menu.name);
    system_.lastMenuCaptions.clear();
    const MenuItem* chosen = nullptr;
    for (const MenuItem& item : menu.items) {
      system_.lastMenuCaptions.push_back(item.caption);
      if (item.caption == system_.nextMenuChoice) chosen = &item;
    }
    system_.lastMenuDefault = defaultItem ? defaultItem->caption : "";
    system_.nextMenuChoice.clear();
    return chosen;
  }

 private:
  void Log(const std::string& what) {
    system_.log_.push_back("window " + what + " " + form_.design().caption);
  }

  HeadlessWindows& system_;
  Form& form_;
  Handle handle_;
  bool visible_ = false;
};

std::unique_ptr<FormWindow> HeadlessWindows::Create(Form& form) {
  const Handle handle = nextHandle_;
  nextHandle_ += 0x100;
  return std::make_unique<HeadlessWindow>(*this, form, handle);
}

}  // namespace keyhush::testing
