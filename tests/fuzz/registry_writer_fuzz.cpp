// The registry writer fed any type and any text. Input: the type as one signed byte (so that
// negative and unknown types come up as often as the known ones), then the value's text.
#include <cassert>
#include <cstdlib>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "settings/registry_writer.h"

using namespace keyhush;

// The bytes stored: none for a type the writer does not know, or for DWORD text that is not at
// most eight plain decimal digits after an optional minus sign.
static std::optional<std::vector<uint8_t>> Expected(int32_t type, const std::string& text) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  if (type == REG_SZ || type == REG_EXPAND_SZ) bytes.push_back(0);
  if (type == REG_MULTI_SZ) bytes.insert(bytes.end(), {0, 0});
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ || type == REG_BINARY)
    return bytes;
  static const std::regex kNumber("-?[0-9]+");
  const std::string head = text.substr(0, 8);
  if (type != REG_DWORD || !std::regex_match(head, kNumber)) return std::nullopt;
  const auto value = static_cast<uint32_t>(std::strtol(head.c_str(), nullptr, 10));
  return std::vector<uint8_t>{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t type = static_cast<int8_t>(data[0]);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  testing::FakePlatform platform;
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, "Software\\Fuzz\\", "Value", type,
                                           text);
  // No text, no call; else created, written when the type and text allow it, and closed.
  const auto bytes = Expected(type, text);
  assert(platform.calls.size() == (text.empty() ? 0u : bytes ? 3u : 2u));
  if (text.empty()) return 0;
  assert(platform.calls.front().starts_with("RegCreateKeyA("));
  assert(platform.calls.back() == "RegCloseKey(4096)");
  const auto& values = platform.registry["HKCU\\Software\\Fuzz"];
  assert(values.count("Value") == (bytes ? 1u : 0u));
  assert(!bytes || (values.at("Value").type == static_cast<uint32_t>(type) &&
                    values.at("Value").data == *bytes));
  return 0;
}
