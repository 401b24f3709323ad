// The registry writer fed any type and any text. Input: the type as one signed byte (so that
// negative and unknown types come up as often as the known ones), then the value's text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "fuzz_check.h"
#include "settings/registry_writer.h"

namespace {

using namespace keyhush;

// A DWORD's text, read on its own terms: at most eight characters of plain decimal digits, an
// optional minus sign first. Anything else is no number.
bool IsDwordText(const std::string& head) {
  const size_t digits = !head.empty() && head.front() == '-' ? 1 : 0;
  if (head.size() == digits) return false;
  for (size_t i = digits; i < head.size(); ++i) {
    if (head[i] < '0' || head[i] > '9') return false;
  }
  return true;
}

std::vector<uint8_t> Expected(int32_t type, const std::string& text, bool& written) {
  std::vector<uint8_t> bytes(text.begin(), text.end());
  written = true;
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      bytes.push_back(0);
      return bytes;
    case REG_BINARY:
      return bytes;
    case REG_MULTI_SZ:
      bytes.insert(bytes.end(), {0, 0});
      return bytes;
    case REG_DWORD: {
      const std::string head = text.substr(0, 8);
      written = IsDwordText(head);
      if (!written) return {};
      const auto value = static_cast<uint32_t>(std::strtol(head.c_str(), nullptr, 10));
      return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    }
    default:
      written = false;
      return {};
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int32_t type = static_cast<int8_t>(data[0]);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  testing::FakePlatform platform;
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, "Software\\Fuzz\\", "Value", type,
                                           text);
  if (text.empty()) {
    FUZZ_CHECK(platform.calls.empty());
    return 0;
  }
  bool written = false;
  const std::vector<uint8_t> bytes = Expected(type, text, written);
  // Created, written when the type and text allow it, and closed in every case.
  FUZZ_CHECK(platform.calls.size() == (written ? 3u : 2u));
  FUZZ_CHECK(platform.calls.front().starts_with("RegCreateKeyA("));
  FUZZ_CHECK(platform.calls.back() == "RegCloseKey(4096)");
  const auto& values = platform.registry["HKCU\\Software\\Fuzz"];
  FUZZ_CHECK(values.count("Value") == (written ? 1u : 0u));
  if (written) {
    FUZZ_CHECK(values.at("Value").type == static_cast<uint32_t>(type));
    FUZZ_CHECK(values.at("Value").data == bytes);
  }
  return 0;
}
