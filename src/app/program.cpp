#include "app/program.h"

namespace keyhush {

Program::Program(Platform& platform, WindowSystem& windows)
    : platform_(platform), windows_(windows), hotKey_(platform, [this]() -> Form1& { return lockWindow(); }) {}

void Program::Start() {
  FormSettings& settings = settingsWindow();
  settings.Load();
  settings.Hide();
}

FormSettings& Program::settingsWindow() {
  if (!settingsWindow_) settingsWindow_ = std::make_unique<FormSettings>(windows_, platform_, hotKey_);
  return *settingsWindow_;
}

Form1& Program::lockWindow() {
  if (!lockWindow_) lockWindow_ = std::make_unique<Form1>(windows_, platform_);
  return *lockWindow_;
}

}  // namespace keyhush
