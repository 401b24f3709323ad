#include "app/program.h"

#include "about/frm_about.h"
#include "app/frm_main.h"
#include "hotkey/form1.h"
#include "settings/form_settings.h"
#include "settings/frm_new_hot_key.h"

namespace keyhush {

namespace {
template <typename T>
T& FirstReference(std::unique_ptr<T>& window, Program& program) {
  if (!window) window = std::make_unique<T>(program);
  return *window;
}
}  // namespace

Program::Program(Platform& platform, WindowSystem& windows)
    : platform_(platform),
      windows_(windows),
      hotKey_(platform, [this]() -> Form1& { return lockWindow(); }) {}

Program::~Program() = default;

void Program::Start() {
  // The main window's load handler does the rest: it hides the window, adds the tray icon and
  // loads the settings window.
  mainWindow().Load();
}

frmMain& Program::mainWindow() {
  return FirstReference(mainWindow_, *this);
}
FormSettings& Program::settingsWindow() {
  return FirstReference(settingsWindow_, *this);
}
Form1& Program::lockWindow() {
  return FirstReference(lockWindow_, *this);
}
frmAbout& Program::aboutWindow() {
  return FirstReference(aboutWindow_, *this);
}
frmNewHotKey& Program::newHotKeyWindow() {
  return FirstReference(newHotKeyWindow_, *this);
}

}  // namespace keyhush
