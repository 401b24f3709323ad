#include "settings/policies.h"

#include "runtime/registry_key.h"
#include "runtime/win32_constants.h"
#include "settings/settings_places.h"

namespace keyhush {

namespace {

// A switch is exactly 0 or 1; any other number is no usable value.
std::optional<bool> SwitchOf(const std::optional<uint32_t>& number) {
  if (!number || *number > 1) return std::nullopt;
  return *number == 1;
}

}  // namespace

Policies ReadPolicies(Platform& platform, const std::string& executablePath) {
  Policies policies;
  for (Handle root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
    const RegistryKey key(platform, root, kPolicyKeyPath, KEY_QUERY_VALUE);
    if (!key) continue;
    if (!policies.hotKey) {
      if (const auto text = key.Text(kHotKeyPolicy)) policies.hotKey = UsableCombination(*text);
    }
    if (!policies.startAtLogon) policies.startAtLogon = SwitchOf(key.Number(kStartAtLogonPolicy));
    if (!policies.turnOffDisplays)
      policies.turnOffDisplays = SwitchOf(key.Number(kTurnOffDisplaysPolicy));
  }
  auto command =
      RegistryKey(platform, kHkeyLocalMachine, kRunKeyPath, KEY_QUERY_VALUE).Text(kRunValueName);
  if (command && command->size() >= 2 && command->front() == '"' && command->back() == '"')
    command = command->substr(1, command->size() - 2);
  policies.startedForEveryone = command && SameLetters(*command, executablePath);
  return policies;
}

}  // namespace keyhush
