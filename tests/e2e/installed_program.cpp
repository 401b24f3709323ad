// The program where the Windows Installer package put it: the Start menu shortcut starts the
// installed file. tests/installer/check-msi runs this, with the hot-key and log-on tests against
// the installed file, after installing the 64-bit package; ctest does not, since it needs the
// package.
#include "driver.h"

namespace e2e {
namespace {

// The one "Key hush" shortcut is in every user's Start menu, or in the current user's, where
// Wine's installer puts the shortcuts of a package for all users.
TEST(InstalledProgram, TheStartMenuShortcutStartsTheInstalledFile) {
  std::vector<std::string> targets;
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
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
  ASSERT_EQ(targets.size(), 1u) << "not one \"Key hush\" shortcut in the Start menu";
  EXPECT_EQ(lstrcmpiA(targets[0].c_str(), Environment("KEYHUSH_EXE").c_str()), 0) << targets[0];
}

}  // namespace
}  // namespace e2e
