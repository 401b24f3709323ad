// The hot key that locks: Win + X held from an empty store, and what presses do.
#include "driver.h"

namespace e2e {

static std::string ClipboardText() {  // "" when it holds no text
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3s)) return "(kept open)";
  const HANDLE data = GetClipboardData(CF_TEXT);
  const std::string text = data ? static_cast<const char*>(GlobalLock(data)) : "";
  if (data) GlobalUnlock(data);
  CloseClipboard();
  return text;
}

using HotKeyLock = KeyhushTest;

TEST_F(HotKeyLock, EmptyStoreHoldsWinXWhichLocksEveryTimeAndTheProgramKeepsAnswering) {
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  const HWND settings = Windows(keyhush.Id(), kSettingsWindow, false).front();
  // The stand-in lingers while this event exists: the program must not wait for the lock.
  const HANDLE linger = CreateEventA(nullptr, TRUE, FALSE, "keyhush-e2e-linger");
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock());
  EXPECT_TRUE(Answers(settings)) << "the program waits for the lock command";
  SetEvent(linger);
  CloseHandle(linger);
  EXPECT_EQ(ClipboardText(), SystemFolder());
  EXPECT_FALSE(ReadString(kHotKeySettings, "modifier")) << "a press saved the hot key";

  // Another program keeps the clipboard open (and empty): the press still locks, and leaves it so.
  ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard());
  ASSERT_NO_FATAL_FAILURE(PressAndExpectOneLock());
  CloseClipboard();
  EXPECT_EQ(ClipboardText(), "");

  // Many presses at once: one lock each, the program answering meanwhile and holding no more.
  std::vector<Footprint> footprints;
  for (int round = 1; round <= 4; ++round) {
    for (int press = 0; press < 50; ++press) ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
    EXPECT_TRUE(Answers(settings)) << "no answer during round " << round;
    ASSERT_TRUE(WaitUntil([&] { return ReadStarted().size() >= 2u + round * 50; }, 60s));
    footprints.push_back(FootprintOf(keyhush.Id()));
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ReadStarted().size(), 202u);
  ExpectFlat(footprints);
}

}  // namespace e2e
