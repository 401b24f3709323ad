#include "settings/form_settings.h"

#include <algorithm>
#include <vector>

#include "runtime/texts.h"

namespace keyhush {

namespace {

std::vector<std::string> ChoiceTexts(Platform& texts) {
  std::vector<std::string> list;
  for (const HotKeyChoice& choice : hotKeyChoices)
    list.push_back(CombinationDisplayText({choice.modifier, choice.keyCode}, texts));
  return list;
}

// What the organisation decides, by the mix of the hot key (1), start at log-on (2) and turning
// the displays off (4): nothing for none.
std::string PolicyText(Platform& texts, int decided) {
  return decided == 0 ? std::string() : texts.Text(IDS_POLICY_BASE + decided);
}

std::vector<std::string> PolicyTexts(Platform& texts) {
  std::vector<std::string> all;
  for (int decided = 1; decided <= 7; ++decided) all.push_back(PolicyText(texts, decided));
  return all;
}

Control::Design Button(const char* name, std::string text, int32_t left, int32_t top,
                       int tabIndex) {
  return {.name = name,
          .kind = ControlKind::CommandButton,
          .text = text,
          .left = left,
          .top = top,
          .width = 1695,
          .height = 450,
          .tabIndex = tabIndex};
}

}  // namespace

FormSettings::FormSettings(WindowSystem& windows, Platform& texts, SettingsChain& settings,
                           Links links)
    : Form(windows, FormDesign{.caption = texts.Text(IDS_SETTINGS_CAPTION),
                               .clientWidth = 6255,
                               .clientHeight = 4845,
                               .border = BorderStyle::Sizable,
                               .minButton = false,
                               .maxButton = false,
                               .showInTaskbar = true,
                               .startUp = StartUpPosition::CenterScreen,
                               .font = Font{}}),
      Label1(Add({.name = "Label1",
                  .kind = ControlKind::Label,
                  .text = texts.Text(IDS_DESCRIPTION),
                  .left = 240,
                  .top = 1200,
                  .width = 5805,
                  .height = 1425,
                  .tabIndex = 0,
                  .font = Font{.face = "Arial", .points = 11.25}})),
      Command1(Add(Button("Command1", texts.Text(IDS_SETTINGS_OK), 120, 4200, 1))),
      Label2(Add({.name = "Label2",
                  .kind = ControlKind::Label,
                  .left = 1560,
                  .top = 105,
                  .width = 2475,
                  .height = 285,
                  .tabIndex = 2,
                  .font = Font{.underline = true},
                  // An entry of the list or a combination of one's own, unavailable.
                  .fit = {texts.Text(IDS_MOD_WIN) + " X" + texts.Text(IDS_UNAVAILABLE),
                          CombinationDisplayText({MOD_CONTROL | MOD_ALT, 'L'}, texts) +
                              texts.Text(IDS_UNAVAILABLE)}})),
      Combo1(Add({.name = "Combo1",
                  .kind = ControlKind::DropDownCombo,
                  .text = "Combo1",
                  .left = 2040,
                  .top = 675,
                  .width = 2070,
                  .height = 315,
                  .tabIndex = 3,
                  .list = ChoiceTexts(texts)})),
      Current(Add({.name = "Current",
                   .kind = ControlKind::Label,
                   .text = texts.Text(IDS_CURRENT_HOT_KEY),
                   .left = 120,
                   .top = 120,
                   // Wide enough for its text on one line at every scaling.
                   .width = 1275,
                   .height = 270,
                   .tabIndex = 4})),
      Label3(Add({.name = "Label3",
                  .kind = ControlKind::Label,
                  .text = texts.Text(IDS_SELECT_HOT_KEY),
                  .left = 120,
                  .top = 690,
                  .width = 1770,
                  .height = 270,
                  .tabIndex = 5})),
      Command2(Add(Button("Command2", texts.Text(IDS_SETTINGS_CANCEL), 1920, 4200, 6))),
      Command3(Add(Button("Command3", texts.Text(IDS_SETTINGS_EXIT), 4440, 4200, 7))),
      Check1(Add({.name = "Check1",
                  .kind = ControlKind::CheckBox,
                  .text = texts.Text(IDS_START_AT_LOGON),
                  .left = 240,
                  .top = 3240,
                  .width = 5895,
                  .height = 255,
                  .tabIndex = 8})),
      Command4(Add(Button("Command4", texts.Text(IDS_SETTINGS_ABOUT), 4440, 120, 10))),
      Line2(Add({.name = "Line2",
                 .kind = ControlKind::Line,
                 .left = 240,
                 .top = 2880,
                 .right = 6120,
                 .bottom = 2880})),
      // Beside the list it offers more than; reached by the mouse or its access key, so that the
      // keyboard's round of the window stays as it was.
      Command5(Add(Button("Command5", texts.Text(IDS_SETTINGS_OTHER), 4440, 600, -1))),
      // Says what the user's organisation decides; empty while it decides nothing.
      lblPolicy(Add({.name = "lblPolicy",
                     .kind = ControlKind::Label,
                     .left = 240,
                     .top = 2940,
                     .width = 5895,
                     .height = 255,
                     .fit = PolicyTexts(texts)})),
      // Under the first box, and next to it in the keyboard's round.
      Check2(Add({.name = "Check2",
                  .kind = ControlKind::CheckBox,
                  .text = texts.Text(IDS_DISPLAYS_OFF),
                  .left = 240,
                  .top = 3600,
                  .width = 5895,
                  .height = 255,
                  .tabIndex = 9})),
      texts_(texts),
      settings_(settings),
      links_(std::move(links)) {
  Combo1.Click = [this] { Combo1_Click(); };
  Check1.Click = [this] { Check1_Click(); };
  Check2.Click = [this] { Check2_Click(); };
  Command1.Click = [this] { Command1_Click(); };
  Command2.Click = [this] { Command2_Click(); };
  Command3.Click = [this] { Command3_Click(); };
  Command4.Click = [this] { Command4_Click(); };
  Command5.Click = [this] { Command5_Click(); };
}

std::string FormSettings::CurrentHotKeyText() const {
  std::string text = settings_.hotKey().HotKeyDisplayText();
  if (HotKeyRefused()) text += texts_.Text(IDS_UNAVAILABLE);
  return text;
}

void FormSettings::Form_Load() {
  settings_.ReadPolicies();
  // Ticking the box runs Check1_Click, which rewrites the Run value from where the program is now.
  if (!settings_.DecidedStart() && settings_.UserStartAtLogon()) Check1.SetValue(kChecked);
  settings_.HoldHotKey(hWnd());
  ShowDecided();
}

void FormSettings::PoliciesChanged() {
  const bool startWasDecided = settings_.DecidedStart().has_value();
  const bool displaysWereDecided = settings_.policies().turnOffDisplays.has_value();
  settings_.RefreshPolicies(hWnd());
  ShowDecided();
  // The user's choice back once no policy decides; the chain has written its Run value, and
  // showing it is no click of the user's.
  if (startWasDecided && !settings_.DecidedStart()) {
    showingOnly_ = true;
    Check1.SetValue(settings_.UserStartAtLogon() ? kChecked : kUnchecked);
    showingOnly_ = false;
  }
  if (displaysWereDecided && !settings_.policies().turnOffDisplays)
    Check2.SetValue(settings_.UserTurnOffDisplays() ? kChecked : kUnchecked);
}

void FormSettings::ShowDecided() {
  const Policies& policies = settings_.policies();
  Combo1.SetEnabled(!policies.hotKey);
  Command5.SetEnabled(!policies.hotKey);
  Label2.SetText(CurrentHotKeyText());
  Combo1.SetText(settings_.hotKey().HotKeyDisplayText());

  const auto start = settings_.DecidedStart();
  Check1.SetEnabled(!start);
  // Check1_Click leaves a decided box alone: the user's own flag stays as saved.
  if (start) Check1.SetValue(*start ? kChecked : kUnchecked);
  const auto displays = policies.turnOffDisplays;
  Check2.SetEnabled(!displays);
  if (displays) Check2.SetValue(*displays ? kChecked : kUnchecked);
  lblPolicy.SetText(
      PolicyText(texts_, (policies.hotKey ? 1 : 0) | (start ? 2 : 0) | (displays ? 4 : 0)));
}

void FormSettings::Combo1_Click() {
  if (settings_.hotKey().ApplyHotKeyChoice(hWnd(), static_cast<int16_t>(Combo1.ListIndex())))
    Label2.SetText(CurrentHotKeyText());
}

void FormSettings::Check1_Click() {
  if (!showingOnly_) settings_.SetStartAtLogon(Check1.Value() == kChecked);
}

void FormSettings::Check2_Click() {
  settings_.SetTurnOffDisplays(Check2.Value() == kChecked);
}

void FormSettings::Command1_Click() {
  settings_.hotKey().SaveHotKeySettings();
  settings_.SetStartAtLogon(Check1.Value() == kChecked);
  settings_.SetTurnOffDisplays(Check2.Value() == kChecked);
  Hide();
}

void FormSettings::Command2_Click() {
  Hide();
}

void FormSettings::Command3_Click() {
  links_.exit();
}

void FormSettings::Command4_Click() {
  links_.showAbout();
}

void FormSettings::Command5_Click() {
  // Pressing the hot key held now must show it, not lock.
  settings_.hotKey().SuspendHotKey(hWnd());
  try {
    links_.askNewHotKey(
        *this, [this](const std::optional<HotKeyCombination>& chosen) { NewHotKeyDone(chosen); });
  } catch (...) {
    // The window could not be shown: the hot key held before holds again.
    settings_.hotKey().ResumeHotKey(hWnd());
    throw;
  }
}

void FormSettings::NewHotKeyDone(const std::optional<HotKeyCombination>& chosen) {
  if (!chosen) return settings_.hotKey().ResumeHotKey(hWnd());
  settings_.hotKey().ApplyOwnCombination(hWnd(), *chosen);
  Label2.SetText(CurrentHotKeyText());
  Combo1.SetText(settings_.hotKey().HotKeyDisplayText());
}

void FormSettings::Form_Unload(int16_t& cancel) {
  cancel = 1;
  Hide();
}

}  // namespace keyhush
