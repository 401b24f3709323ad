#pragma once

#include <cstdint>
#include <string>

#include "runtime/form.h"

namespace keyhush {

class Program;

inline constexpr int32_t CSIDL_SYSTEM = 0x25;
inline constexpr int kMaxPath = 260;
inline constexpr uint32_t SHGFP_TYPE_DEFAULT = 1;
inline constexpr int32_t SW_SHOWNORMAL = 1;

// The hidden window that locks the workstation. It is never shown.
class Form1 : public Form {
 public:
  explicit Form1(Program& program);

  // The lock action: the system folder onto the clipboard, then the lock command.
  void Command1_Click();
  // The folder's path, or empty when the lookup failed or left no usable path.
  std::string GetSpecialFolderPath(int32_t folderNumber);

  Control& Command1;

 private:
  Platform& platform_;
};

}  // namespace keyhush
