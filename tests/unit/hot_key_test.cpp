#include "hotkey/hot_key.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"
#include "hotkey/form1.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class HotKeyTest : public ::testing::Test {
 protected:
  static constexpr Handle kWindow = 0x500;
  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  HotKey& hotKey = program.hotKey();

  void Set(int32_t modifier, int16_t key) { hotKey.SetHotKey(kWindow, modifier, key); }
};

TEST_F(HotKeyTest, ClearWhileUnhookedWithNothingRegisteredMakesNoPlatformCall) {
  hotKey.ClearHotKey(kWindow);
  hotKey.ClearHotKey(kWindow);
  EXPECT_THAT(platform.calls, IsEmpty());
}

TEST_F(HotKeyTest, SecondSetHooksOnceAndRegistersTheNextIdentifier) {
  Set(MOD_CONTROL, 'Y');
  Set(MOD_ALT, 'X');
  EXPECT_THAT(platform.calls,
              ElementsAre("SetWindowLongA(1280,-4,49374)", "RegisterHotKey(1280,1,2,89)",
                          "RegisterHotKey(1280,2,1,88)"));
  EXPECT_EQ(hotKey.currentModifierName(), "Alt");
  EXPECT_EQ(hotKey.currentKeyText(), "X");
  EXPECT_EQ(hotKey.hotKeyCount(), 2);
}

TEST_F(HotKeyTest, ClearRestoresTheReplacedProcedureThenUnregistersEveryIdentifier) {
  Set(MOD_CONTROL, 'Y');
  Set(MOD_ALT, 'X');
  Set(MOD_SHIFT, 'B');
  platform.calls.clear();
  hotKey.ClearHotKey(kWindow);
  EXPECT_THAT(platform.calls, ElementsAre("SetWindowLongA(1280,-4,240)", "UnregisterHotKey(1280,1)",
                                          "UnregisterHotKey(1280,2)", "UnregisterHotKey(1280,3)"));
  EXPECT_EQ(hotKey.hotKeyCount(), 0);
  EXPECT_EQ(hotKey.isHooked(), 0);
  // The names stay for saving and display.
  EXPECT_EQ(hotKey.currentModifierName(), "Shift");
  EXPECT_EQ(platform.procedures[kWindow], platform.formProcedure);
}

TEST_F(HotKeyTest, RehookReadsTheWindowsCurrentProcedureAnew) {
  Set(MOD_WIN, 'X');
  hotKey.ClearHotKey(kWindow);
  platform.procedures[kWindow] = 0xAB;  // something else subclassed the window meanwhile
  Set(MOD_WIN, 'X');
  EXPECT_EQ(hotKey.previousWindowProc(), 0xABu);
}

TEST_F(HotKeyTest, ModifierNamesFollowTheFourSingleFlagsOnly) {
  struct Case {
    int32_t modifier;
    const char* expected;  // after a first SetHotKey with Ctrl
  };
  for (const Case& c :
       {Case{1, "Alt"}, Case{2, "Ctrl"}, Case{4, "Shift"}, Case{8, "Win Button"}, Case{0, "Ctrl"},
        Case{3, "Ctrl"}, Case{5, "Ctrl"}, Case{-1, "Ctrl"}, Case{16, "Ctrl"}}) {
    HotKey fresh(platform, [this]() -> Form1& { return program.lockWindow(); });
    fresh.SetHotKey(kWindow, MOD_CONTROL, 'Y');
    fresh.SetHotKey(kWindow, c.modifier, 'K');
    EXPECT_EQ(fresh.currentModifierName(), c.expected) << c.modifier;
    EXPECT_EQ(fresh.currentKeyText(), "K");
  }
}

TEST_F(HotKeyTest, UnknownModifierIsStillRegisteredButLeavesAnEmptyName) {
  Set(3, 'Q');
  EXPECT_THAT(platform.CallsTo("RegisterHotKey"), ElementsAre("RegisterHotKey(1280,1,3,81)"));
  EXPECT_EQ(hotKey.currentModifierName(), "");
}

TEST_F(HotKeyTest, RefusedRegistrationIsRecordedAndTheNamesStillChange) {
  platform.heldByOthers.insert({MOD_WIN, 'X'});
  Set(MOD_WIN, 'X');
  EXPECT_FALSE(hotKey.lastRegistrationSucceeded());
  EXPECT_EQ(hotKey.currentModifierName(), "Win Button");
  Set(MOD_CONTROL, 'Y');
  EXPECT_TRUE(hotKey.lastRegistrationSucceeded());
}

TEST_F(HotKeyTest, CountOverflowRaisesBeforeRegisteringAndKeepsTheNames) {
  Set(MOD_CONTROL, 'Y');
  for (int i = 1; i < 32767; ++i) hotKey.RegisterNextHotKey(kWindow, MOD_CONTROL, 'Y');
  ASSERT_EQ(hotKey.hotKeyCount(), 32767);
  platform.calls.clear();
  try {
    Set(MOD_ALT, 'Z');
    FAIL() << "no overflow";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.number(), kErrOverflow);
  }
  EXPECT_THAT(platform.calls, IsEmpty());
  EXPECT_EQ(hotKey.hotKeyCount(), 32767);
  EXPECT_EQ(hotKey.currentModifierName(), "Ctrl");
}

