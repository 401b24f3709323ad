// Key hush kept in folders whose names the code page of the tests cannot spell (Cyrillic, Greek,
// CJK, characters beyond the Basic Multilingual Plane), with blanks, and in a plain one: its
// log-on entry is its exact path in quotes, a log-on starts it from there, and that copy locks,
// shows its windows and starts the system-information program kept beside it.
#include <shlobj.h>
#include <tlhelp32.h>

#include <string>

#include "driver.h"

namespace e2e {
namespace {

struct Folder {
  const char* what;
  const wchar_t* path;
};
const Folder kFolders[] = {
    {"ASCII", L"C:\\keyhush-e2e\\plain"},
    {"Cyrillic", L"C:\\Тест папка"},
    {"Greek", L"C:\\keyhush-e2e\\Φάκελος δοκιμής"},
    {"CJK", L"C:\\keyhush-e2e\\田中\\Downloads"},
    {"beyond the BMP", L"C:\\keyhush-e2e\\𝄞 notes 😀"},
};

// The log-on Run value as the wide registry calls read it; empty when there is none.
std::wstring RunValue() {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, Wide(kRunKey).c_str(), L"Keyhush", RRF_RT_REG_SZ, nullptr,
                   value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

// The id of a keyhush.exe running from this path, 0 when there is none.
DWORD RunningFrom(const std::wstring& path) {
  DWORD found = 0;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (QueryFullProcessImageNameW(process, 0, image, &size) &&
        CompareStringOrdinal(image, -1, path.c_str(), -1, TRUE) == CSTR_EQUAL) {
      found = entry.th32ProcessID;
    }
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return found;
}

// A log-on: wineboot without arguments starts what the Run key names.
void LogOn() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION boot{};
  std::wstring commandLine = Wide(SystemFolder() + "\\wineboot.exe");
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &boot))
      << "error " << GetLastError();
  WaitForSingleObject(boot.hProcess, static_cast<DWORD>(kPatience.count()));
  CloseHandle(boot.hThread);
  CloseHandle(boot.hProcess);
}

// The stand-in program, built beside this driver.
std::wstring StandIn() {
  wchar_t driver[MAX_PATH] = {};
  const std::wstring path(driver, GetModuleFileNameW(nullptr, driver, MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"standin.exe";
}

class UnicodeFolder : public KeyhushTest {
 protected:
  void TearDown() override {
    KeyhushTest::TearDown();
    SetEnvironmentVariableW(L"KEYHUSH_EXE", Wide(built_).c_str());
    TerminateAllKeyhush();
    RemoveMachineValue(kSysInfoKey, "PATH");
  }
  const std::string built_ = Environment("KEYHUSH_EXE");
};

TEST_F(UnicodeFolder, TheLogOnEntryIsTheExactQuotedPathAndALogOnStartsAWorkingProgramFromIt) {
  for (const Folder& folder : kFolders) {
    SCOPED_TRACE(folder.what);
    const std::wstring exe = folder.path + std::wstring(L"\\keyhush.exe");
    const std::wstring sysInfo = folder.path + std::wstring(L"\\msinfo32.exe");
    SHCreateDirectoryExW(nullptr, folder.path, nullptr);
    ASSERT_TRUE(CopyFileW(Wide(KeyhushExe()).c_str(), exe.c_str(), FALSE))
        << "error " << GetLastError();
    ASSERT_TRUE(CopyFileW(StandIn().c_str(), sysInfo.c_str(), FALSE)) << "error " << GetLastError();

    // With the start-up flag on, the program writes its log-on entry as it starts.
    ASSERT_NO_FATAL_FAILURE(WriteString(kStartupSettings, "startup", "true"));
    SetEnvironmentVariableW(L"KEYHUSH_EXE", exe.c_str());
    keyhush.Start();
    SetEnvironmentVariableW(L"KEYHUSH_EXE", Wide(built_).c_str());
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Utf8(RunValue()), Utf8(L"\"" + exe + L"\""));
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());

    ASSERT_NO_FATAL_FAILURE(LogOn());
    DWORD id = 0;
    ASSERT_TRUE(WaitUntil([&] { return (id = RunningFrom(exe)) != 0; }))
        << "the log-on did not start " << Utf8(exe);
    ASSERT_TRUE(WaitUntil([] { return !HotKeyIsFree(MOD_WIN, 'X'); })) << "no hot key held";

    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
    const std::vector<Started> lock = WaitForStarted(1);
    ASSERT_EQ(lock.size(), 1u) << "no lock command";
    EXPECT_NE(lock[0].path.find("\\rundll32.exe"), std::string::npos) << lock[0].path;
    EXPECT_EQ(ClipboardText(), SystemFolder());
    ASSERT_NO_FATAL_FAILURE(ClearStarted());

    const SettingsWindow settings = OpenSettings(id);
    ASSERT_TRUE(settings.Complete());
    EXPECT_TRUE(settings.Ticked());
    ASSERT_TRUE(PostMessageW(settings.form, WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(settings.cancel), BN_CLICKED),
                             reinterpret_cast<LPARAM>(settings.cancel)));

    // System Info starts the program its registry value names, beside the copy: only the exact
    // path names a file.
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, Wide(kSysInfoKey).c_str(), L"PATH", REG_SZ,
                              sysInfo.c_str(),
                              static_cast<DWORD>((sysInfo.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<HWND> shown = ShownWindows(id, "About Key hush");
      about = shown.empty() ? nullptr : shown.front();
      return about != nullptr;
    })) << "no About window";
    const HWND button = ChildStartingWith(about, "&System Info...");
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(PostMessageW(about, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button)));
    const std::vector<Started> started = WaitForStarted(1);
    ASSERT_EQ(started.size(), 1u) << "System Info started nothing";
    EXPECT_NE(started[0].path.find("\\msinfo32.exe"), std::string::npos) << started[0].path;
    EXPECT_TRUE(ShownWindows(id, "Key hush").empty()) << "a message instead";

    TerminateAllKeyhush();
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    ASSERT_NO_FATAL_FAILURE(ClearStarted());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
}

}  // namespace
}  // namespace e2e
