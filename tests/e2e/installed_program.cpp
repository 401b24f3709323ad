// The program where the Windows Installer package put it: started from the Start menu shortcut,
// it locks on its hot key, and its log-on entry names the installed file. tests/installer/check-msi
// runs this after installing the 64-bit package; ctest does not, since it needs the package.
#include "driver.h"

#include <shlobj.h>

namespace e2e {
namespace {

// The "Key hush" shortcuts of the Start menu: every user's, and the current user's, where Wine's
// installer puts the shortcuts of a package for all users.
std::vector<std::string> Shortcuts() {
  std::vector<std::string> found;
  for (const int folder : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    char path[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) continue;
    const std::string link = std::string(path) + "\\Key hush.lnk";
    if (GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES) found.push_back(link);
  }
  return found;
}

// The file a shortcut starts, as the shell reads it; empty when it cannot be read.
std::string TargetOf(const std::string& link) {
  char target[MAX_PATH] = {};
  wchar_t wideLink[MAX_PATH] = {};
  if (!MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wideLink, MAX_PATH)) return {};
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return {};
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (FAILED(file->Load(wideLink, STGM_READ)) ||
          FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) {
        target[0] = '\0';
      }
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return target;
}

using InstalledProgram = KeyhushTest;

TEST_F(InstalledProgram, StartsFromTheShortcutLocksAndLogsOnFromWhereItWasInstalled) {
  const std::vector<std::string> shortcuts = Shortcuts();
  ASSERT_EQ(shortcuts.size(), 1u) << "not one \"Key hush\" shortcut in the Start menu";
  const std::string target = TargetOf(shortcuts.front());
  char programFiles[MAX_PATH] = {};
  ASSERT_EQ(
      SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles),
      S_OK);
  const std::string installed = std::string(programFiles) + "\\Key hush\\keyhush.exe";
  ASSERT_EQ(lstrcmpiA(target.c_str(), installed.c_str()), 0) << "the shortcut starts " << target;

  // The driver starts the file that KEYHUSH_EXE names.
  ASSERT_TRUE(SetEnvironmentVariableA("KEYHUSH_EXE", target.c_str()));
  ASSERT_NO_FATAL_FAILURE(keyhush.Start());
  ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_WIN, 'X'));
  const std::vector<Started> starts = WaitForStarted(1);
  ASSERT_EQ(starts.size(), 1u) << "the hot key started no lock";
  EXPECT_EQ(SplitCommandLine(starts.front().commandLine).arguments, "user32.dll,LockWorkStation");

  const SettingsWindow w = OpenSettings(keyhush.Id());
  ASSERT_TRUE(w.Complete());
  ClickAt(CentreOf(w.check));
  ASSERT_TRUE(WaitUntil([] { return ReadString(kRunKey, "Keyhush").has_value(); }))
      << "ticking the box made no log-on entry";
  const std::string run = ReadString(kRunKey, "Keyhush").value_or("");
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, run.c_str(), -1,
                           ("\"" + installed + "\"").c_str(), -1),
            CSTR_EQUAL)
      << run;
}

}  // namespace
}  // namespace e2e
