#include "settings/frm_new_hot_key.h"

#include <utility>

#include "runtime/texts.h"

namespace keyhush {

namespace {

constexpr int16_t kEnterKey = 0x0D, kEscapeKey = 0x1B;

Control::Design Label(const char* name, std::string text, int32_t top,
                      std::vector<std::string> fit = {}, bool underline = false) {
  return {.name = name,
          .kind = ControlKind::Label,
          .text = std::move(text),
          .left = 240,
          .top = top,
          .width = 5520,
          .height = 285,
          .font = underline ? std::optional(Font{.underline = true}) : std::nullopt,
          .fit = std::move(fit)};
}

// Every reason a combination can be refused for.
std::vector<std::string> Reasons(Platform& texts) {
  std::vector<std::string> reasons;
  for (int id : {IDS_REFUSE_NEVER, IDS_REFUSE_F12, IDS_REFUSE_WIN_L, IDS_REFUSE_CTRL_ALT_DEL,
                 IDS_REFUSE_SHIFT_ALONE, IDS_REFUSE_TYPING})
    reasons.push_back(texts.Text(id));
  return reasons;
}

// OK is the default button, Cancel the cancel button, for when the keys come as messages.
Control::Design Button(const char* name, std::string text, int32_t left, bool isOK) {
  return {.name = name,
          .kind = ControlKind::CommandButton,
          .text = std::move(text),
          .left = left,
          .top = 1620,
          .width = 1455,
          .height = 420,
          .tabIndex = isOK ? 0 : 1,
          .isDefault = isOK,
          .isCancel = !isOK};
}

}  // namespace

frmNewHotKey::frmNewHotKey(WindowSystem& windows, Platform& texts)
    : Form(windows, FormDesign{.caption = texts.Text(IDS_NEW_CAPTION),
                               .clientWidth = 6000,
                               .clientHeight = 2280,
                               .border = BorderStyle::FixedDialog,
                               .showInTaskbar = false,
                               .startUp = StartUpPosition::CenterScreen,
                               .capturesKeys = true}),
      lblPrompt(Add(Label("lblPrompt", texts.Text(IDS_NEW_PROMPT), 240))),
      lblHotKey(Add(Label(
          "lblHotKey", "", 660,
          {CombinationDisplayText({MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_WIN, 0x22}, texts)},
          true))),
      lblReason(Add(Label("lblReason", "", 1080, Reasons(texts)))),
      cmdOK(Add(Button("cmdOK", texts.Text(IDS_NEW_OK), 2640, true))),
      cmdCancel(Add(Button("cmdCancel", texts.Text(IDS_NEW_CANCEL), 4305, false))),
      texts_(texts) {
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmNewHotKey::Open(Form& owner, Completion done) {
  done_ = std::move(done);
  try {
    ShowModal(owner);
  } catch (...) {
    // Not shown: the opener learns so from the error, not from a completion as well.
    done_ = nullptr;
    throw;
  }
}

void frmNewHotKey::Form_Load() {
  heldModifierKeys_.clear();
  keySinceModifierDown_ = false;
  pressed_.reset();
  ShowPressed();
}

int32_t frmNewHotKey::HeldModifiers() const {
  int32_t modifiers = 0;
  for (int16_t key : heldModifierKeys_) modifiers |= ModifierOfKey(key);
  return modifiers;
}

void frmNewHotKey::Form_KeyDown(int16_t keyCode) {
  if (ModifierOfKey(keyCode)) {
    // A repeat of a modifier already held changes nothing.
    if (heldModifierKeys_.insert(keyCode).second) keySinceModifierDown_ = false;
    ShowPressed();
    return;
  }
  const int32_t modifiers = HeldModifiers();
  if (modifiers == 0 && keyCode == kEscapeKey) return cmdCancel_Click();
  if (modifiers == 0 && keyCode == kEnterKey && cmdOK.Enabled()) return cmdOK_Click();
  pressed_ = HotKeyCombination{modifiers, keyCode};
  keySinceModifierDown_ = true;
  ShowPressed();
}

void frmNewHotKey::Form_KeyUp(int16_t keyCode) {
  if (heldModifierKeys_.erase(keyCode)) ShowPressed();
}

void frmNewHotKey::ShowPressed() {
  const int32_t modifiers = HeldModifiers();
  // Modifiers held with no key yet: the combination as far as it goes.
  if (modifiers != 0 && !keySinceModifierDown_) {
    lblHotKey.SetText(CombinationDisplayText({modifiers, 0}, texts_));
    lblReason.SetText("");
    cmdOK.SetEnabled(false);
    return;
  }
  const int reason = pressed_ ? RefusalReason(*pressed_) : 0;
  lblHotKey.SetText(pressed_ ? CombinationDisplayText(*pressed_, texts_) : "");
  lblReason.SetText(reason ? texts_.Text(reason) : "");
  cmdOK.SetEnabled(pressed_ && reason == 0);
}

void frmNewHotKey::cmdOK_Click() {
  if (!pressed_ || !cmdOK.Enabled()) return;
  const HotKeyCombination combination = *pressed_;
  const Completion done = std::exchange(done_, nullptr);
  Unload();
  if (done) done(combination);
}

void frmNewHotKey::cmdCancel_Click() {
  Unload();
}

void frmNewHotKey::Form_Unload(int16_t& /*cancel*/) {
  // Cancel, Esc and the close box: the opener keeps what it had.
  if (const Completion done = std::exchange(done_, nullptr)) done(std::nullopt);
}

}  // namespace keyhush
