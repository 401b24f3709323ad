#include "settings/registry_writer.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

constexpr const char* kSubKey = "Software\\Key hush test\\";
constexpr const char* kKeyPath = "HKCU\\Software\\Key hush test";
const std::string kCreate = std::string("RegCreateKeyA(HKCU,") + kSubKey + ")";
const std::string kOpen = std::string("RegOpenKeyExA(HKCU,") + kSubKey + ",0,2)";

void Write(FakePlatform& platform, int32_t type, const std::string& data) {
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "V", type, data);
}

TEST(WriteRegistryValue, WritesTheBytesOfItsTypeAndClosesTheKey) {
  using Bytes = std::vector<uint8_t>;
  for (auto [type, data, bytes] : std::initializer_list<std::tuple<int32_t, std::string, Bytes>>{
           {1, "abc", {'a', 'b', 'c', 0}},
           {2, "%T%", {'%', 'T', '%', 0}},
           {3, "ab", {'a', 'b'}},
           {7, std::string("a\0b", 3), {'a', 0, 'b', 0, 0}},
           {4, "42", {0x2A, 0, 0, 0}},
           {4, "123456789", {0x4E, 0x61, 0xBC, 0x00}},  // the first eight characters
           {4, "99999999", {0xFF, 0xE0, 0xF5, 0x05}},
           {4, "-1", {0xFF, 0xFF, 0xFF, 0xFF}},
           {4, "-9999999", {0x81, 0x69, 0x67, 0xFF}},
           {4, "00000007junk", {7, 0, 0, 0}},
       }) {
    FakePlatform platform;
    Write(platform, type, data);
    EXPECT_EQ(Calls(platform, {""}), kCreate + " | RegSetValueExA(4096,V," + std::to_string(type) +
                                         "," + std::to_string(bytes.size()) +
                                         ") | RegCloseKey(4096)");
    EXPECT_EQ(platform.registry[kKeyPath]["V"].data, bytes) << data;
  }
}

TEST(WriteRegistryValue, UnknownTypesAndNoNumberOnlyCreateTheKeyAndCloseIt) {
  for (auto [type, data] : {std::pair{4, "forty"},
                            {4, "12x45678"},
                            {4, "1.5"},
                            {4, "-"},
                            {4, "+5"},
                            {0, "abc"},
                            {5, "42"},
                            {6, "abc"},
                            {8, "abc"},
                            {-1, "abc"}}) {
    FakePlatform platform;
    Write(platform, type, data);
    EXPECT_EQ(Calls(platform, {""}), kCreate + " | RegCloseKey(4096)") << type << data;
    EXPECT_THAT(platform.registry[kKeyPath], IsEmpty());
  }
}

TEST(WriteRegistryValue, EmptyDataOrAKeyThatCannotBeCreatedWritesAndClosesNothing) {
  FakePlatform platform;
  Write(platform, 1, "");
  EXPECT_THAT(platform.calls, IsEmpty());
  platform.keysDeniedForWrite.insert(kKeyPath);
  Write(platform, 1, "abc");
  EXPECT_THAT(platform.calls, ElementsAre(kCreate));
}

TEST(DeleteRegistryValue, RemovesOnlyThatValueAndCreatesNoKey) {
  FakePlatform platform;
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "V");
  EXPECT_THAT(platform.registry, IsEmpty());
  platform.registry[kKeyPath] = {{"V", {1, {'a', 0}}}, {"Other", {1, {'b', 0}}}};
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "V");
  EXPECT_EQ(Calls(platform, {""}),
            kOpen + " | " + kOpen + " | RegDeleteValueA(4096,V) | RegCloseKey(4096)");
  EXPECT_EQ(platform.registry[kKeyPath].count("Other") + platform.registry[kKeyPath].size(), 2u);
}

}  // namespace
}  // namespace keyhush::testing
