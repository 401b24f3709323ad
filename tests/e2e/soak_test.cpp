// The real program under long use: a thousand hot-key presses, a thousand list selections and a
// hundred openings of its windows, each run watched from outside for what the program holds
// (handles, windows, private memory) and whether it still answers.
#include "driver.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace e2e {
namespace {

// What the program holds, counted from outside. GetGuiResources is not implemented by Wine 8
// (it fails with error 120): its counts are -1 there and are compared only where they exist.
// GetProcessHandleCount gives 0 there, so handles are counted in the system's handle table.
struct Footprint {
  long handles = -1;
  size_t windows = 0;
  long gdiObjects = -1, userObjects = -1;
  SIZE_T privateBytes = 0;  // PagefileUsage: Wine reports PrivateUsage of another process as 0
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<size_t*>(count);
  return TRUE;
}

struct WindowCount {
  DWORD processId;
  size_t count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
  auto& counted = *reinterpret_cast<WindowCount*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != counted.processId) return TRUE;
  ++counted.count;
  EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&counted.count));
  return TRUE;
}

// One entry of the system's handle table (SystemExtendedHandleInformation).
struct HandleEntry {
  ULONG_PTR object, processId, handle;
  ULONG access;
  USHORT creatorBackTraceIndex, objectTypeIndex;
  ULONG attributes, reserved;
};
struct HandleTable {
  ULONG_PTR count, reserved;
  HandleEntry entries[1];
};

long HandleCount(DWORD processId) {
  using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  constexpr ULONG kExtendedHandleInformation = 64;
  constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
  const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return -1;
  std::vector<char> buffer(1 << 16);
  LONG status = kLengthMismatch;
  while (buffer.size() <= (1u << 26) &&
         (status = query(kExtendedHandleInformation, buffer.data(),
                         static_cast<ULONG>(buffer.size()), nullptr)) == kLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return -1;
  const auto& table = *reinterpret_cast<const HandleTable*>(buffer.data());
  return static_cast<long>(
      std::count_if(table.entries, table.entries + table.count,
                    [&](const HandleEntry& entry) { return entry.processId == processId; }));
}

long GuiObjects(HANDLE process, DWORD kind) {
  SetLastError(0);
  const DWORD count = GetGuiResources(process, kind);
  return count == 0 && GetLastError() != 0 ? -1 : static_cast<long>(count);
}

Footprint FootprintOf(DWORD processId) {
  Footprint footprint;
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  EXPECT_NE(process, nullptr) << "error " << GetLastError();
  if (!process) return footprint;
  footprint.handles = HandleCount(processId);
  EXPECT_GT(footprint.handles, 0) << "the system's handle table cannot be read";
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  EXPECT_TRUE(GetProcessMemoryInfo(process, &memory, sizeof memory));
  footprint.privateBytes = memory.PagefileUsage;
  footprint.gdiObjects = GuiObjects(process, GR_GDIOBJECTS);
  footprint.userObjects = GuiObjects(process, GR_USEROBJECTS);
  CloseHandle(process);
  WindowCount counted{processId, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&counted));
  footprint.windows = counted.count;
  return footprint;
}

// The footprint after the first tenth of a run is the baseline (Wine and the program settle in
// then: the lock window, the clipboard window, caches); the last must not exceed it by more than
// what a leak of one thing per step over the other nine tenths would pass.
// - Handles: 10. A handle left open per press, selection or opening adds 90 to 900.
// - Windows: none. The program's windows are all made before the baseline.
// - GDI and USER objects, where counted: 10, as handles.
// - Private bytes: 16 KiB. Wine counts them in pages of 4 KiB, and runs without a leak stay
//   within one page; 16 KiB is passed by a leak of 19 bytes a press or selection, or of 190
//   bytes an opening (the About window's own copies of its icons once cost about 370).
void ExpectFlat(const std::vector<Footprint>& footprints, const char* run) {
  ASSERT_GE(footprints.size(), 2u);
  const Footprint& first = footprints.front();
  const Footprint& last = footprints.back();
  std::string trace;
  for (const Footprint& f : footprints) {
    trace += " [" + std::to_string(f.handles) + " handles, " + std::to_string(f.windows) +
             " windows, " + std::to_string(f.privateBytes / 1024) + " KiB]";
  }
  SCOPED_TRACE(std::string(run) + ":" + trace);
  std::printf("%s, every tenth:%s\n", run, trace.c_str());
  EXPECT_LE(last.handles, first.handles + 10);
  EXPECT_EQ(last.windows, first.windows);
  if (first.gdiObjects >= 0 && last.gdiObjects >= 0) {
    EXPECT_LE(last.gdiObjects, first.gdiObjects + 10);
  }
  if (first.userObjects >= 0 && last.userObjects >= 0) {
    EXPECT_LE(last.userObjects, first.userObjects + 10);
  }
  EXPECT_LE(last.privateBytes, first.privateBytes + 16 * 1024);
}

