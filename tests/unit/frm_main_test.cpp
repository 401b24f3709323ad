#include "app/frm_main.h"

#include "program_fixture.h"
#include "settings/form_settings.h"

namespace keyhush::testing {
namespace {

struct FrmMainTest : ProgramTest {
  frmMain& main = program.mainWindow();
  FrmMainTest() {
    platform.trayWindow = 0x900;
    platform.trayNotifyWindow = 0x910;
    platform.windowRects = {{0x100, {10, 20, 361, 187}}, {0x910, {700, 570, 800, 600}}};
    program.Start();
    platform.calls.clear();
    platform.notifyRecords.clear();
  }
  // The shell reports a mouse message over the icon as a position in twips.
  void TrayReports(int32_t message) {
    main.picSystemTray.UserMovedMouse(0, 0, static_cast<float>(message * 15), 0.0f);
  }
};

TEST(FrmMain, StartUpHidesTheWindowAddsTheIconThenLoadsTheSettingsWindowHidden) {
  Rig r;
  r.program.Start();
  std::vector<std::string> seen;
  for (const std::string& call : r.platform.calls)
    if (call.rfind("window", 0) == 0 || call.rfind("Shell", 0) == 0 || call.rfind("Reg", 0) == 0 ||
        call.rfind("SetWindowLongA", 0) == 0)
      seen.push_back(call);
  EXPECT_THAT(
      seen, ElementsAre("window create System Tray Sample Application",
                        "window hide System Tray Sample Application", "Shell_NotifyIconA(0)",
                        "window create Key hush settings", "SetWindowLongA(512,-4,49374)",
                        "RegisterHotKey(512,1,8,88)", "window change Label2 Key hush settings",
                        "window change Combo1 Key hush settings", "window hide Key hush settings"));
  const NotifyIconRecord& record = r.platform.notifyRecords.at(0);
  EXPECT_EQ(Field(record, 4), r.program.mainWindow().picSystemTray.hWnd());
  EXPECT_EQ(Field(record, 20), r.program.mainWindow().picSystemTrayIcon1.Picture());
  EXPECT_EQ(Tip(record), "Key hush v1");
}

TEST_F(FrmMainTest, ARightButtonReleaseOpensTheMenuWithSettingsAsDefault) {
  TrayReports(0x204);
  EXPECT_THAT(platform.calls, IsEmpty());
  TrayReports(0x205);
  EXPECT_THAT(platform.calls,
              ElementsAre("window popup mnuPopupMenu System Tray Sample Application"));
  EXPECT_THAT(windows.lastMenuCaptions, ElementsAre("&About", "&Settings", "-", "E&xit"));
  EXPECT_EQ(windows.lastMenuDefault, "&Settings");
}

TEST_F(FrmMainTest, ExitRemovesTheIconAndEndsWithoutClearingTheHotKey) {
  windows.nextMenuChoice = "E&xit";
  EXPECT_THROW(TrayReports(0x205), ProgramEnded);
  EXPECT_THAT(platform.calls,
              ElementsAre("window popup mnuPopupMenu System Tray Sample Application",
                          "Shell_NotifyIconA(2)", "End()"));
  EXPECT_EQ(Field(platform.notifyRecords.at(0), 4), main.picSystemTray.hWnd());
}

TEST_F(FrmMainTest, SettingsAnimatesFromTheTrayOnlyWhileTheMainWindowIsHidden) {
  windows.nextMenuChoice = "&Settings";
  TrayReports(0x205);
  main.Show();
  main.mnuPopupMenuShowForm_Click();
  EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
              ElementsAre("DrawAnimatedRects(256,3,700,570,800,600,10,20,361,187)"));
  EXPECT_EQ(platform.CallsTo("window show Key hush").size(), 2u);
}

TEST_F(FrmMainTest, EveryCloseRequestAnimatesIntoTheTrayAndOnlyHides) {
  for (int16_t reason :
       {kCloseFromControlMenu, kCloseFromCode, kCloseFromWindows, kCloseFromTaskManager}) {
    main.Show();
    platform.calls.clear();
    main.CloseRequested(reason);
    EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
                ElementsAre("DrawAnimatedRects(256,3,10,20,361,187,700,570,800,600)"));
    EXPECT_EQ(platform.calls.back(), "window hide System Tray Sample Application") << reason;
  }
}

TEST_F(FrmMainTest, ModifyIconShowsTheSecondIconAndItsTip) {
  main.cmdModifyIcon.UserClicked();
  EXPECT_THAT(platform.calls, ElementsAre("Shell_NotifyIconA(1)"));
  EXPECT_EQ(Field(platform.notifyRecords.at(0), 20), main.picSystemTrayIcon2.Picture());
  EXPECT_EQ(Tip(platform.notifyRecords.at(0)), "New Icon and Tooltip!");
}

}  // namespace
}  // namespace keyhush::testing
