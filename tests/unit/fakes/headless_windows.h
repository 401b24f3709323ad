#pragma once

#include <string>
#include <vector>

#include "runtime/form.h"

namespace keyhush::testing {

// Realises forms without windows: hands out handles, keeps visibility, and logs what happened to
// each window ("create FormSettings", "show Key hush settings", ...). Shares the log of calls
// with the fake platform so that orders across both can be checked.
class HeadlessWindows : public WindowSystem {
 public:
  explicit HeadlessWindows(std::vector<std::string>& log) : log_(log) {}

  std::unique_ptr<FormWindow> Create(Form& form) override;

  // The menu item a pop-up menu returns next, by caption; empty: the menu is dismissed.
  std::string nextMenuChoice;
  // What the last pop-up menu showed: its items' captions, and the default item's caption.
  std::vector<std::string> lastMenuCaptions;
  std::string lastMenuDefault;

 private:
  friend class HeadlessWindow;
  std::vector<std::string>& log_;
  Handle nextHandle_ = 0x100;
};

}  // namespace keyhush::testing
