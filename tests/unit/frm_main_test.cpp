#include "app/frm_main.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "about/frm_about.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"
#include "settings/form_settings.h"

namespace keyhush {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kMain = "System Tray Sample Application";
const std::string kSettings = "Key hush settings";

class FrmMainTest : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  frmMain& main = program.mainWindow();

  // The position of the first call or window event that starts with `prefix`.
  ptrdiff_t IndexOf(const std::string& prefix) const {
    auto it = std::find_if(platform.calls.begin(), platform.calls.end(),
                           [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
    EXPECT_NE(it, platform.calls.end()) << prefix;
    return it - platform.calls.begin();
  }

  // The shell reports a mouse message over the tray icon, as the runtime passes it on.
  void TrayReports(int32_t message) {
    main.picSystemTray.UserMovedMouse(0, 0, static_cast<float>(message * platform.twipsPerPixelX),
                                      0.0f);
  }

  void StartAndForget() {
    program.Start();
    platform.calls.clear();
    platform.notifyRecords.clear();
  }

  std::string Tip(size_t record) const {
    const NotifyIconRecord& r = platform.notifyRecords.at(record);
    return std::string(reinterpret_cast<const char*>(&r[24]));
  }
  uint32_t Field(size_t record, size_t offset) const {
    const NotifyIconRecord& r = platform.notifyRecords.at(record);
    return r[offset] | r[offset + 1] << 8 | r[offset + 2] << 16 |
           static_cast<uint32_t>(r[offset + 3]) << 24;
  }
};

TEST_F(FrmMainTest, StartUpHidesTheWindowAddsTheIconThenLoadsTheSettingsWindowHidden) {
  program.Start();

  const ptrdiff_t hideMain = IndexOf("window hide " + kMain);
  const ptrdiff_t addIcon = IndexOf("Shell_NotifyIconA(0)");
  const ptrdiff_t createSettings = IndexOf("window create " + kSettings);
  const ptrdiff_t hook = IndexOf("SetWindowLongA");
  const ptrdiff_t registerKey = IndexOf("RegisterHotKey");
  const ptrdiff_t hideSettings = IndexOf("window hide " + kSettings);
  EXPECT_LT(IndexOf("window create " + kMain), hideMain);
  EXPECT_LT(hideMain, addIcon);
  EXPECT_LT(addIcon, createSettings);
  EXPECT_LT(createSettings, hook);
  EXPECT_LT(hook, registerKey);
  EXPECT_LT(registerKey, hideSettings);

  EXPECT_THAT(platform.calls, Not(Contains("window show " + kMain)));
  EXPECT_THAT(platform.calls, Not(Contains("window show " + kSettings)));
  EXPECT_FALSE(main.Visible());
  EXPECT_FALSE(program.settingsWindow().Visible());
  // The hot key sits on the settings window, the icon on the callback box.
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"),
              ElementsAre("RegisterHotKey(" + std::to_string(program.settingsWindow().hWnd()) +
                          ",1,8,88)"));
  ASSERT_EQ(platform.notifyRecords.size(), 1u);
  EXPECT_EQ(Field(0, 4), main.picSystemTray.hWnd());
  EXPECT_EQ(Field(0, 8), 1u);
  EXPECT_EQ(Field(0, 20), main.picSystemTrayIcon1.Picture());
  EXPECT_EQ(Tip(0), "Key hush v1");
}

TEST_F(FrmMainTest, OnlyARightButtonReleaseOpensThePopUpMenuWithSettingsAsDefault) {
  StartAndForget();
  for (int32_t message : {0x200, 0x201, 0x202, 0x203, 0x204}) TrayReports(message);
  EXPECT_THAT(platform.calls, IsEmpty());

  TrayReports(0x205);
  EXPECT_THAT(platform.calls, ElementsAre("window popup mnuPopupMenu " + kMain));
  EXPECT_THAT(windows.lastMenuCaptions, ElementsAre("&About", "&Settings", "-", "E&xit"));
  EXPECT_EQ(windows.lastMenuDefault, "&Settings");
}

TEST_F(FrmMainTest, ExitRemovesTheIconAndEndsWithoutClearingTheHotKey) {
  StartAndForget();
  windows.nextMenuChoice = "E&xit";
  EXPECT_THROW(TrayReports(0x205), testing::ProgramEnded);

  EXPECT_THAT(platform.calls,
              ElementsAre("window popup mnuPopupMenu " + kMain, "Shell_NotifyIconA(2)", "End()"));
  EXPECT_EQ(Field(0, 4), main.picSystemTray.hWnd());
  EXPECT_EQ(Field(0, 8), 1u);
}

TEST_F(FrmMainTest, SettingsFromTheTrayAnimatesTowardTheHiddenMainWindow) {
  platform.trayWindow = 0x900;
  platform.trayNotifyWindow = 0x910;
  platform.windowRects[main.hWnd()] = {10, 20, 361, 187};
  platform.windowRects[0x910] = {700, 570, 800, 600};
  platform.windowRects[program.settingsWindow().hWnd()] = {200, 200, 630, 530};
  StartAndForget();

  windows.nextMenuChoice = "&Settings";
  TrayReports(0x205);

  const ptrdiff_t animate = IndexOf("DrawAnimatedRects(" + std::to_string(main.hWnd()) +
                                    ",3,700,570,800,600,10,20,361,187)");
  EXPECT_LT(animate, IndexOf("window show " + kSettings));
  EXPECT_TRUE(program.settingsWindow().Visible());
  EXPECT_FALSE(main.Visible());
}

TEST_F(FrmMainTest, SettingsWithTheMainWindowShownDoesNotAnimate) {
  StartAndForget();
  main.Show();
  main.mnuPopupMenuShowForm_Click();
  EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"), IsEmpty());
  EXPECT_TRUE(program.settingsWindow().Visible());
}

TEST_F(FrmMainTest, SettingsAgainOrFromASecondCopyKeepsTheOneSettingsWindow) {
  StartAndForget();
  main.mnuPopupMenuShowForm_Click();
  main.NotifySecondInstanceStarted();
  EXPECT_THAT(platform.calls, Not(Contains("window create " + kSettings)));
  EXPECT_THAT(platform.calls, Not(Contains("window hide " + kSettings)));
  EXPECT_THAT(platform.CallsTo("window show"),
              ElementsAre("window show " + kSettings, "window show " + kSettings));
  EXPECT_THAT(platform.CallsTo("Shell_NotifyIconA"), IsEmpty());
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"), IsEmpty());
}

TEST_F(FrmMainTest, AboutTwiceShowsOneAboutWindow) {
  StartAndForget();
  main.mnuAbout_Click();
  main.mnuAbout_Click();
  const std::string about = program.aboutWindow().design().caption;
  EXPECT_THAT(platform.CallsTo("window create"), ElementsAre("window create " + about));
  EXPECT_TRUE(program.aboutWindow().Visible());
}

TEST_F(FrmMainTest, EveryCloseRequestAnimatesTheWindowIntoTheTrayThenHidesIt) {
  platform.trayWindow = 0x900;
  platform.trayNotifyWindow = 0x910;
  platform.windowRects[main.hWnd()] = {10, 20, 361, 187};
  platform.windowRects[0x910] = {700, 570, 800, 600};
  StartAndForget();
  for (int16_t reason :
       {kCloseFromControlMenu, kCloseFromCode, kCloseFromWindows, kCloseFromTaskManager}) {
    main.Show();
    platform.calls.clear();
    main.CloseRequested(reason);
    EXPECT_THAT(platform.CallsTo("DrawAnimatedRects"),
                ElementsAre("DrawAnimatedRects(" + std::to_string(main.hWnd()) +
                            ",3,10,20,361,187,700,570,800,600)"))
        << reason;
    EXPECT_EQ(platform.calls.back(), "window hide " + kMain) << reason;
    EXPECT_TRUE(main.Loaded());
  }
}

TEST_F(FrmMainTest, PanelButtonsAddReplaceAndRemoveTheIcon) {
  StartAndForget();
  main.cmdAddIcon.UserClicked();
  main.cmdModifyIcon.UserClicked();
  main.cmdRemoveIcon.UserClicked();

  EXPECT_THAT(platform.calls,
              ElementsAre("Shell_NotifyIconA(0)", "Shell_NotifyIconA(1)", "Shell_NotifyIconA(2)"));
  for (size_t record = 0; record < 3; ++record) {
    EXPECT_EQ(Field(record, 4), main.picSystemTray.hWnd());
    EXPECT_EQ(Field(record, 8), 1u);
  }
  EXPECT_EQ(Field(0, 20), main.picSystemTrayIcon1.Picture());
  EXPECT_EQ(Tip(0), "Key hush v1");
  EXPECT_EQ(Field(1, 20), main.picSystemTrayIcon2.Picture());
  EXPECT_EQ(Tip(1), "New Icon and Tooltip!");
  EXPECT_EQ(Field(2, 12), 0u);
}

TEST_F(FrmMainTest, ANewTaskBarGetsTheStartUpIconAgain) {
  StartAndForget();
  main.NotifyTaskbarCreated();
  EXPECT_THAT(platform.calls, ElementsAre("Shell_NotifyIconA(0)"));
  EXPECT_EQ(Field(0, 20), main.picSystemTrayIcon1.Picture());
  EXPECT_EQ(Tip(0), "Key hush v1");
}

}  // namespace
}  // namespace keyhush