class Soak : public KeyhushTest {
 protected:
  // Clicks the button, once it is what the pointer would hit there, until `done` holds; at most
  // twice. Now and then Wine brings a window forward again just after another one was
  // activated, and the click goes by; the second one is counted.
  template <typename Condition>
  bool ClickUntil(HWND button, Condition done) {
    for (int attempt = 0; attempt < 2; ++attempt) {
      if (attempt > 0) ++secondClicks;
      const POINT at = CentreOf(button);
      const auto hit = [&] { return WindowFromPoint(at) == button; };
      if (!WaitUntil([&] {
            if (!hit()) return false;
            std::this_thread::sleep_for(200ms);
            return hit();
          })) {
        return false;
      }
      ClickAt(at);
      if (WaitUntil(done, attempt == 0 ? 3s : kPatience)) return true;
    }
    return false;
  }
  void TearDown() override {
    if (secondClicks > 0) std::printf("clicks repeated: %d\n", secondClicks);
    KeyhushTest::TearDown();
  }

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    main = FindProgramWindow(keyhush.Id(), kMainWindow);
    settings = FindProgramWindow(keyhush.Id(), kSettingsWindow);
    ASSERT_TRUE(main && settings);
  }

  HWND main = nullptr, settings = nullptr;
  int secondClicks = 0;
};

TEST_F(Soak, AThousandPressesStartAThousandLocksAndTheProgramKeepsAnswering) {
  std::vector<Footprint> footprints;
  for (size_t hundred = 1; hundred <= 10; ++hundred) {
    // One hundred of them while another program keeps the clipboard open.
    std::optional<ClipboardHeldOpen> clipboard;
    if (hundred == 5) {
      ASSERT_TRUE(clipboard.emplace().Held());
    }
    for (int press = 0; press < 100; ++press) ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
    // It answers while the presses are still being handled.
    EXPECT_TRUE(Answers({main, settings})) << "no answer during press hundred " << hundred;
    const size_t expected = hundred * 100;
    ASSERT_TRUE(WaitUntil([&] { return ReadStarted().size() >= expected; }, 120s))
        << ReadStarted().size() << " lock commands after " << expected << " presses";
    clipboard.reset();
    footprints.push_back(FootprintOf(keyhush.Id()));
  }
  // No press started two: a late one would show by now.
  std::this_thread::sleep_for(500ms);
  const std::vector<Started> starts = ReadStarted();
  EXPECT_EQ(starts.size(), 1000u);
  EXPECT_TRUE(std::all_of(starts.begin(), starts.end(), [](const Started& start) {
    return SplitCommandLine(start.commandLine).arguments == "user32.dll,LockWorkStation";
  }));
  EXPECT_TRUE(keyhush.Running());
  EXPECT_EQ(ClipboardText(), SystemFolder()) << "the presses after the clipboard came free";
  ExpectFlat(footprints, "presses");
}

// The ten choices as the list offers them and as the program shows the active one.
struct Choice {
  UINT modifiers;
  UINT key;
  const char* shown;
  const char* modifier;
};
constexpr Choice kChoices[] = {
    {MOD_CONTROL, 'Y', "Ctrl Y", "Ctrl"}, {MOD_CONTROL, 'K', "Ctrl K", "Ctrl"},
    {MOD_CONTROL, 'I', "Ctrl I", "Ctrl"}, {MOD_ALT, 'X', "Alt X", "Alt"},
    {MOD_ALT, 'Y', "Alt Y", "Alt"},       {MOD_ALT, 'Z', "Alt Z", "Alt"},
    {MOD_SHIFT, 'A', "Shift A", "Shift"}, {MOD_SHIFT, 'B', "Shift B", "Shift"},
    {MOD_SHIFT, 'C', "Shift C", "Shift"}, {MOD_WIN, 'X', "Win Button X", "Win Button"},
};

