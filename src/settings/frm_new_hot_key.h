#pragma once

#include <functional>
#include <optional>
#include <set>

#include "hotkey/combination.h"
#include "runtime/form.h"

namespace keyhush {

// Takes a hot key of the user's own by its being pressed. It shows each combination as it is
// pressed and the last whole one after the keys are let go, says why one cannot be used, and
// hands a usable one to whoever opened it on OK. Esc pressed alone cancels, Enter alone is OK.
class frmNewHotKey : public Form {
 public:
  // Called once when the window closes: with the combination on OK, with nothing on Cancel, Esc
  // or the close box.
  using Completion = std::function<void(const std::optional<HotKeyCombination>&)>;

  frmNewHotKey(WindowSystem& windows, Platform& texts);

  // Shows the window in front of `owner`, which takes no input meanwhile.
  void Open(Form& owner, Completion done);

  void cmdOK_Click();
  void cmdCancel_Click();

  Control& lblPrompt;
  Control& lblHotKey;
  Control& lblReason;
  Control& cmdOK;
  Control& cmdCancel;

 protected:
  void Form_Load() override;
  void Form_KeyDown(int16_t keyCode) override;
  void Form_KeyUp(int16_t keyCode) override;
  void Form_Unload(int16_t& cancel) override;

 private:
  int32_t HeldModifiers() const;
  void ShowPressed();

  Platform& texts_;
  Completion done_;
  std::set<int16_t> heldModifierKeys_;  // left and right ones apart
  bool keySinceModifierDown_ = false;
  std::optional<HotKeyCombination> pressed_;  // the last whole combination
};

}  // namespace keyhush
