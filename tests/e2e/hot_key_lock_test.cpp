// The hot key that locks: which combination the real program holds, and what presses do.
#include "driver.h"

namespace e2e {
namespace {

using HotKeyLock = KeyhushTest;

// Presses the hot key and expects exactly one more start: the quoted rundll32.exe of the system
// folder (or, for a 32-bit program, of syswow64), locking, in window style 1.
void PressAndExpectOneLock(UINT modifiers, UINT key) {
  const size_t before = ReadStarted().size();
  ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
  const std::vector<Started> starts = WaitForStarted(before + 1);
  ASSERT_EQ(starts.size(), before + 1) << "the lock command did not start";
  EXPECT_FALSE(WaitUntil([&] { return ReadStarted().size() > before + 1; }, 300ms));
  const std::string command = "\"" + SystemFolder() + "\\rundll32.exe\" user32.dll,LockWorkStation";
  EXPECT_EQ(lstrcmpiA(starts.back().commandLine.c_str(), command.c_str()), 0)
      << starts.back().commandLine;
  EXPECT_EQ(starts.back().showWindow, "1");
}

TEST_F(HotKeyLock, EmptyStoreHoldsWinXWhichLocksEveryTimeAndTheProgramKeepsAnswering) {
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("before"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_FALSE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is not held";
  const HWND settings = FindProgramWindow(keyhush.Id(), kSettingsWindow);

  // The stand-in lingers while this event exists: the program must not wait for the lock.
  const HANDLE linger = CreateEventA(nullptr, TRUE, FALSE, "keyhush-e2e-linger");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  EXPECT_TRUE(Answers({settings})) << "the program waits for the lock command";
  SetEvent(linger);
  CloseHandle(linger);
  EXPECT_EQ(ClipboardText(), SystemFolder());
  EXPECT_FALSE(ReadString(kHotKeySettings, "modifier")) << "a press saved the hot key";

  // Another program keeps the clipboard open: the press still locks, and leaves its text alone.
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("held"));
  {
    ClipboardHeldOpen clipboard;
    ASSERT_TRUE(clipboard.held);
    ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  }
  EXPECT_EQ(ClipboardText(), "held");

  // Many presses at once: one lock each, the program answering meanwhile and holding no more.
  std::vector<Footprint> footprints;
  for (int round = 1; round <= 4; ++round) {
    for (int press = 0; press < 50; ++press) ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
    EXPECT_TRUE(Answers({settings})) << "no answer during round " << round;
    const size_t expected = 2 + round * 50;
    ASSERT_TRUE(WaitUntil([&] { return ReadStarted().size() >= expected; }, 60s));
    footprints.push_back(FootprintOf(keyhush.Id()));
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ReadStarted().size(), 202u);
  ExpectFlat(footprints, "presses");

  keyhush.Terminate();
  EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_WIN, 'X'); })) << "Win + X stayed held";
}

TEST_F(HotKeyLock, SavedCtrlYIsTheOneHeldAndLocks) {
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "modifier", "Ctrl"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "currentkey", "Y"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is held as well";
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_CONTROL, 'Y'));
}

}  // namespace
}  // namespace e2e
