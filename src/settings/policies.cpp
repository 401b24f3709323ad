#include "settings/policies.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "runtime/unique_handle.h"
#include "settings/autostart.h"
#include "settings/registry_writer.h"

namespace keyhush {

namespace {

constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
// Policy texts are short; anything longer is no usable value.
constexpr uint32_t kLargestValue = 1024;

struct Value {
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

std::optional<Value> ReadValue(Platform& platform, Handle root, const std::string& subKey,
                               const std::string& name) {
  Handle opened = 0;
  if (platform.RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, opened) != 0) return std::nullopt;
  const UniqueHandle key(opened, [&platform](Handle open) { platform.RegCloseKey(open); });
  Value value{0, std::vector<uint8_t>(kLargestValue)};
  uint32_t size = kLargestValue;
  if (platform.RegQueryValueExA(key.get(), name, value.type, value.data.data(), size) != 0 ||
      size > kLargestValue) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

// Text ends at its first NUL, as Windows reads it.
std::optional<std::string> TextOf(const std::optional<Value>& value) {
  if (!value || value->type != REG_SZ) return std::nullopt;
  const std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

std::optional<bool> SwitchOf(const std::optional<Value>& value) {
  if (!value || value->type != REG_DWORD || value->data.size() != 4) return std::nullopt;
  uint32_t number = 0;
  std::memcpy(&number, value->data.data(), sizeof number);
  if (number > 1) return std::nullopt;
  return number == 1;
}

bool SamePath(std::string a, std::string b) {
  const auto lower = [](std::string& text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  };
  lower(a);
  lower(b);
  return a == b;
}

}  // namespace

Policies ReadPolicies(Platform& platform, const std::string& executablePath) {
  Policies policies;
  for (Handle root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
    if (!policies.hotKey) {
      if (const auto text = TextOf(ReadValue(platform, root, kPolicyKeyPath, kHotKeyPolicy)))
        policies.hotKey = UsableCombination(*text);
    }
    if (!policies.startAtLogon)
      policies.startAtLogon =
          SwitchOf(ReadValue(platform, root, kPolicyKeyPath, kStartAtLogonPolicy));
  }
  std::string runKey = kRunKeyPath;
  runKey.pop_back();  // its closing backslash
  auto command = TextOf(ReadValue(platform, kHkeyLocalMachine, runKey, kRunValueName));
  if (command && command->size() >= 2 && command->front() == '"' && command->back() == '"')
    command = command->substr(1, command->size() - 2);
  policies.startedForEveryone = command && SamePath(*command, executablePath);
  return policies;
}

}  // namespace keyhush
