#include "settings/hot_key_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HotKeySettingsTest : public ::testing::Test {
 protected:
  static constexpr Handle kWindow = 0x500;
  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  HotKeySettings settings{platform, program.hotKey()};

  void Save(const std::string& modifier, const std::string& key) {
    platform.settings[{"Key hush", "config", "modifier"}] = modifier;
    platform.settings[{"Key hush", "config", "currentkey"}] = key;
  }
};

TEST_F(HotKeySettingsTest, RestoreRegistersTheSavedChoiceOrTheDefaultAndWritesNothing) {
  struct Case {
    const char* what;
    std::optional<std::pair<std::string, std::string>> saved;
    std::vector<std::string> registered;
    std::string display;
  };
  const Case cases[] = {
      {"empty store", std::nullopt, {"RegisterHotKey(1280,1,8,88)"}, "Win Button X"},
      {"empty modifier", std::pair{"", "Q"}, {"RegisterHotKey(1280,1,8,88)"}, "Win Button X"},
      {"Ctrl Y", std::pair{"Ctrl", "Y"}, {"RegisterHotKey(1280,1,2,89)"}, "Ctrl Y"},
      {"Alt X", std::pair{"Alt", "X"}, {"RegisterHotKey(1280,1,1,88)"}, "Alt X"},
      {"Shift B", std::pair{"Shift", "B"}, {"RegisterHotKey(1280,1,4,66)"}, "Shift B"},
      {"Win Button X",
       std::pair{"Win Button", "X"},
       {"RegisterHotKey(1280,1,8,88)"},
       "Win Button X"},
      {"several characters", std::pair{"Alt", "Zebra"}, {"RegisterHotKey(1280,1,1,90)"}, "Alt Z"},
      {"lower case kept", std::pair{"Ctrl", "y"}, {"RegisterHotKey(1280,1,2,121)"}, "Ctrl y"},
      {"non-ASCII byte", std::pair{"Ctrl", "\xE9"}, {"RegisterHotKey(1280,1,2,233)"}, "Ctrl \xE9"},
      {"case differs", std::pair{"ctrl", "Y"}, {}, " "},
      {"unknown name", std::pair{"Hyper", "Y"}, {}, " "},
      {"trailing blank", std::pair{"Alt ", "Y"}, {}, " "},
      {"known modifier without key",
       std::pair{"Shift", ""},
       {"RegisterHotKey(1280,1,8,88)"},
       "Win Button X"},
  };
  for (const Case& c : cases) {
    testing::FakePlatform fake;
    testing::HeadlessWindows headless{fake.calls};
    Program fresh{fake, headless};
    HotKeySettings subject{fake, fresh.hotKey()};
    if (c.saved) {
      fake.settings[{"Key hush", "config", "modifier"}] = c.saved->first;
      fake.settings[{"Key hush", "config", "currentkey"}] = c.saved->second;
    }
    subject.RestoreSavedHotKey(kWindow);
    EXPECT_EQ(fake.CallsTo("RegisterHotKey"), c.registered) << c.what;
    EXPECT_EQ(subject.HotKeyDisplayText(), c.display) << c.what;
    EXPECT_THAT(fake.CallsTo("WriteSetting"), IsEmpty()) << c.what;
    // Both values are read before anything is decided.
    EXPECT_THAT(fake.CallsTo("ReadSetting"), ElementsAre("ReadSetting(Key hush,config,modifier)",
                                                         "ReadSetting(Key hush,config,currentkey)"))
        << c.what;
  }
}

TEST_F(HotKeySettingsTest, ApplyClearsRegistersTheEntryAndSavesBothValuesInOrder) {
  settings.RestoreSavedHotKey(kWindow);
  for (int16_t index = 0; index < 10; ++index) {
    platform.calls.clear();
    const HotKeyChoice& choice = hotKeyChoices[static_cast<size_t>(index)];
    EXPECT_TRUE(settings.ApplyHotKeyChoice(kWindow, index));
    const std::string name = ModifierName(choice.modifier);
    const std::string key(1, static_cast<char>(choice.keyCode));
    EXPECT_THAT(platform.calls,
                ElementsAre("SetWindowLongA(1280,-4,240)", "UnregisterHotKey(1280,1)",
                            "SetWindowLongA(1280,-4,49374)",
                            "RegisterHotKey(1280,1," + std::to_string(choice.modifier) + "," +
                                std::to_string(choice.keyCode) + ")",
                            "WriteSetting(Key hush,config,modifier," + name + ")",
                            "WriteSetting(Key hush,config,currentkey," + key + ")"))
        << choice.listText;
    EXPECT_EQ(settings.HotKeyDisplayText(), name + " " + key);
  }
}

TEST_F(HotKeySettingsTest, ApplyOutsideTheTableClearsAndSavesTheNamesRecordedBefore) {
  for (int16_t index : {int16_t{-1}, int16_t{10}, int16_t{32767}, int16_t{-32768}}) {
    testing::FakePlatform fake;
    testing::HeadlessWindows headless{fake.calls};
    Program fresh{fake, headless};
    HotKeySettings subject{fake, fresh.hotKey()};
    subject.ApplyHotKeyChoice(kWindow, 7);
    fake.calls.clear();
    EXPECT_FALSE(subject.ApplyHotKeyChoice(kWindow, index));
    EXPECT_THAT(fake.calls, ElementsAre("SetWindowLongA(1280,-4,240)", "UnregisterHotKey(1280,1)",
                                        "WriteSetting(Key hush,config,modifier,Shift)",
                                        "WriteSetting(Key hush,config,currentkey,B)"))
        << index;
  }
}

TEST_F(HotKeySettingsTest,
       UnknownSavedModifierThenSaveWritesEmptyTextsSoTheNextStartUsesTheDefault) {
  Save("Hyper", "Y");
  settings.RestoreSavedHotKey(kWindow);
  settings.SaveHotKeySettings();
  EXPECT_EQ((platform.settings[{"Key hush", "config", "modifier"}]), "");
  EXPECT_EQ((platform.settings[{"Key hush", "config", "currentkey"}]), "");
  HotKeySettings nextStart{platform, program.hotKey()};
  platform.calls.clear();
  nextStart.RestoreSavedHotKey(kWindow);
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"), ElementsAre("RegisterHotKey(1280,1,8,88)"));
}

TEST_F(HotKeySettingsTest, TheSavedHotKeyAndTheStartupFlagLiveUnderDifferentApplications) {
  settings.ApplyHotKeyChoice(kWindow, 0);
  for (const auto& [address, value] : platform.settings) {
    EXPECT_EQ(std::get<0>(address), "Key hush");
    EXPECT_EQ(std::get<1>(address), "config");
  }
  EXPECT_EQ(platform.settings.size(), 2u);
}

}  // namespace
}  // namespace keyhush
