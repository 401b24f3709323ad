#include "settings/form_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "app/frm_main.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kRunKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class FormSettingsTest : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  FormSettings& form = program.settingsWindow();

  std::string Saved(const char* application, const char* key) {
    return platform.settings[{application, "config", key}];
  }
  void Select(int index) {
    form.Combo1.UserSelected(index, index < 0 ? "" : hotKeyChoices[index].listText);
  }
};

TEST_F(FormSettingsTest, FirstLoadShowsWinXAndWritesNothing) {
  form.Load();
  EXPECT_EQ(form.Label2.Text(), "Win Button X");
  EXPECT_EQ(form.Combo1.Text(), "Win Button X");
  EXPECT_EQ(form.Combo1.ListIndex(), -1);
  EXPECT_EQ(form.Check1.Value(), kUnchecked);
  EXPECT_THAT(platform.CallsTo("WriteSetting"), IsEmpty());
  EXPECT_THAT(platform.CallsTo("RegCreateKeyA"), IsEmpty());
  EXPECT_THAT(platform.CallsTo("RegOpenKeyExA"), IsEmpty());
  EXPECT_FALSE(form.Visible());
}

TEST_F(FormSettingsTest, LoadWithStartupOnTicksTheBoxAndRewritesTheRunValueFirst) {
  platform.settings[{"Keyhush", "config", "startup"}] = "true";
  platform.settings[{"Key hush", "config", "modifier"}] = "Alt";
  platform.settings[{"Key hush", "config", "currentkey"}] = "Z";
  platform.exeFolder = "D:\\";
  form.Load();

  EXPECT_THAT(platform.calls,
              ElementsAre("window create Key hush settings", "ReadSetting(Keyhush,config,startup)",
                          "window change Check1 Key hush settings",
                          "RegCreateKeyA(HKCU,Software\\Microsoft\\Windows\\CurrentVersion\\Run\\)",
                          "RegSetValueExA(4096,Keyhush,1,18)", "RegCloseKey(4096)",
                          "WriteSetting(Keyhush,config,startup,true)",
                          "ReadSetting(Key hush,config,modifier)",
                          "ReadSetting(Key hush,config,currentkey)", "SetWindowLongA(256,-4,49374)",
                          "RegisterHotKey(256,1,1,90)", "window change Label2 Key hush settings",
                          "window change Combo1 Key hush settings"));
  const auto& data = platform.registry[kRunKey]["Keyhush"].data;
  EXPECT_EQ(std::string(data.begin(), data.end()), std::string("\"D:\\\\keyhush.exe\"") + '\0');
  EXPECT_EQ(form.Check1.Value(), kChecked);
  EXPECT_EQ(form.Label2.Text(), "Alt Z");
  EXPECT_EQ(form.Combo1.Text(), "Alt Z");
  EXPECT_EQ(form.Combo1.ListIndex(), -1);
}

TEST_F(FormSettingsTest, EachSelectionAppliesAndSavesAtOnce) {
  form.Load();
  const char* const shown[] = {"Ctrl Y", "Ctrl K",  "Ctrl I",  "Alt X",   "Alt Y",
                               "Alt Z",  "Shift A", "Shift B", "Shift C", "Win Button X"};
  for (int index = 0; index < 10; ++index) {
    SCOPED_TRACE(index);
    platform.calls.clear();
    Select(index);
    const HotKeyChoice& choice = hotKeyChoices[index];
    EXPECT_THAT(platform.CallsTo("RegisterHotKey"),
                ElementsAre("RegisterHotKey(256,1," + std::to_string(choice.modifier) + "," +
                            std::to_string(choice.keyCode) + ")"));
    EXPECT_THAT(platform.CallsTo("UnregisterHotKey"), ElementsAre("UnregisterHotKey(256,1)"));
    EXPECT_EQ(form.Label2.Text(), shown[index]);
    const std::string text = shown[index];
    EXPECT_EQ(Saved("Key hush", "modifier") + " " + Saved("Key hush", "currentkey"), text);
  }
}

TEST_F(FormSettingsTest, SelectionOfNoEntryClearsTheHotKeyAndKeepsTheLabel) {
  form.Load();
  Select(7);
  platform.calls.clear();
  Select(-1);
  EXPECT_THAT(platform.CallsTo("UnregisterHotKey"), ElementsAre("UnregisterHotKey(256,1)"));
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"), IsEmpty());
  EXPECT_EQ(form.Label2.Text(), "Shift B");
  EXPECT_EQ(Saved("Key hush", "modifier"), "Shift");
  EXPECT_EQ(Saved("Key hush", "currentkey"), "B");
}

