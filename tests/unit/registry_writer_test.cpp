#include "settings/registry_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kSubKey = "Software\\Key hush test\\";
constexpr const char* kKeyPath = "HKCU\\Software\\Key hush test";

struct WriteCase {
  const char* name;
  int32_t type;
  std::string data;
  std::vector<uint8_t> bytes;  // what the value holds afterwards
};
void PrintTo(const WriteCase& c, std::ostream* out) {
  *out << c.name;
}

class WriteRegistryValueTest : public ::testing::TestWithParam<WriteCase> {
 protected:
  testing::FakePlatform platform;
  modRegistry registry{platform};
};

TEST_P(WriteRegistryValueTest, WritesTheBytesAndLengthOfItsType) {
  const WriteCase& c = GetParam();
  registry.WriteRegistryValue(kHkeyCurrentUser, kSubKey, "Value", c.type, c.data);

  const std::string set = "RegSetValueExA(4096,Value," + std::to_string(c.type) + "," +
                          std::to_string(c.bytes.size()) + ")";
  EXPECT_THAT(platform.calls, ElementsAre(std::string("RegCreateKeyA(HKCU,") + kSubKey + ")", set,
                                          "RegCloseKey(4096)"));
  const auto& value = platform.registry[kKeyPath]["Value"];
  EXPECT_EQ(value.type, static_cast<uint32_t>(c.type));
  EXPECT_THAT(value.data, ElementsAreArray(c.bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Types, WriteRegistryValueTest,
    ::testing::Values(
        WriteCase{"Sz", 1, "abc", {'a', 'b', 'c', 0}},
        WriteCase{"ExpandSz", 2, "%TEMP%", {'%', 'T', 'E', 'M', 'P', '%', 0}},
        WriteCase{"BinaryHasNoTerminator", 3, "ab", {'a', 'b'}},
        WriteCase{"MultiSzEndsInTwoNuls", 7, std::string("a\0b", 3), {'a', 0, 'b', 0, 0}},
        WriteCase{"Dword", 4, "42", {0x2A, 0, 0, 0}},
        WriteCase{"DwordFromTheFirstEightDigits", 4, "123456789", {0x4E, 0x61, 0xBC, 0x00}},
        WriteCase{"DwordLargestEightDigits", 4, "99999999", {0xFF, 0xE0, 0xF5, 0x05}},
        WriteCase{"DwordNegative", 4, "-1", {0xFF, 0xFF, 0xFF, 0xFF}},
        WriteCase{"DwordMostNegativeEightCharacters", 4, "-9999999", {0x81, 0x69, 0x67, 0xFF}},
        WriteCase{"DwordIgnoresWhatFollowsTheEighthCharacter", 4, "00000007junk", {7, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct NoValueCase {
  const char* name;
  int32_t type;
  std::string data;
};
void PrintTo(const NoValueCase& c, std::ostream* out) {
  *out << c.name;
}

class WriteRegistryValueWithoutValueTest : public ::testing::TestWithParam<NoValueCase> {
 protected:
  testing::FakePlatform platform;
  modRegistry registry{platform};
};

// Unknown types and DWORD texts that are no number end before the value: the key was created,
// and it is closed all the same.
TEST_P(WriteRegistryValueWithoutValueTest, CreatesAndClosesTheKeyOnly) {
  const NoValueCase& c = GetParam();
  registry.WriteRegistryValue(kHkeyCurrentUser, kSubKey, "Value", c.type, c.data);
  EXPECT_THAT(platform.calls,
              ElementsAre(std::string("RegCreateKeyA(HKCU,") + kSubKey + ")", "RegCloseKey(4096)"));
  EXPECT_TRUE(platform.registry.count(kKeyPath));
  EXPECT_THAT(platform.registry[kKeyPath], IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteRegistryValueWithoutValueTest,
    ::testing::Values(NoValueCase{"TypeNone", 0, "abc"}, NoValueCase{"TypeLink", 6, "abc"},
                      NoValueCase{"TypeBigEndianDword", 5, "42"},
                      NoValueCase{"TypeResourceList", 8, "abc"},
                      NoValueCase{"NegativeType", -1, "abc"},
                      NoValueCase{"DwordNotANumber", 4, "forty"},
                      NoValueCase{"DwordWithJunkInTheFirstEight", 4, "12x45678"},
                      NoValueCase{"DwordFraction", 4, "1.5"}, NoValueCase{"DwordSignOnly", 4, "-"},
                      NoValueCase{"DwordPlusSign", 4, "+5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteRegistryValue, EmptyDataTouchesNothingAtAll) {
  testing::FakePlatform platform;
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "Value", 1, "");
  EXPECT_THAT(platform.calls, IsEmpty());
  EXPECT_THAT(platform.registry, IsEmpty());
}

TEST(WriteRegistryValue, KeyThatCannotBeCreatedIsNeitherWrittenNorClosed) {
  testing::FakePlatform platform;
  platform.keysDeniedForWrite.insert(kKeyPath);
  modRegistry(platform).WriteRegistryValue(kHkeyCurrentUser, kSubKey, "Value", 1, "abc");
  EXPECT_THAT(platform.calls, ElementsAre(std::string("RegCreateKeyA(HKCU,") + kSubKey + ")"));
}

TEST(DeleteRegistryValue, RemovesOnlyThatValueAndClosesTheKey) {
  testing::FakePlatform platform;
  platform.registry[kKeyPath]["Value"] = {1, {'a', 0}};
  platform.registry[kKeyPath]["Other"] = {1, {'b', 0}};
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "Value");
  EXPECT_THAT(platform.calls, ElementsAre(std::string("RegOpenKeyExA(HKCU,") + kSubKey + ",0,2)",
                                          "RegDeleteValueA(4096,Value)", "RegCloseKey(4096)"));
  EXPECT_EQ(platform.registry[kKeyPath].count("Value"), 0u);
  EXPECT_EQ(platform.registry[kKeyPath].count("Other"), 1u);
}

TEST(DeleteRegistryValue, AbsentKeyIsNotCreated) {
  testing::FakePlatform platform;
  modRegistry(platform).DeleteRegistryValue(kHkeyCurrentUser, kSubKey, "Value");
  EXPECT_THAT(platform.calls, ElementsAre(std::string("RegOpenKeyExA(HKCU,") + kSubKey + ",0,2)"));
  EXPECT_THAT(platform.registry, IsEmpty());
}

}  // namespace
}  // namespace keyhush
