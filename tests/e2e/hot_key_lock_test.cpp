// The hot key that locks: which combination the real program holds, and what one press does.
#include "driver.h"

#include <vector>

namespace e2e {
namespace {

using HotKeyLock = KeyhushTest;

constexpr const char* kLockArguments = "user32.dll,LockWorkStation";

// Presses the hot key and checks that exactly one lock command was started, as the program
// asked for it: the quoted rundll32.exe of the system folder, its arguments, window style 1.
void PressAndExpectOneLock(UINT modifiers, UINT key) {
  ASSERT_NO_FATAL_FAILURE(PressHotKey(modifiers, key));
  std::vector<Started> starts = WaitForStarted(1);
  ASSERT_EQ(starts.size(), 1u) << "the lock command did not start";
  // A second start would show up by now; one press is one lock.
  std::this_thread::sleep_for(300ms);
  starts = ReadStarted();
  ASSERT_EQ(starts.size(), 1u);

  const Started& lock = starts.front();
  const CommandLine command = SplitCommandLine(lock.commandLine);
  EXPECT_TRUE(command.quoted) << lock.commandLine;
  EXPECT_EQ(lstrcmpiA(command.program.c_str(), (SystemFolder() + "\\rundll32.exe").c_str()), 0)
      << lock.commandLine;
  EXPECT_EQ(command.arguments, kLockArguments);
  EXPECT_EQ(lock.showWindow, "1");
  // A 32-bit program asking for system32 may be given the 32-bit folder; both are the system's.
  const std::string started = lock.path.substr(0, lock.path.find_last_of('\\'));
  EXPECT_TRUE(lstrcmpiA(started.c_str(), SystemFolder().c_str()) == 0 ||
              lstrcmpiA(started.c_str(), "C:\\windows\\syswow64") == 0)
      << lock.path;
}

TEST_F(HotKeyLock, EmptyStoreHoldsWinXAndSavesNothing) {
  ASSERT_TRUE(HotKeyIsFree(MOD_WIN, 'X')) << "something else holds Win + X already";
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  SaveScreenshot("started");

  EXPECT_FALSE(HotKeyIsFree(MOD_WIN, 'X'));
  EXPECT_FALSE(KeyExists("Software\\Key hush"));
  EXPECT_FALSE(KeyExists("Software\\Keyhush"));

  keyhush.Terminate();
  EXPECT_TRUE(WaitUntil([] { return HotKeyIsFree(MOD_WIN, 'X'); }))
      << "Win + X stayed held after the program ended";
}

TEST_F(HotKeyLock, WinXStartsTheLockCommandAndLeavesTheSystemFolderOnTheClipboard) {
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("before the press"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());

  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  EXPECT_EQ(ClipboardText(), SystemFolder());
  EXPECT_TRUE(keyhush.Running());
  // A press saves nothing either.
  EXPECT_FALSE(KeyExists("Software\\Key hush"));
}

TEST_F(HotKeyLock, SavedHotKeyIsTheOneHeld) {
  struct Combination {
    UINT modifiers;
    UINT key;
  };
  constexpr Combination kWinX{MOD_WIN, 'X'}, kCtrlY{MOD_CONTROL, 'Y'}, kAltZ{MOD_ALT, 'Z'};
  struct Case {
    const char* modifier;
    const char* key;
    std::vector<Combination> held;
    std::vector<Combination> free;
  };
  // Only the first character of the key counts; a modifier name in another case is none of the
  // four, so the program runs without a hot key rather than guessing.
  const Case cases[] = {
      {"Ctrl", "Y", {kCtrlY}, {kWinX}},
      {"Alt", "Zebra", {kAltZ}, {kWinX, kCtrlY}},
      {"Win Button", "X", {kWinX}, {kCtrlY}},
      {"ctrl", "Y", {}, {kWinX, kCtrlY}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.modifier) + " / " + c.key);
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "modifier", c.modifier));
    ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "currentkey", c.key));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());

    for (const Combination& combination : c.held) {
      EXPECT_FALSE(HotKeyIsFree(combination.modifiers, combination.key))
          << "not held: " << combination.modifiers << " + " << char(combination.key);
    }
    for (const Combination& combination : c.free) {
      EXPECT_TRUE(HotKeyIsFree(combination.modifiers, combination.key))
          << "held: " << combination.modifiers << " + " << char(combination.key);
    }
    // Restoring rewrites nothing.
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), c.modifier);
    EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), c.key);
    EXPECT_TRUE(keyhush.Running());
    keyhush.Terminate();
  }
}

TEST_F(HotKeyLock, SavedCtrlYLocks) {
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "modifier", "Ctrl"));
  ASSERT_NO_FATAL_FAILURE(WriteString(kHotKeySettings, "currentkey", "Y"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());

  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_CONTROL, 'Y'));
  EXPECT_EQ(ClipboardText(), SystemFolder());
}

TEST_F(HotKeyLock, LockStartsWhileAnotherProgramHoldsTheClipboardOpen) {
  ASSERT_NO_FATAL_FAILURE(SetClipboardText("held"));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  {
    ClipboardHeldOpen clipboard;
    ASSERT_TRUE(clipboard.Held());
    ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock(MOD_WIN, 'X'));
  }
  EXPECT_TRUE(keyhush.Running());
  // The press could not replace the text, and tried nothing after the clipboard came free.
  EXPECT_EQ(ClipboardText(), "held");
}

}  // namespace
}  // namespace e2e
