// Key hush kept in folders whose names the tests' code page cannot spell, with blanks: its log-on
// entry is its exact path in quotes, a log-on starts it from there, and System Info starts the
// program its registry value names beside it, quoted, in window style 1.
#include <process.h>

#include "driver.h"

namespace e2e {

using UnicodeFolder = KeyhushTest;

TEST_F(UnicodeFolder, TheLogOnEntryIsTheExactQuotedPathAndALogOnStartsAWorkingProgramFromIt) {
  for (const std::string folder :
       {"C:\\Тест папка", "C:\\keyhush-e2e\\Φάκελος δοκιμής", "C:\\keyhush-e2e\\田中\\Downloads",
        "C:\\keyhush-e2e\\𝄞 notes 😀"}) {
    SCOPED_TRACE(folder);
    const std::wstring exe = Wide(folder + "\\keyhush.exe"),
                       sysInfo = Wide(folder + "\\msinfo32.exe");
    ASSERT_NO_FATAL_FAILURE(InstallStandIn(sysInfo));
    ASSERT_TRUE(CopyFileW(Wide(Environment("KEYHUSH_EXE")).c_str(), exe.c_str(), FALSE))
        << GetLastError();
    // With the start-up flag on, the program writes its log-on entry as it starts.
    ASSERT_NO_FATAL_FAILURE(SetString(kStartupSettings, "startup", "true"));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start(folder + "\\keyhush.exe"));
    wchar_t run[1024] = {};
    DWORD size = sizeof run;
    RegGetValueW(HKEY_CURRENT_USER, Wide(kRunKey).c_str(), L"Keyhush", RRF_RT_REG_SZ, nullptr, run,
                 &size);
    EXPECT_EQ(std::wstring(run), L"\"" + exe + L"\"");
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());

    // A log-on: wineboot without arguments starts what the Run key names.
    ASSERT_NE(_spawnl(_P_WAIT, (SystemFolder() + "\\wineboot.exe").c_str(), "wineboot", nullptr),
              -1);
    ASSERT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_WIN, 'X'); })) << "the log-on started none";
    DWORD id = 0;
    GetWindowThreadProcessId(Windows(0, kMainWindow, false).front(), &id);

    // System Info starts the program its registry value names, quoted (the names hold blanks).
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(kSysInfoKey).c_str(), L"PATH", REG_SZ,
                              sysInfo.c_str(), static_cast<DWORD>((sysInfo.size() + 1) * 2)),
              ERROR_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    const HWND about = ShownWindow(id, kAboutWindow);
    ASSERT_TRUE(TakesInput(about));
    ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
    const std::vector<Started> started = WaitForStarted(1);
    ASSERT_EQ(started.size(), 1u) << "System Info started nothing";
    EXPECT_TRUE(started[0].path.ends_with("\\msinfo32.exe")) << started[0].path;
    EXPECT_TRUE(started[0].commandLine.starts_with('"') && started[0].showWindow == "1" &&
                started[0].commandLine.ends_with("\\msinfo32.exe\""))
        << started[0].commandLine;
    ASSERT_NO_FATAL_FAILURE(SetUp());  // from nothing again
  }
  SetString(kSysInfoKey, "PATH", std::nullopt, HKEY_LOCAL_MACHINE);
}

}  // namespace e2e
