#include "hotkey/hot_key.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

constexpr Handle kWindow = 0x500;
const std::string kLock = "rundll32.exe,user32.dll,LockWorkStation,1)";

struct HotKeyTest : ProgramTest {
  HotKey& hotKey = program.hotKey();
  void Set(int32_t modifier, int16_t key) { hotKey.SetHotKey(kWindow, modifier, key); }
};

TEST_F(HotKeyTest, HooksOnceRegistersOneToNThenRestoresAndUnregistersAll) {
  hotKey.ClearHotKey(kWindow);  // neither hooked nor registered: no call at all
  EXPECT_THAT(platform.calls, IsEmpty());
  Set(MOD_CONTROL, 'Y');
  Set(MOD_ALT, 'X');
  Set(3, 'B');  // not one of the four names: registered, but the name stays
  hotKey.ClearHotKey(kWindow);
  hotKey.ClearHotKey(kWindow);
  EXPECT_THAT(platform.calls,
              ElementsAre("SetWindowLongA(1280,-4,49374)", "RegisterHotKey(1280,1,2,89)",
                          "RegisterHotKey(1280,2,1,88)", "RegisterHotKey(1280,3,3,66)",
                          "SetWindowLongA(1280,-4,240)", "UnregisterHotKey(1280,1)",
                          "UnregisterHotKey(1280,2)", "UnregisterHotKey(1280,3)"));
  EXPECT_EQ(hotKey.currentModifierName() + hotKey.currentKeyText(), "AltB");  // kept for saving
  // Something else subclassed the window meanwhile: the next hook keeps that procedure.
  platform.procedures[kWindow] = 0xAB;
  Set(MOD_WIN, 'X');
  EXPECT_EQ(hotKey.previousWindowProc(), 0xABu);
  EXPECT_EQ(hotKey.currentModifierName(), "Win Button");
}

TEST_F(HotKeyTest, CountOverflowRaisesBeforeAnyCallAndKeepsTheNames) {
  Set(MOD_CONTROL, 'Y');
  for (int i = 1; i < 32767; ++i) hotKey.RegisterNextHotKey(kWindow, MOD_CONTROL, 'Y');
  platform.calls.clear();
  EXPECT_THROW(Set(MOD_ALT, 'Z'), RuntimeError);
  EXPECT_THAT(platform.calls, IsEmpty());
  EXPECT_EQ(hotKey.hotKeyCount(), 32767);
  EXPECT_EQ(hotKey.currentModifierName(), "Ctrl");
}

TEST_F(HotKeyTest, RefusedHookIsNeverUndoneWithAnEmptyProcedure) {
  platform.setWindowLongFails = true;
  Set(MOD_WIN, 'X');
  platform.calls.clear();
  hotKey.ClearHotKey(kWindow);
  EXPECT_THAT(platform.calls, ElementsAre("UnregisterHotKey(1280,1)"));
}

TEST_F(HotKeyTest, EveryMessageGoesToTheOldProcedureFirstAndAnyHotKeyLocks) {
  Set(MOD_WIN, 'X');
  platform.calls.clear();
  EXPECT_EQ(platform.Dispatch(kWindow, 0x0010 /* WM_CLOSE */, 1, 2), 42);
  EXPECT_EQ(platform.Dispatch(kWindow, WM_HOTKEY, 77, 0x580008), 42);  // an unknown identifier
  EXPECT_THAT(platform.calls,
              ElementsAre("CallWindowProcA(240,1280,16,1,2)",
                          "CallWindowProcA(240,1280,786,77,5767176)", "window create Form1",
                          "SHGetFolderPathA(256,37,0,1)", "SetClipboardText(C:\\windows\\system32)",
                          "StartProgram(C:\\windows\\system32\\" + kLock));
}

TEST_F(HotKeyTest, AFailedFolderLookupLocksFromTheSystemDirectoryAndAFailedLockIsTold) {
  const std::string told =
      " | MsgBox(The workstation could not be locked.\n\nFile not found (error 53),error)";
  for (auto [result, noNul, startFails] : {std::tuple{-2147467259, false, false},
                                           {0, true, false},
                                           {0, false, false},
                                           {0, false, true}}) {
    Rig r;
    r.platform.folderResult = result;
    r.platform.folderLeavesNoNul = noNul;
    r.platform.folderPath = "";
    if (startFails) r.platform.startProgramError = RuntimeError(kErrFileNotFound);
    r.program.hotKey().SetHotKey(kWindow, MOD_WIN, 'X');
    r.platform.Dispatch(kWindow, WM_HOTKEY, 1, 0);
    EXPECT_EQ(Calls(r.platform, {"Start", "Msg"}),
              "StartProgram(C:\\WINDOWS\\system32\\" + kLock + (startFails ? told : ""))
        << result << noNul;
  }
}

}  // namespace
}  // namespace keyhush::testing
