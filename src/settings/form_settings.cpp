#include "settings/form_settings.h"

#include "app/program.h"

namespace keyhush {

FormSettings::FormSettings(Program& program)
    : Form(program.windows(), FormDesign{.caption = "Key hush settings",
                                         .clientWidth = 6255,
                                         .clientHeight = 4485,
                                         .border = BorderStyle::Sizable,
                                         .startUp = StartUpPosition::CenterScreen}),
      program_(program),
      hotKeySettings_(program.platform(), program.hotKey()) {}

void FormSettings::Form_Load() {
  hotKeySettings_.RestoreSavedHotKey(hWnd());
}

void FormSettings::Form_Unload(int16_t& cancel) {
  cancel = 1;
  Hide();
}

}  // namespace keyhush
