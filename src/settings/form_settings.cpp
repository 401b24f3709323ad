#include "settings/form_settings.h"

namespace keyhush {

FormSettings::FormSettings(WindowSystem& windows, Platform& platform, HotKey& hotKey)
    : Form(windows, FormDesign{.caption = "Key hush settings",
                               .clientWidth = 6255,
                               .clientHeight = 4485,
                               .border = BorderStyle::Sizable,
                               .startUp = StartUpPosition::CenterScreen}),
      platform_(platform),
      hotKey_(hotKey),
      hotKeySettings_(platform, hotKey) {}

void FormSettings::Form_Load() { hotKeySettings_.RestoreSavedHotKey(hWnd()); }

void FormSettings::Form_Unload(int16_t& cancel) {
  cancel = 1;
  Hide();
}

}  // namespace keyhush
