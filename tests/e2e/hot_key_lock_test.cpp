// The hot key that locks: which combination the real program holds, and what one press does.
#include "driver.h"

namespace e2e {
namespace {

using HotKeyLock = KeyhushTest;

// Presses the hot key and checks that exactly one more lock command was started, as the program
// asked for it: the quoted rundll32.exe of the system folder, its arguments, window style 1.
void PressAndExpectOneLock(UINT modifiers, UINT key) {
  const size_t before = ReadStarted().size();
  ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
  const std::vector<Started> starts = WaitForStarted(before + 1);
  ASSERT_EQ(starts.size(), before + 1) << "the lock command did not start";
  EXPECT_FALSE(WaitUntil([&] { return ReadStarted().size() > before + 1; }, 300ms))
      << "one press started more than one lock";

  const Started& lock = starts.back();
  const CommandLine command = SplitCommandLine(lock.commandLine);
  EXPECT_TRUE(command.quoted) << lock.commandLine;
  EXPECT_EQ(lstrcmpiA(command.program.c_str(), (SystemFolder() + "\\rundll32.exe").c_str()), 0)
      << lock.commandLine;
  EXPECT_EQ(command.arguments, "user32.dll,LockWorkStation");
  EXPECT_EQ(lock.showWindow, "1");
  // A 32-bit program asking for system32 may be given the 32-bit folder; both are the system's.
  const std::string folder = lock.path.substr(0, lock.path.find_last_of('\\'));
  EXPECT_TRUE(lstrcmpiA(folder.c_str(), SystemFolder().c_str()) == 0 ||
              lstrcmpiA(folder.c_str(), "C:\\windows\\syswow64") == 0)
      << lock.path;
}

TEST_F(HotKeyLock, EmptyStoreHoldsWinXWhichLocksEvenWithTheClipboardHeldOpen) {
  ASSERT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "something else holds Win + X already";
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("before the press"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_FALSE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is not held";

  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  EXPECT_EQ(ClipboardText(), SystemFolder());
  // Neither the start nor a press saves anything.
  EXPECT_FALSE(KeyExists("Software\\Key hush"));
  EXPECT_FALSE(KeyExists("Software\\Keyhush"));

  // Another program keeps the clipboard open: the press still locks, and leaves its text alone.
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("held"));
  {
    ClipboardHeldOpen clipboard;
    ASSERT_TRUE(clipboard.Held());
    ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  }
  EXPECT_EQ(ClipboardText(), "held");
  EXPECT_TRUE(keyhush.Running());

  keyhush.Terminate();
  EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_WIN, 'X'); }))
      << "Win + X stayed held after the program ended";
}

TEST_F(HotKeyLock, SavedCtrlYIsTheOneHeldAndLocks) {
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "modifier", "Ctrl"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "currentkey", "Y"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  EXPECT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "Win + X is held as well";

  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_CONTROL, 'Y'));
  EXPECT_EQ(ClipboardText(), SystemFolder());
  // Restoring rewrites nothing.
  EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), "Ctrl");
  EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), "Y");
}

}  // namespace
}  // namespace e2e
