#pragma once

#include <cstdint>
#include <string>

#include "runtime/form.h"
#include "runtime/win32_constants.h"

namespace keyhush {

// The hidden window that locks the workstation. It is never shown.
class Form1 : public Form {
 public:
  Form1(WindowSystem& windows, Platform& platform);

  // The lock action: the system folder onto the clipboard, then the lock command.
  void Command1_Click();
  // The folder's path, or empty when the lookup failed or left no usable path.
  std::string GetSpecialFolderPath(int32_t folderNumber);

  Control& Command1;

 private:
  Platform& platform_;
};

}  // namespace keyhush
