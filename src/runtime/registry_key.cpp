#include "runtime/registry_key.h"

#include <cstring>

#include "runtime/win32_constants.h"

namespace keyhush {

RegistryKey::RegistryKey(Platform& platform, Handle root, const std::string& subKey,
                         uint32_t access)
    : platform_(platform), key_(0, {&platform}) {
  Handle opened = 0;
  if (platform.RegOpenKeyExA(root, subKey, 0, access, opened) == 0) key_.reset(opened);
}

RegistryKey RegistryKey::Create(Platform& platform, Handle root, const std::string& subKey) {
  Handle created = 0;
  // Without a key there is nothing to write into and nothing to close.
  if (platform.RegCreateKeyA(root, subKey, created) != 0) created = 0;
  return RegistryKey(platform, created);
}

std::optional<RegistryKey::Value> RegistryKey::Read(const std::string& name) const {
  if (!key_) return std::nullopt;
  Value value{0, std::vector<uint8_t>(kLargestValue)};
  uint32_t size = kLargestValue;
  if (platform_.RegQueryValueExA(key_.get(), name, value.type, value.data.data(), size) != 0 ||
      size > kLargestValue) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

std::optional<std::string> RegistryKey::Text(const std::string& name) const {
  const auto value = Read(name);
  if (!value || value->type != REG_SZ) return std::nullopt;
  const std::string text(value->data.begin(), value->data.end());
  return text.substr(0, text.find('\0'));
}

std::optional<uint32_t> RegistryKey::Number(const std::string& name) const {
  const auto value = Read(name);
  if (!value || value->type != REG_DWORD || value->data.size() != sizeof(uint32_t))
    return std::nullopt;
  uint32_t number = 0;
  std::memcpy(&number, value->data.data(), sizeof number);
  return number;
}

void RegistryKey::Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) {
  if (key_) platform_.RegSetValueExA(key_.get(), name, type, data);
}

void RegistryKey::Delete(const std::string& name) {
  if (key_) platform_.RegDeleteValueA(key_.get(), name);
}

}  // namespace keyhush
