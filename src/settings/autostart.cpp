#include "settings/autostart.h"

#include "settings/settings_places.h"

namespace keyhush {

bool Autostart::ReadStartupFlag() {
  return platform_.ReadSetting(kStartupApplication, kConfigSection, kStartupKey) == "true";
}

void Autostart::ApplyAutostart(bool wanted) {
  WriteRunValue(wanted);
  platform_.WriteSetting(kStartupApplication, kConfigSection, kStartupKey,
                         wanted ? "true" : "false");
}

void Autostart::WriteRunValue(bool wanted) {
  if (wanted) {
    // Quoted, so that a path with spaces names this program and nothing before its first space.
    registry_.WriteRegistryValue(kHkeyCurrentUser, kRunKeyPathAsWritten, kRunValueName, REG_SZ,
                                 "\"" + ExecutablePath() + "\"");
  } else {
    // No value at all: a placeholder would be started by the shell at every log-on.
    registry_.DeleteRegistryValue(kHkeyCurrentUser, kRunKeyPathAsWritten, kRunValueName);
  }
}

std::string Autostart::ExecutablePath() {
  return platform_.ExeFolder() + "\\" + platform_.ExeBaseName() + ".exe";
}

}  // namespace keyhush
