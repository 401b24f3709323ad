#pragma once

#include <optional>
#include <string>

#include "hotkey/combination.h"
#include "runtime/platform.h"

namespace keyhush {

// Where an organisation's policies for the program live, under HKEY_LOCAL_MACHINE (the
// computer's) and HKEY_CURRENT_USER (the user's). The program only reads them.
inline constexpr const char* kPolicyKeyPath = "Software\\Policies\\Key hush";
inline constexpr const char* kHotKeyPolicy = "HotKey";              // text, as "Ctrl+Alt+L"
inline constexpr const char* kStartAtLogonPolicy = "StartAtLogon";  // number: 1 or 0

// What an organisation decides for the user; nothing where it leaves the choice to the user.
struct Policies {
  std::optional<HotKeyCombination> hotKey;
  std::optional<bool> startAtLogon;
  // The machine-wide log-on entry the installer can make names this program: it starts for
  // everyone, and a per-user entry would start a second copy.
  bool startedForEveryone = false;

  // Start at log-on as the organisation decides it, the machine-wide entry first; nothing while
  // the user decides.
  std::optional<bool> DecidedStart() const {
    return startedForEveryone ? std::optional(true) : startAtLogon;
  }
};

// Reads the policies, the computer's before the user's: a value that is absent, of another type
// or not usable leaves the choice to the other, then to the user.
Policies ReadPolicies(Platform& platform, const std::string& executablePath);

}  // namespace keyhush
