#include "settings/registry_writer.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

constexpr const char* kSubKey = "Software\\Key hush test\\";
constexpr const char* kKeyPath = "HKCU\\Software\\Key hush test";
const std::string kCreate = std::string("RegCreateKeyA(HKCU,") + kSubKey + ")";
const std::string kOpen = std::string("RegOpenKeyExA(HKCU,") + kSubKey + ",0,2)";

using Bytes = std::vector<uint8_t>;

TEST(WriteRegistryValue, WritesTheBytesOfItsTypeOrOnlyCreatesTheKeyAndAlwaysClosesIt) {
  struct Case {
    int32_t type;
    std::string data;
    std::optional<Bytes> bytes;  // none: no value is written
  };
  for (const Case& c : std::initializer_list<Case>{
           {1, "abc", Bytes{'a', 'b', 'c', 0}},
           {2, "%T%", Bytes{'%', 'T', '%', 0}},
           {3, "ab", Bytes{'a', 'b'}},
           {7, std::string("a\0b", 3), Bytes{'a', 0, 'b', 0, 0}},
           {4, "42", Bytes{0x2A, 0, 0, 0}},
           {4, "123456789", Bytes{0x4E, 0x61, 0xBC, 0x00}},  // the first eight characters
           {4, "99999999", Bytes{0xFF, 0xE0, 0xF5, 0x05}},
           {4, "-1", Bytes{0xFF, 0xFF, 0xFF, 0xFF}},
           {4, "-9999999", Bytes{0x81, 0x69, 0x67, 0xFF}},
           {4, "00000007junk", Bytes{7, 0, 0, 0}},
           {4, "forty", {}},
           {4, "12x45678", {}},
           {4, "1.5", {}},
           {4, "-", {}},
           {4, "+5", {}},
           {0, "abc", {}},
           {5, "42", {}},
           {6, "abc", {}},
           {8, "abc", {}},
           {-1, "abc", {}},
       }) {
    FakePlatform platform;
    modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "V", c.type, c.data);
    std::vector<std::string> calls{kCreate, "RegCloseKey(4096)"};
    if (c.bytes)
      calls.insert(calls.begin() + 1, "RegSetValueExA(4096,V," + std::to_string(c.type) + "," +
                                          std::to_string(c.bytes->size()) + ")");
    EXPECT_EQ(platform.calls, calls) << c.type << " " << c.data;
    const auto& values = platform.registry[kKeyPath];
    EXPECT_EQ(values.size(), c.bytes ? 1u : 0u) << c.data;
    if (c.bytes) {
      EXPECT_EQ(values.at("V").data, *c.bytes) << c.data;
    }
  }
}

TEST(WriteRegistryValue, EmptyDataOrAKeyThatCannotBeCreatedWritesAndClosesNothing) {
  FakePlatform platform;
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "V", 1, "");
  EXPECT_THAT(platform.calls, IsEmpty());
  platform.keysDeniedForWrite.insert(kKeyPath);
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "V", 1, "abc");
  EXPECT_THAT(platform.calls, ElementsAre(kCreate));
}

TEST(DeleteRegistryValue, RemovesOnlyThatValueAndCreatesNoKey) {
  FakePlatform platform;
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "V");
  EXPECT_THAT(platform.registry, IsEmpty());
  platform.registry[kKeyPath]["V"] = {1, {'a', 0}};
  platform.registry[kKeyPath]["Other"] = {1, {'b', 0}};
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "V");
  EXPECT_THAT(platform.calls,
              ElementsAre(kOpen, kOpen, "RegDeleteValueA(4096,V)", "RegCloseKey(4096)"));
  EXPECT_EQ(platform.registry[kKeyPath].size(), 1u);
  EXPECT_EQ(platform.registry[kKeyPath].count("Other"), 1u);
}

}  // namespace
}  // namespace keyhush::testing
