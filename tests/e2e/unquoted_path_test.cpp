// No program is ever started by an unquoted path. With the program installed in a folder whose
// name has blanks, and the programs planted that Windows would start for an unquoted path there
// (C:\Program.exe, C:\Program Files\Key.exe, C:\Program Files\Common.exe), the lock, System Info
// and the start at log-on each start exactly the program they name.
#include "driver.h"

#include <tlhelp32.h>

#include <string>
#include <vector>

namespace e2e {
namespace {

const std::string kInstalled = "C:\\Program Files\\Key hush\\keyhush.exe";
const std::string kSysInfoProgram =
    "C:\\Program Files\\Common Files\\Key hush e2e\\MSInfo\\msinfo32.exe";
const std::vector<std::string> kPlanted = {"C:\\Program.exe", "C:\\Program Files\\Key.exe",
                                           "C:\\Program Files\\Common.exe"};

bool RunningFrom(const std::string& path) {
  bool found = false;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && !found;
       more = Process32Next(snapshot, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "keyhush.exe") != 0) continue;
    const HANDLE process =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!process) continue;
    char image[MAX_PATH] = {};
    DWORD size = sizeof image;
    if (QueryFullProcessImageNameA(process, 0, image, &size))
      found = lstrcmpiA(image, path.c_str()) == 0;
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return found;
}

class UnquotedPath : public KeyhushTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KeyhushTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
    CreateDirectoryA("C:\\Program Files\\Key hush", nullptr);
    ASSERT_TRUE(CopyFileA(KeyhushExe().c_str(), kInstalled.c_str(), FALSE))
        << "error " << GetLastError();
    for (const std::string& planted : kPlanted) ASSERT_NO_FATAL_FAILURE(InstallStandIn(planted));
    ASSERT_NO_FATAL_FAILURE(InstallStandIn(kSysInfoProgram));
  }
  void TearDown() override {
    KeyhushTest::TearDown();
    TerminateAllKeyhush();
    RemoveMachineValue(kSysInfoKey, "PATH");
    for (const std::string& planted : kPlanted) DeleteFileA(planted.c_str());
    DeleteFileA(kInstalled.c_str());
  }

  // Exactly one start since the log was cleared, of exactly this program; nothing planted ran.
  void ExpectOnlyStarted(const std::string& program, const char* by) {
    const std::vector<Started> starts = WaitForStarted(1);
    std::this_thread::sleep_for(300ms);
    for (const Started& start : ReadStarted()) {
      for (const std::string& planted : kPlanted) {
        EXPECT_NE(lstrcmpiA(start.path.c_str(), planted.c_str()), 0) << by << " ran " << planted;
      }
    }
    ASSERT_EQ(ReadStarted().size(), 1u) << by;
    EXPECT_EQ(lstrcmpiA(starts[0].path.c_str(), program.c_str()), 0)
        << by << ": " << starts[0].path;
    ASSERT_NO_FATAL_FAILURE(ClearStarted());
  }
};

TEST_F(UnquotedPath, TheLockSystemInfoAndTheLogOnStartRunNoPlantedProgram) {
  const std::string built = Environment("KEYHUSH_EXE");
  SetEnvironmentVariableA("KEYHUSH_EXE", kInstalled.c_str());
  keyhush.Start();
  SetEnvironmentVariableA("KEYHUSH_EXE", built.c_str());
  ASSERT_FALSE(HasFatalFailure());

  // The lock.
  ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
  const std::vector<Started> lock = WaitForStarted(1);
  ASSERT_EQ(lock.size(), 1u) << "no lock command";
  const std::string rundll = lock[0].path;
  EXPECT_NE(rundll.find("\\rundll32.exe"), std::string::npos) << rundll;
  ASSERT_NO_FATAL_FAILURE(ExpectOnlyStarted(rundll, "the lock"));

  // System Info, named by a path in a folder with blanks.
  ASSERT_NO_FATAL_FAILURE(SetMachineString(kSysInfoKey, "PATH", kSysInfoProgram));
  ASSERT_NO_FATAL_FAILURE(ChooseFromTrayMenu('A'));
  ASSERT_TRUE(WaitUntil([&] { return !ShownWindows(keyhush.Id(), "About Key hush").empty(); }));
  const HWND about = ShownWindows(keyhush.Id(), "About Key hush").front();
  const HWND sysInfo = ChildStartingWith(about, "&System Info...");
  ASSERT_NE(sysInfo, nullptr);
  ASSERT_TRUE(TakesInput(about));
  ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(sysInfo)));
  ASSERT_NO_FATAL_FAILURE(ExpectOnlyStarted(kSysInfoProgram, "System Info"));

  // The start at log-on, from the Run value the settings window's box writes.
  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  ASSERT_TRUE(TakesInput(w.form));
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([&] { return ReadString(kStartupSettings, "startup") == "true"; }));
  EXPECT_EQ(ReadString(kRunKey, "Keyhush"), "\"" + kInstalled + "\"");
  ClickAt(CentreOf(w.exit));
  ASSERT_TRUE(WaitUntil([&] { return !keyhush.Running(); }));
  // wineboot without arguments runs the Run key as a log-on does.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION boot{};
  std::string commandLine = SystemFolder() + "\\wineboot.exe";
  ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &boot))
      << "error " << GetLastError();
  WaitForSingleObject(boot.hProcess, static_cast<DWORD>(kPatience.count()));
  CloseHandle(boot.hThread);
  CloseHandle(boot.hProcess);
  EXPECT_TRUE(WaitUntil([&] { return RunningFrom(kInstalled); }))
      << "the log-on did not start " << kInstalled;
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(ReadStarted().empty()) << "the log-on started " << ReadStarted().front().path;
}

}  // namespace
}  // namespace e2e
