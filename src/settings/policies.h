#pragma once

#include <optional>
#include <string>

#include "hotkey/combination.h"
#include "runtime/platform.h"

namespace keyhush {

// What an organisation decides for the user; nothing where it leaves the choice to the user.
struct Policies {
  std::optional<HotKeyCombination> hotKey;
  std::optional<bool> startAtLogon;
  std::optional<bool> turnOffDisplays;
  // The machine-wide log-on entry the installer can make names this program: it starts for
  // everyone, and a per-user entry would start a second copy.
  bool startedForEveryone = false;

  // Start at log-on as the organisation decides it, the machine-wide entry first; nothing while
  // the user decides.
  std::optional<bool> DecidedStart() const {
    return startedForEveryone ? std::optional(true) : startAtLogon;
  }
  bool operator==(const Policies&) const = default;
};

// Reads the policies, the computer's before the user's: a value that is absent, of another type
// or not usable leaves the choice to the other, then to the user.
Policies ReadPolicies(Platform& platform, const std::string& executablePath);

}  // namespace keyhush
