#include "hotkey/form1.h"

#include <algorithm>
#include <array>

namespace keyhush {

namespace {
const char* const kLockArguments = "user32.dll,LockWorkStation";
}

Form1::Form1(WindowSystem& windows, Platform& platform)
    : Form(windows, FormDesign{.caption = "Form1",
                               .clientWidth = 4680,
                               .clientHeight = 3195,
                               .showInTaskbar = false}),
      Command1(Add({.name = "Command1",
                    .kind = ControlKind::CommandButton,
                    .text = "Command1",
                    .left = 1680,
                    .top = 1320,
                    .width = 1215,
                    .height = 495,
                    .tabIndex = 0})),
      platform_(platform) {
  Command1.Click = [this] { Command1_Click(); };
}

void Form1::Command1_Click() {
  std::string folder = GetSpecialFolderPath(CSIDL_SYSTEM);
  if (folder.empty()) folder = platform_.GetSystemDirectoryA();
  // The clipboard is a courtesy: the lock goes ahead even when another program holds it open.
  platform_.SetClipboardText(folder);
  platform_.StartProgram(folder + "\\rundll32.exe", kLockArguments, SW_SHOWNORMAL);
}

std::string Form1::GetSpecialFolderPath(int32_t folderNumber) {
  std::array<char, kMaxPath> buffer;
  buffer.fill(' ');
  const int32_t result =
      platform_.SHGetFolderPathA(hWnd(), folderNumber, 0, SHGFP_TYPE_DEFAULT, buffer.data());
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  if (result < 0 || end == buffer.end()) return {};
  return std::string(buffer.begin(), end);
}

}  // namespace keyhush
