#include "settings/autostart.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kRunKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Text(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

class AutostartTest : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  Autostart autostart{platform};

  std::string StartupFlag() { return platform.settings[{"Keyhush", "config", "startup"}]; }
};

struct PathCase {
  const char* folder;
  const char* baseName;
  const char* path;
};

TEST_F(AutostartTest, ExecutablePathJoinsFolderAndBaseNameAsReported) {
  for (const PathCase& c : {
           PathCase{"C:\\Program Files\\Key hush", "keyhush",
                    "C:\\Program Files\\Key hush\\keyhush.exe"},
           // A drive's root already ends in a backslash; the path keeps both.
           PathCase{"C:\\", "keyhush", "C:\\\\keyhush.exe"},
           PathCase{"D:\\Tools", "KEYHUSH", "D:\\Tools\\KEYHUSH.exe"},
       }) {
    platform.exeFolder = c.folder;
    platform.exeBaseName = c.baseName;
    EXPECT_EQ(autostart.ExecutablePath(), c.path) << c.folder;
  }
}

TEST_F(AutostartTest, StartupFlagIsOnOnlyForExactlyTrue) {
  for (const auto& [saved, on] : std::vector<std::pair<std::string, bool>>{{"true", true},
                                                                           {"True", false},
                                                                           {"TRUE", false},
                                                                           {"true ", false},
                                                                           {" true", false},
                                                                           {"false", false},
                                                                           {"", false},
                                                                           {"-1", false}}) {
    platform.settings[{"Keyhush", "config", "startup"}] = saved;
    EXPECT_EQ(autostart.ReadStartupFlag(), on) << '"' << saved << '"';
  }
}

TEST_F(AutostartTest, StartupFlagIsReadUnderKeyhushNotKeyHush) {
  platform.settings[{"Key hush", "config", "startup"}] = "true";
  EXPECT_FALSE(autostart.ReadStartupFlag());
}

TEST_F(AutostartTest, OnWritesTheQuotedPathThenTheFlag) {
  platform.exeFolder = "C:\\Program Files\\Key hush";
  autostart.ApplyAutostart(true);

  const std::string quoted = "\"C:\\Program Files\\Key hush\\keyhush.exe\"";
  EXPECT_THAT(
      platform.calls,
      ElementsAre("RegCreateKeyA(HKCU,Software\\Microsoft\\Windows\\CurrentVersion\\Run\\)",
                  "RegSetValueExA(4096,Keyhush,1," + std::to_string(quoted.size() + 1) + ")",
                  "RegCloseKey(4096)", "WriteSetting(Keyhush,config,startup,true)"));
  const auto& value = platform.registry[kRunKey]["Keyhush"];
  EXPECT_EQ(value.type, 1u);
  EXPECT_EQ(Text(value.data), quoted + '\0');
}

TEST_F(AutostartTest, OffRemovesTheRunValueAndSavesFalse) {
  autostart.ApplyAutostart(true);
  platform.registry[kRunKey]["Other program"] = {1, {'x', 0}};
  platform.calls.clear();

  autostart.ApplyAutostart(false);

  EXPECT_EQ(platform.registry[kRunKey].count("Keyhush"), 0u);
  EXPECT_EQ(platform.registry[kRunKey].count("Other program"), 1u);
  EXPECT_THAT(platform.CallsTo("RegSetValueExA"), IsEmpty());
  EXPECT_EQ(platform.calls.back(), "WriteSetting(Keyhush,config,startup,false)");
  EXPECT_EQ(StartupFlag(), "false");

  autostart.ApplyAutostart(true);
  EXPECT_EQ(platform.registry[kRunKey].count("Keyhush"), 1u);
  EXPECT_EQ(StartupFlag(), "true");
}

TEST_F(AutostartTest, OffWithoutAnyRunValueCreatesNothingAndStillSavesFalse) {
  autostart.ApplyAutostart(false);
  EXPECT_THAT(platform.registry, IsEmpty());
  EXPECT_THAT(platform.CallsTo("RegCreateKeyA"), IsEmpty());
  EXPECT_EQ(StartupFlag(), "false");
}

TEST_F(AutostartTest, FlagIsSavedEvenWhenTheRunKeyIsDenied) {
  platform.keysDeniedForWrite.insert(kRunKey);
  autostart.ApplyAutostart(true);
  EXPECT_THAT(platform.CallsTo("RegSetValueExA"), IsEmpty());
  EXPECT_EQ(StartupFlag(), "true");
}

}  // namespace
}  // namespace keyhush