TEST_F(FormSettingsTest, TickingAndClearingTheBoxAppliesAtOnce) {
  form.Load();
  form.Check1.UserSetValue(kChecked);
  EXPECT_EQ(platform.registry[kRunKey].count("Keyhush"), 1u);
  EXPECT_EQ(Saved("Keyhush", "startup"), "true");
  form.Check1.UserSetValue(kUnchecked);
  EXPECT_EQ(platform.registry[kRunKey].count("Keyhush"), 0u);
  EXPECT_EQ(Saved("Keyhush", "startup"), "false");
  // A greyed box is no wish to start at log-on.
  form.Check1.UserSetValue(kGrayed);
  EXPECT_EQ(Saved("Keyhush", "startup"), "false");
}

TEST_F(FormSettingsTest, OkSavesAllThreeValuesAndTheRunValueThenHides) {
  for (const int box : {kChecked, kUnchecked}) {
    SCOPED_TRACE(box);
    form.Show();
    form.Check1.SetValue(box);
    platform.calls.clear();
    form.Command1.UserClicked();
    EXPECT_THAT(platform.CallsTo("WriteSetting"),
                ElementsAre("WriteSetting(Key hush,config,modifier,Win Button)",
                            "WriteSetting(Key hush,config,currentkey,X)",
                            std::string("WriteSetting(Keyhush,config,startup,") +
                                (box == kChecked ? "true" : "false") + ")"));
    EXPECT_EQ(platform.registry[kRunKey].count("Keyhush"), box == kChecked ? 1u : 0u);
    EXPECT_THAT(platform.CallsTo(box == kChecked ? "RegSetValueExA" : "RegDeleteValueA"),
                ::testing::SizeIs(1));
    EXPECT_EQ(platform.calls.back(), "window hide Key hush settings");
  }
}

TEST_F(FormSettingsTest, CancelAndCloseOnlyHide) {
  form.Show();
  Select(7);
  form.Check1.UserSetValue(kChecked);
  platform.calls.clear();
  form.Command2.UserClicked();
  EXPECT_THAT(platform.calls, ElementsAre("window hide Key hush settings"));

  form.Show();
  platform.calls.clear();
  for (int16_t reason : {kCloseFromControlMenu, kCloseFromCode, kCloseFromWindows}) {
    form.CloseRequested(reason);
    EXPECT_TRUE(form.Loaded());
    EXPECT_FALSE(form.Visible());
  }
  EXPECT_THAT(platform.CallsTo("UnregisterHotKey"), IsEmpty());
  EXPECT_THAT(platform.CallsTo("SetWindowLongA"), IsEmpty());
  EXPECT_EQ(form.Label2.Text(), "Shift B");
  EXPECT_EQ(Saved("Key hush", "currentkey"), "B");
  EXPECT_EQ(Saved("Keyhush", "startup"), "true");
}

TEST_F(FormSettingsTest, ExitClearsTheHotKeyRemovesTheTrayIconThenEnds) {
  program.Start();
  const Handle settings = form.hWnd();
  const Handle tray = program.mainWindow().picSystemTray.hWnd();
  platform.calls.clear();
  platform.notifyRecords.clear();

  EXPECT_THROW(form.Command3.UserClicked(), testing::ProgramEnded);

  const std::string window = std::to_string(settings);
  EXPECT_THAT(platform.calls,
              ElementsAre("SetWindowLongA(" + window + ",-4,240)",
                          "UnregisterHotKey(" + window + ",1)", "Shell_NotifyIconA(2)", "End()"));
  const NotifyIconRecord& record = platform.notifyRecords.at(0);
  EXPECT_EQ(record[4] | record[5] << 8 | record[6] << 16 | record[7] << 24, static_cast<int>(tray));
  EXPECT_EQ(record[8], 1);
}

TEST_F(FormSettingsTest, AboutShowsTheAboutWindow) {
  form.Show();
  form.Command4.UserClicked();
  EXPECT_TRUE(program.aboutWindow().Visible());
  EXPECT_TRUE(form.Visible());
}

TEST_F(FormSettingsTest, RefusedHotKeyIsMarkedUnavailable) {
  platform.heldByOthers.insert({MOD_WIN, 'X'});
  platform.heldByOthers.insert({MOD_SHIFT, 'A'});
  form.Load();
  EXPECT_EQ(form.Label2.Text(), "Win Button X (unavailable)");
  EXPECT_EQ(form.Combo1.Text(), "Win Button X");

  Select(7);
  EXPECT_EQ(form.Label2.Text(), "Shift B");
  Select(6);
  EXPECT_EQ(form.Label2.Text(), "Shift A (unavailable)");
  EXPECT_EQ(Saved("Key hush", "modifier"), "Shift");
  EXPECT_EQ(Saved("Key hush", "currentkey"), "A");
}

TEST_F(FormSettingsTest, UnknownSavedModifierIsNoRefusal) {
  platform.settings[{"Key hush", "config", "modifier"}] = "ctrl";
  platform.settings[{"Key hush", "config", "currentkey"}] = "Y";
  form.Load();
  EXPECT_EQ(form.Label2.Text(), " ");
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"), IsEmpty());
}

}  // namespace
}  // namespace keyhush
