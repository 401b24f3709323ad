#pragma once

#include "runtime/form.h"
#include "settings/hot_key_settings.h"

namespace keyhush {

class Program;

// The settings window. It also owns the hot key: the hot key is registered on its window, which
// lives, shown or hidden, as long as the program.
class FormSettings : public Form {
 public:
  explicit FormSettings(Program& program);

  HotKeySettings& hotKeySettings() { return hotKeySettings_; }

 protected:
  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;

 private:
  Program& program_;
  HotKeySettings hotKeySettings_;
};

}  // namespace keyhush
