#pragma once

#include <functional>
#include <optional>

#include "runtime/form.h"
#include "settings/frm_new_hot_key.h"
#include "settings/settings_chain.h"

namespace keyhush {

// The settings window. It also owns the hot key: the hot key is registered on its window, which
// lives, shown or hidden, as long as the program.
class FormSettings : public Form {
 public:
  // What the window opens or ends, which the program provides.
  struct Links {
    std::function<void()> showAbout;
    // Opens the window that takes a new hot key in front of `owner`; it reports how it ended.
    std::function<void(Form& owner, frmNewHotKey::Completion done)> askNewHotKey;
    std::function<void()> exit;
  };

  FormSettings(WindowSystem& windows, Platform& texts, SettingsChain& settings, Links links);

  // Whether the system refused the hot key last registered, as another program holds it.
  bool HotKeyRefused() const { return settings_.hotKey().Refused(); }

  void Combo1_Click();
  void Check1_Click();
  void Check2_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  // How the window that takes a new hot key ended: with a combination, or cancelled.
  void NewHotKeyDone(const std::optional<HotKeyCombination>& chosen);

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
  Control& Check2;

 protected:
  void Form_Load() override;
  void Form_Unload(int16_t& cancel) override;
  void PoliciesChanged() override;

 private:
  // The active hot key as Label2 shows it, marked when the system refused it.
  std::string CurrentHotKeyText() const;
  // Shows what the settings decide; the controls a policy decides are disabled.
  void ShowDecided();

  Platform& texts_;
  SettingsChain& settings_;
  Links links_;
  bool showingOnly_ = false;  // the program sets a box to show a choice, not the user
};

}  // namespace keyhush
