#pragma once

#include "runtime/form.h"
#include "settings/autostart.h"
#include "settings/hot_key_settings.h"
#include "settings/policies.h"

namespace keyhush {

class Program;

// The settings window. It also owns the hot key: the hot key is registered on its window, which
// lives, shown or hidden, as long as the program.
class FormSettings : public Form {
 public:
  explicit FormSettings(Program& program);

  HotKeySettings& hotKeySettings() { return hotKeySettings_; }
  // Whether the system refused the hot key last registered, as another program holds it.
  bool HotKeyRefused() const;

  void Combo1_Click();
  void Check1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  // What the user did in the window that takes a new hot key.
  void NewHotKeyChosen(const HotKeyCombination& combination);
  void NewHotKeyCancelled();

  Control& Label1;
  Control& Command1;
  Control& Label2;
  Control& Combo1;
  Control& Current;
  Control& Label3;
  Control& Command2;
  Control& Command3;
  Control& Check1;
  Control& Command4;
  Control& Line2;
  Control& Command5;
  Control& lblPolicy;

 protected:
  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;
  void PoliciesChanged() override;

 private:
  // The active hot key as Label2 shows it, marked when the system refused it.
  std::string CurrentHotKeyText() const;
  // What the organisation decides, over the user's choice; the controls it decides are disabled.
  void ApplyPolicies(const Policies& policies);

  Program& program_;
  HotKeySettings hotKeySettings_;
  Autostart autostart_;
  // Start at log-on as a policy or the machine-wide entry decides it; nothing while the user does.
  std::optional<bool> startManaged_;
};

}  // namespace keyhush
