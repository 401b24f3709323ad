// Key hush in folders the tests' code page cannot spell: its log-on entry is its exact quoted path,
// a log-on starts it, and System Info starts the program beside it that the registry names.
#include <process.h>

#include <regex>

#include "driver.h"

namespace e2e {

using UnicodeFolder = KeyhushTest;

TEST_F(UnicodeFolder, TheLogOnEntryIsTheExactQuotedPathAndALogOnStartsAWorkingProgramFromIt) {
  // The folders, and whether the machine names the system-information program by its folder.
  for (const auto& [folder, byFolder] : {std::pair{std::string("C:\\Тест папка"), false},
                                         {"C:\\keyhush-e2e\\Φάκελος δοκιμής", true},
                                         {"C:\\keyhush-e2e\\田中\\Downloads", false},
                                         {"C:\\keyhush-e2e\\𝄞 notes 😀", true}}) {
    SCOPED_TRACE(folder);
    const std::wstring exe = Wide(folder + "\\keyhush.exe"),
                       sysInfo = Wide(folder + "\\MSINFO32.EXE");
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

    // A log-on: wineboot without arguments starts what the Run key names.
    ASSERT_NE(_spawnlp(_P_WAIT, "wineboot.exe", "wineboot", nullptr), -1);
    ASSERT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_WIN, 'X'); })) << "the log-on started none";

    // System Info starts the program the registry names, quoted (the names hold blanks).
    const auto& [key, name] = byFolder ? kSysInfoFolder : kSysInfoPath;
    const std::wstring value = byFolder ? Wide(folder) : sysInfo;
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(key).c_str(), Wide(name).c_str(), REG_SZ,
                              value.c_str(), static_cast<DWORD>((value.size() + 1) * 2)),
              ERROR_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    const HWND about = ShownWindow(0, kAboutWindow);
    ASSERT_TRUE(TakesInput(about));
    ASSERT_NO_FATAL_FAILURE(ClickChild(about, "&System Info..."));
    const std::vector<Started> started = WaitForStarted(1);
    ASSERT_EQ(started.size(), 1u) << "System Info started nothing";
    const std::string start =
        started[0].path + "|" + started[0].commandLine + "|" + started[0].showWindow;
    EXPECT_TRUE(std::regex_match(start, std::regex(R"(.*\\MSINFO32\.EXE\|".*\\MSINFO32\.EXE"\|1)")))
        << start;
    ASSERT_NO_FATAL_FAILURE(SetUp());  // from nothing again
  }
}

}  // namespace e2e
