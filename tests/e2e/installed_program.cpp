// The program where the Windows Installer package put it: started from the Start menu shortcut,
// it locks on its hot key, and its log-on entry names the installed file. tests/installer/check-msi
// runs this after installing the 64-bit package; ctest does not, since it needs the package.
#include <shlobj.h>

#include "driver.h"

namespace e2e {
namespace {

// The file the one "Key hush" shortcut starts: in every user's Start menu, or in the current
// user's, where Wine's installer puts the shortcuts of a package for all users.
std::string ShortcutTarget() {
  std::vector<std::string> targets;
  EXPECT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  for (const int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    wchar_t path[MAX_PATH] = {};
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) == S_OK &&
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load((std::wstring(path) + L"\\Key hush.lnk").c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) {
      targets.push_back(target);
    }
    if (file) file->Release();
    if (link) link->Release();
  }
  CoUninitialize();
  EXPECT_EQ(targets.size(), 1u) << "not one \"Key hush\" shortcut in the Start menu";
  return targets.empty() ? std::string() : targets.front();
}

using InstalledProgram = KeyhushTest;

TEST_F(InstalledProgram, StartsFromTheShortcutLocksAndLogsOnFromWhereItWasInstalled) {
  const std::string target = ShortcutTarget();
  char programFiles[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
  const std::string installed = std::string(programFiles) + "\\Key hush\\keyhush.exe";
  ASSERT_EQ(lstrcmpiA(target.c_str(), installed.c_str()), 0) << "the shortcut starts " << target;

  ASSERT_NO_FATAL_FAILURE(keyhush.Start(target));
  ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
  const std::vector<Started> starts = WaitForStarted(1);
  ASSERT_EQ(starts.size(), 1u) << "the hot key started no lock";
  EXPECT_TRUE(starts.front().commandLine.ends_with(" user32.dll,LockWorkStation"));

  const SettingsWindow w = OpenSettings(keyhush.Id());
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([] { return ReadString(kRunKey, "Keyhush").has_value(); }));
  const std::string run = ReadString(kRunKey, "Keyhush").value_or("");
  EXPECT_EQ(lstrcmpiA(run.c_str(), ("\"" + installed + "\"").c_str()), 0) << run;
}

}  // namespace
}  // namespace e2e
