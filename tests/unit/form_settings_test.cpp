#include "settings/form_settings.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

struct FormSettingsTest : ProgramTest {
  FormSettings& form = program.settingsWindow();
  std::string& Saved(const char* application, const char* key) {
    return platform.settings[{application, "config", key}];
  }
};

TEST(FormSettings, LoadRestoresTheSavedHotKeyOrWinXAndWritesNothing) {
  // registered: the arguments of RegisterHotKey(256,1,...), if any
  for (auto [modifier, key, registered, label] : std::initializer_list<std::array<const char*, 4>>{
           {"", "", "8,88", "Win Button X"},
           {"", "Q", "8,88", "Win Button X"},
           {"Shift", "", "8,88", "Win Button X"},  // a known modifier without a key
           {"Ctrl", "Y", "2,89", "Ctrl Y"},
           {"Alt", "Zebra", "1,90", "Alt Z"},
           {"Win Button", "x", "8,120", "Win Button x"},
           {"Ctrl", "\xE9", "2,233", "Ctrl \xE9"},
           {"Shift", "A", "4,65", "Shift A (unavailable)"},
           {"ctrl", "Y", nullptr, " "},
           {"Hyper", "Y", nullptr, " "},
           {"Alt ", "Y", nullptr, " "},
       }) {
    Rig r;
    r.platform.heldByOthers.insert({MOD_SHIFT, 'A'});
    r.platform.settings[{"Key hush", "config", "modifier"}] = modifier;
    r.platform.settings[{"Key hush", "config", "currentkey"}] = key;
    FormSettings& form = r.program.settingsWindow();
    form.Load();
    EXPECT_EQ(Calls(r.platform, {"RegisterHotKey", "WriteSetting"}),
              registered ? "RegisterHotKey(256,1," + std::string(registered) + ")" : "")
        << modifier << key;
    EXPECT_EQ(form.Label2.Text(), label);
  }
}

TEST_F(FormSettingsTest, LoadWithStartupOnTicksTheBoxAndRewritesTheRunValueFirst) {
  Saved("Keyhush", "startup") = "true";
  Saved("Key hush", "modifier") = "Alt";
  Saved("Key hush", "currentkey") = "Z";
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
  EXPECT_EQ(form.Combo1.Text(), "Alt Z");
  for (const char* saved : {"True", "TRUE", "true ", " true", "-1"}) {  // only exactly "true"
    Rig r;
    r.platform.settings[{"Keyhush", "config", "startup"}] = saved;
    r.program.settingsWindow().Load();
    EXPECT_EQ(r.program.settingsWindow().Check1.Value(), kUnchecked) << saved;
  }
}

TEST_F(FormSettingsTest, EachSelectionRegistersShowsAndSavesItsHotKeyAndNoEntryClearsIt) {
  const char* const keys[] = {"2,89", "2,75", "2,73", "1,88", "1,89",
                              "1,90", "4,65", "4,66", "4,67", "8,88"};
  const char* const labels[] = {"Ctrl Y", "Ctrl K",  "Ctrl I",  "Alt X",   "Alt Y",
                                "Alt Z",  "Shift A", "Shift B", "Shift C", "Win Button X"};
  form.Load();
  for (int index = 0; index < 10; ++index) {
    form.Combo1.UserSelected(index, "");
    EXPECT_EQ(platform.CallsTo("RegisterHotKey").back(),
              "RegisterHotKey(256,1," + std::string(keys[index]) + ")");
    EXPECT_EQ(form.Label2.Text(), labels[index]);
    EXPECT_EQ(Saved("Key hush", "modifier") + " " + Saved("Key hush", "currentkey"), labels[index]);
  }
  platform.calls.clear();
  form.Combo1.UserSelected(-1, "typed");  // the last names stay shown, and are saved again
  EXPECT_EQ(Calls(platform, {""}),
            "SetWindowLongA(256,-4,240) | UnregisterHotKey(256,1) | WriteSetting(Key "
            "hush,config,modifier,Win Button) | WriteSetting(Key hush,config,currentkey,X)");
  EXPECT_EQ(form.Label2.Text(), "Win Button X");
  for (int16_t index : {int16_t{10}, int16_t{-32768}})  // outside the list, as from code
    EXPECT_FALSE(form.hotKeySettings().ApplyHotKeyChoice(form.hWnd(), index));
}

TEST_F(FormSettingsTest, OkSavesAllThreeValuesInOrderThenHides) {
  form.Show();
  form.Check1.UserSetValue(kGrayed);  // a greyed box is no wish to start at log-on
  EXPECT_EQ(Saved("Keyhush", "startup"), "false");
  form.Check1.UserSetValue(kChecked);
  platform.calls.clear();
  form.Command1.UserClicked();
  EXPECT_EQ(Calls(platform, {"Write", "RegSet", "window"}),
            "WriteSetting(Key hush,config,modifier,Win Button) | WriteSetting(Key "
            "hush,config,currentkey,X) | RegSetValueExA(4097,Keyhush,1,40) | "
            "WriteSetting(Keyhush,config,startup,true) | window hide Key hush settings");
}

TEST_F(FormSettingsTest, ExitClearsTheHotKeyRemovesTheTrayIconThenEnds) {
  program.Start();
  platform.calls.clear();
  EXPECT_THROW(form.Command3.UserClicked(), ProgramEnded);
  EXPECT_THAT(platform.calls, ElementsAre("SetWindowLongA(512,-4,240)", "UnregisterHotKey(512,1)",
                                          "Shell_NotifyIconA(2)", "End()"));
}

}  // namespace
}  // namespace keyhush::testing
