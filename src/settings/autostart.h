#pragma once

#include <string>

#include "runtime/platform.h"
#include "settings/registry_writer.h"

namespace keyhush {

// Start at log-on: the Run value under HKEY_CURRENT_USER and the saved start-up flag.
class Autostart {
 public:
  explicit Autostart(Platform& platform) : platform_(platform), registry_(platform) {}

  // Whether the saved start-up flag is exactly "true".
  bool ReadStartupFlag();
  // Writes the Run value (the quoted executable path) or removes it, then saves the flag.
  void ApplyAutostart(bool wanted);
  // The Run value alone, as a policy wants it: the user's own flag stays as saved.
  void WriteRunValue(bool wanted);
  // The running executable: its folder as reported, a backslash, its base name and ".exe".
  std::string ExecutablePath();

 private:
  Platform& platform_;
  modRegistry registry_;
};

}  // namespace keyhush