TEST_F(Soak, AThousandSelectionsWithTheArrowKeysHoldOnlyTheChosenHotKey) {
  // Another program holds Ctrl + K throughout: choosing it is shown as unavailable, saved, and
  // leaves nothing held.
  constexpr size_t kHeldElsewhere = 1;
  constexpr int kOthers = 0xB002;
  ASSERT_TRUE(RegisterHotKey(nullptr, kOthers, MOD_CONTROL, 'K'));
  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  // The arrow keys go to the list's edit field.
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(w.combo)));

  std::vector<Footprint> footprints;
  int index = -1;
  int step = 1;
  for (int selection = 1; selection <= 1000; ++selection) {
    // Down to the last entry, up to the first, and so on.
    if (index + step < 0 || index + step > 9) step = -step;
    const int previous = index;
    index += step;
    const Choice& choice = kChoices[index];
    ASSERT_NO_FATAL_FAILURE(TapKey(step > 0 ? VK_DOWN : VK_UP));
    const std::string shown =
        std::string(choice.shown) +
        (static_cast<size_t>(index) == kHeldElsewhere ? " (unavailable)" : "");
    ASSERT_TRUE(WaitUntil([&] {
      return SendMessageW(w.combo, CB_GETCURSEL, 0, 0) == index && w.HotKeyText() == shown;
    })) << "selection "
        << selection << " of entry " << index << " shows " << w.HotKeyText();
    if (static_cast<size_t>(index) != kHeldElsewhere) {
      ASSERT_FALSE(HotKeyIsFree(choice.modifiers, choice.key))
          << choice.shown << " not held at selection " << selection;
    }
    if (previous >= 0 && static_cast<size_t>(previous) != kHeldElsewhere) {
      const Choice& before = kChoices[previous];
      ASSERT_TRUE(HotKeyIsFree(before.modifiers, before.key))
          << before.shown << " still held after selection " << selection;
    }
    if (selection % 100 == 0) {
      EXPECT_EQ(ReadString(kHotKeySettings, "modifier"), choice.modifier);
      EXPECT_EQ(ReadString(kHotKeySettings, "currentkey"), std::string(1, char(choice.key)));
      footprints.push_back(FootprintOf(keyhush.Id()));
    }
  }
  UnregisterHotKey(nullptr, kOthers);
  EXPECT_TRUE(keyhush.Running());
  ExpectFlat(footprints, "selections");
}

TEST_F(Soak, AHundredOpeningsOfSettingsAndAboutAndNewTaskBarsLeaveNothingBehind) {
  const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
  ASSERT_NE(taskbarCreated, 0u);
  std::vector<Footprint> footprints;
  for (int cycle = 1; cycle <= 100; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    const SettingsWindow w = OpenSettings(keyhush.Id());
    ASSERT_TRUE(w.Complete());
    ASSERT_TRUE(TakesInput(w.form)) << "the settings window is not in front";
    HWND about = nullptr;
    ASSERT_TRUE(ClickUntil(w.about, [&] {
      const std::vector<HWND> shown = ShownWindows(keyhush.Id(), "About Key hush");
      about = shown.empty() ? nullptr : shown.front();
      return about != nullptr;
    })) << "no About window";
    ASSERT_TRUE(TakesInput(about)) << "the About window is not in front";
    const HWND ok = ChildStartingWith(about, "OK");
    ASSERT_NE(ok, nullptr);
    ASSERT_TRUE(ClickUntil(ok, [&] { return !IsWindow(about); })) << "OK left the About window";
    ASSERT_TRUE(TakesInput(w.form)) << "the settings window did not come back to the front";
    ASSERT_TRUE(ClickUntil(w.cancel, [&] { return !IsWindowVisible(w.form); }))
        << "Cancel left it shown";
    ASSERT_FALSE(w.Ticked()) << "a click went astray";
    // As if Explorer had started anew: the icon is added again, and stays one icon.
    ASSERT_TRUE(SendNotifyMessageA(HWND_BROADCAST, taskbarCreated, 0, 0));
    ASSERT_TRUE(Answers({main, settings}));
    ASSERT_EQ(TrayIcons().size(), 1u);
    if (cycle % 10 == 0) footprints.push_back(FootprintOf(keyhush.Id()));
  }
  EXPECT_TRUE(keyhush.Running());
  ExpectFlat(footprints, "openings");
}

}  // namespace
}  // namespace e2e