TEST_F(HotKeyTest, RefusedHookIsNeverUndoneWithAnEmptyProcedure) {
  platform.setWindowLongFails = true;
  Set(MOD_WIN, 'X');
  EXPECT_EQ(hotKey.isHooked(), 0);
  platform.calls.clear();
  hotKey.ClearHotKey(kWindow);
  EXPECT_THAT(platform.calls, ElementsAre("UnregisterHotKey(1280,1)"));
}

TEST_F(HotKeyTest, EveryMessageReachesThePreviousProcedureFirstAndItsResultIsReturned) {
  Set(MOD_WIN, 'X');
  platform.calls.clear();
  EXPECT_EQ(platform.Dispatch(kWindow, 0x0010 /* WM_CLOSE */, 1, 2), 42);
  EXPECT_EQ(platform.Dispatch(kWindow, WM_HOTKEY, 77, 0x580008), 42);
  ASSERT_GE(platform.calls.size(), 3u);
  EXPECT_EQ(platform.calls[0], "CallWindowProcA(240,1280,16,1,2)");
  EXPECT_EQ(platform.calls[1], "CallWindowProcA(240,1280,786,77,5767176)");
  // Any identifier locks, even one the module never registered.
  EXPECT_THAT(platform.CallsTo("StartProgram"), ElementsAre(::testing::_));
}

class LockActionTest : public HotKeyTest {
 protected:
  void Press() {
    Set(MOD_WIN, 'X');
    platform.calls.clear();
    platform.Dispatch(kWindow, WM_HOTKEY, 1, 0);
  }
};

TEST_F(LockActionTest, PressPutsTheSystemFolderOnTheClipboardThenStartsTheLockCommand) {
  Press();
  EXPECT_THAT(platform.calls,
              ElementsAre("CallWindowProcA(240,1280,786,1,0)", "window create Form1",
                          "SHGetFolderPathA(256,37,0,1)", "SetClipboardText(C:\\windows\\system32)",
                          "StartProgram(C:\\windows\\system32\\rundll32.exe,user32.dll,"
                          "LockWorkStation,1)"));
  EXPECT_EQ(platform.clipboard, "C:\\windows\\system32");
}

TEST_F(LockActionTest, LaterPressesReuseTheHiddenLockWindow) {
  Press();
  platform.Dispatch(kWindow, WM_HOTKEY, 1, 0);
  EXPECT_THAT(platform.CallsTo("window"), ElementsAre("window create Form1"));
  EXPECT_FALSE(program.lockWindow().Visible());
  EXPECT_EQ(platform.CallsTo("StartProgram").size(), 2u);
}

TEST_F(LockActionTest, LockDoesNotDependOnTheClipboardOrTheFolderLookup) {
  struct Case {
    const char* what;
    int32_t folderResult;
    bool noNul;
    const char* folder;
    bool clipboard;
    const char* expectedProgram;
  };
  const Case cases[] = {
      {"clipboard held open", 0, false, "C:\\windows\\system32", false,
       "C:\\windows\\system32\\rundll32.exe"},
      {"lookup fails", -2147467259, false, "", true, "C:\\WINDOWS\\system32\\rundll32.exe"},
      {"lookup leaves no NUL", 0, true, "", true, "C:\\WINDOWS\\system32\\rundll32.exe"},
      {"lookup gives an empty path", 0, false, "", true, "C:\\WINDOWS\\system32\\rundll32.exe"},
  };
  for (const Case& c : cases) {
    testing::FakePlatform fake;
    testing::HeadlessWindows headless{fake.calls};
    Program fresh{fake, headless};
    fake.folderResult = c.folderResult;
    fake.folderLeavesNoNul = c.noNul;
    fake.folderPath = c.folder;
    fake.clipboardAvailable = c.clipboard;
    fresh.hotKey().SetHotKey(kWindow, MOD_WIN, 'X');
    fake.Dispatch(kWindow, WM_HOTKEY, 1, 0);
    EXPECT_THAT(fake.CallsTo("StartProgram"),
                ElementsAre(std::string("StartProgram(") + c.expectedProgram +
                            ",user32.dll,LockWorkStation,1)"))
        << c.what;
  }
}

TEST_F(LockActionTest, FailedLockCommandIsToldToTheUserAndTheProgramGoesOn) {
  platform.startProgramError = RuntimeError(kErrFileNotFound);
  Press();
  EXPECT_THAT(platform.CallsTo("MsgBox"),
              ElementsAre("MsgBox(The workstation could not be locked.\n\nFile not found "
                          "(error 53),error)"));
  platform.startProgramError.reset();
  platform.Dispatch(kWindow, WM_HOTKEY, 1, 0);
  EXPECT_EQ(platform.CallsTo("StartProgram").size(), 2u);
}

}  // namespace
}  // namespace keyhush
