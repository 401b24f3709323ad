#include "app/frm_main.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

const std::string kMain = "System Tray Sample Application";

struct FrmMainTest : ProgramTest {
  frmMain& main = program.mainWindow();
  FrmMainTest() {
    platform.trayWindow = 0x900;
    platform.trayNotifyWindow = 0x910;
    platform.windowRects = {{0x100, {10, 20, 361, 187}}, {0x910, {700, 570, 800, 600}}};
    program.Start();
    platform.calls.clear();
  }
  // The shell reports a mouse message over the icon as a position in twips.
  void TrayReports(int32_t message) {
    main.picSystemTray.UserMovedMouse(0, 0, static_cast<float>(message * 15), 0.0f);
  }
};

TEST(FrmMain, StartUpHidesTheWindowAddsTheIconThenLoadsTheSettingsWindowHidden) {
  Rig r;
  r.program.Start();
  EXPECT_EQ(Calls(r.platform, {"window", "Shell", "SetWindowLongA", "RegisterHotKey"}),
            "window create " + kMain + " | window hide " + kMain +
                " | Shell_NotifyIconA(0) | window create Key hush settings | "
                "SetWindowLongA(512,-4,49374) | RegisterHotKey(512,1,8,88) | window change Label2 "
                "Key hush settings | window change Combo1 Key hush settings | window hide Key hush "
                "settings");
  r.program.mainWindow().cmdModifyIcon.UserClicked();
  EXPECT_EQ(Tip(r.platform.notifyRecords.at(0)), "Key hush v1");
  EXPECT_EQ(Tip(r.platform.notifyRecords.at(1)), "New Icon and Tooltip!");
}

// Only a hot key the system refused brings the settings window up at the end of start-up; no hot
// key at all (a modifier that names none of the four) leaves start-up silent, as does success.
TEST(FrmMain, StartUpShowsTheSettingsWindowOnlyWhenTheHotKeyIsRefused) {
  struct Row {
    const char* what;
    std::string modifier, key;
    bool held, shown;
  };
  for (const Row& row :
       {Row{"Win + X free", "", "", false, false}, Row{"Win + X held", "", "", true, true},
        Row{"saved Ctrl + K held", "Ctrl", "K", true, true},
        Row{"unknown modifier", "ctrl", "K", true, false}}) {
    Rig r;
    if (!row.modifier.empty()) {
      r.platform.settings[{"Key hush", "config", "modifier"}] = row.modifier;
      r.platform.settings[{"Key hush", "config", "currentkey"}] = row.key;
    }
    if (row.held) r.platform.heldByOthers = {{8, 88}, {2, 75}};
    const auto saved = r.platform.settings;
    r.program.Start();
    EXPECT_EQ(Calls(r.platform, {"window show", "window hide Key"}),
              row.shown ? "window hide Key hush settings | window show Key hush settings"
                        : "window hide Key hush settings")
        << row.what;
    EXPECT_EQ(r.platform.settings, saved) << row.what;
  }
}

TEST_F(FrmMainTest, ARightButtonReleaseOpensTheMenuWithSettingsAsDefault) {
  TrayReports(0x205);
  EXPECT_THAT(windows.lastMenuCaptions, ElementsAre("&About", "&Settings", "-", "E&xit"));
  EXPECT_EQ(windows.lastMenuDefault, "&Settings");
}

TEST_F(FrmMainTest, ExitRemovesTheIconAndEndsWithoutClearingTheHotKey) {
  windows.nextMenuChoice = "E&xit";
  EXPECT_THROW(TrayReports(0x205), ProgramEnded);
  EXPECT_THAT(platform.calls,
              ElementsAre("window popup mnuPopupMenu " + kMain, "Shell_NotifyIconA(2)", "End()"));
}

TEST_F(FrmMainTest, SettingsAnimatesFromTheTrayOnlyWhileTheMainWindowIsHidden) {
  windows.nextMenuChoice = "&Settings";
  TrayReports(0x205);
  main.Show();
  main.mnuPopupMenuShowForm_Click();
  EXPECT_EQ(Calls(platform, {"Draw", "window show"}),
            "DrawAnimatedRects(256,3,700,570,800,600,10,20,361,187) | window show Key hush "
            "settings | window show " +
                kMain + " | window show Key hush settings");
}

TEST_F(FrmMainTest, EveryCloseRequestAnimatesIntoTheTrayAndOnlyHides) {
  for (int16_t reason :
       {kCloseFromControlMenu, kCloseFromCode, kCloseFromWindows, kCloseFromTaskManager}) {
    main.Show();
    platform.calls.clear();
    main.CloseRequested(reason);
    EXPECT_EQ(Calls(platform, {""}),
              "FindWindowA(Shell_TrayWnd,null) | FindWindowExA(2304,0,TrayNotifyWnd,null) | "
              "GetWindowRect(256) | GetWindowRect(2320) | "
              "DrawAnimatedRects(256,3,10,20,361,187,700,570,800,600) | window hide " +
                  kMain)
        << reason;
  }
  // Without the notification area, or without any task bar, it runs to the screen's origin.
  platform.trayNotifyWindow = 0;
  main.CloseRequested(kCloseFromControlMenu);
  platform.trayWindow = 0;
  main.mnuPopupMenuShowForm_Click();
  EXPECT_THAT(platform.CallsTo("Draw"),
              ElementsAre(::testing::_, "DrawAnimatedRects(256,3,10,20,361,187,0,0,0,0)",
                          "DrawAnimatedRects(256,3,0,0,0,0,10,20,361,187)"));
}

}  // namespace
}  // namespace keyhush::testing
