#include "settings/registry_writer.h"

#include <charconv>
#include <optional>
#include <vector>

#include "runtime/registry_key.h"

namespace keyhush {

namespace {

// A DWORD is made from the first eight characters alone: plain decimal digits with an optional
// minus sign. Anything else is no number.
std::optional<int32_t> DwordFrom(const std::string& text) {
  const std::string head = text.substr(0, 8);
  int32_t number = 0;
  const char* end = head.data() + head.size();
  const auto [stop, error] = std::from_chars(head.data(), end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

std::optional<std::vector<uint8_t>> BytesFor(int32_t valueType, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  switch (valueType) {
    case static_cast<int32_t>(REG_SZ):
    case static_cast<int32_t>(REG_EXPAND_SZ):
      bytes.push_back(0);
      return bytes;
    case static_cast<int32_t>(REG_BINARY):
      return bytes;
    case static_cast<int32_t>(REG_MULTI_SZ):
      bytes.insert(bytes.end(), {0, 0});
      return bytes;
    case static_cast<int32_t>(REG_DWORD): {
      const auto number = DwordFrom(text);
      if (!number) return std::nullopt;
      const auto value = static_cast<uint32_t>(*number);
      return std::vector<uint8_t>{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                                  static_cast<uint8_t>(value >> 16),
                                  static_cast<uint8_t>(value >> 24)};
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

void modRegistry::WriteRegistryValue(Handle root, const std::string& subKey,
                                     const std::string& valueName, int32_t valueType,
                                     const std::string& valueData) {
  if (valueData.empty()) return;
  RegistryKey key = RegistryKey::Create(platform_, root, subKey);
  if (!key) return;
  if (const auto bytes = BytesFor(valueType, valueData))
    key.Set(valueName, static_cast<uint32_t>(valueType), *bytes);
}

void modRegistry::DeleteRegistryValue(Handle root, const std::string& subKey,
                                      const std::string& valueName) {
  RegistryKey(platform_, root, subKey, KEY_SET_VALUE).Delete(valueName);
}

}  // namespace keyhush
