#include "about/frm_about.h"

#include <array>

#include "about/home_page.h"
#include "about/shell_open.h"
#include "app_info.h"
#include "resource.h"
#include "runtime/error.h"
#include "runtime/registry_key.h"
#include "runtime/texts.h"
#include "runtime/truth.h"
#include "runtime/win32_constants.h"

namespace keyhush {

namespace {

// Where Windows records its system-information program, under HKEY_LOCAL_MACHINE: the program's
// full path, or else the folder that holds MSINFO32.EXE.
constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSysInfoPathValue = "PATH";
constexpr const char* kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kSysInfoFolderValue = "MSINFO";

std::string Blanks(size_t count) {
  return std::string(count, ' ');
}

// The copyright line and its blanks fill most of the label's first line, leaving too little room
// for any part of the address, which so starts the next line whole.
std::string Notice() {
  return "Copyright (c) 2026 Key hush" + Blanks(28) + kHomePage;
}

// A path that names its drive ("C:\...") or its server ("\\server\..."). Any other path, such as
// the "&h" text of a number, would be looked for in whatever folder the program runs in.
bool IsFullyQualified(const std::string& path) {
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || path.rfind("\\\\", 0) == 0;
}

const Font kDescriptionFont{.face = "Arial", .points = 9.75};
const Font kNoticeFont{.face = "MS Sans Serif", .points = 8.25, .bold = true};
constexpr Color kBlack{0, 0, 0};
constexpr Color kBlue{0, 0, 255};
constexpr Color kWhite{255, 255, 255};
constexpr Color kGrey{128, 128, 128};

}  // namespace

frmAbout::frmAbout(WindowSystem& windows, Platform& platform)
    : Form(windows, FormDesign{.caption = "About MyApp",
                               .clientWidth = 5970,
                               .clientHeight = 4530,
                               .border = BorderStyle::FixedDialog,
                               .showInTaskbar = true,
                               .startUp = StartUpPosition::CenterScreen,
                               .iconResource = IDI_KEYHUSH}),
      picIcon(Add({.name = "picIcon",
                   .kind = ControlKind::PictureBox,
                   .left = 240,
                   .top = 240,
                   .width = 240,
                   .height = 240,
                   .tabIndex = 1,
                   .iconResource = IDI_KEYHUSH})),
      cmdOK(Add({.name = "cmdOK",
                 .kind = ControlKind::CommandButton,
                 .text = platform.Text(IDS_ABOUT_OK),
                 .left = 4320,
                 .top = 3240,
                 .width = 1260,
                 .height = 345,
                 .tabIndex = 0,
                 .isDefault = true,
                 .isCancel = true})),
      cmdSysInfo(Add({.name = "cmdSysInfo",
                      .kind = ControlKind::CommandButton,
                      .text = platform.Text(IDS_ABOUT_SYSINFO),
                      .left = 4320,
                      .top = 3720,
                      .width = 1245,
                      .height = 345,
                      .tabIndex = 2})),
      Line1{&Add({.name = "Line1(0)",
                  .kind = ControlKind::Line,
                  .left = 120,
                  .top = 3015,
                  .right = 5669,
                  .bottom = 3015,
                  .foreColor = kWhite,
                  .lineWidth = 2}),
            &Add({.name = "Line1(1)",
                  .kind = ControlKind::Line,
                  .left = 120,
                  .top = 2985,
                  .right = 5760,
                  .bottom = 2985,
                  .foreColor = kGrey,
                  .lineWidth = 1})},
      Label1(Add({.name = "Label1",
                  .kind = ControlKind::Label,
                  .text = platform.Text(IDS_DESCRIPTION),
                  .left = 1080,
                  .top = 1320,
                  // Ends at the window's right edge: no further, or its lines would be cut off.
                  .width = 4890,
                  .height = 1425,
                  .tabIndex = 6,
                  .font = kDescriptionFont})),
      lblTitle(Add({.name = "lblTitle",
                    .kind = ControlKind::Label,
                    .text = "Application Title",
                    .left = 1050,
                    .top = 240,
                    .width = 3885,
                    .height = 480,
                    .tabIndex = 4,
                    .foreColor = kBlack})),
      lblVersion(Add({.name = "lblVersion",
                      .kind = ControlKind::Label,
                      .text = "Version",
                      .left = 1050,
                      .top = 780,
                      .width = 3885,
                      .height = 225,
                      .tabIndex = 5})),
      lblDisclaimer(Add({.name = "lblDisclaimer",
                         .kind = ControlKind::Label,
                         .text = Notice(),
                         .left = 255,
                         .top = 3360,
                         .width = 3870,
                         .height = 825,
                         .tabIndex = 3,
                         .font = kNoticeFont,
                         .foreColor = kBlue})),
      platform_(platform) {
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
  lblDisclaimer.Click = [this] { lblDisclaimer_Click(); };
}

void frmAbout::Form_Load() {
  SetCaption(Filled(platform_.Text(IDS_ABOUT_CAPTION), app_info::kTitle));
  lblVersion.SetText(
      Filled(platform_.Text(IDS_ABOUT_VERSION), std::to_string(app_info::kMajor) + "." +
                                                    std::to_string(app_info::kMinor) + "." +
                                                    std::to_string(app_info::kRevision)));
  lblTitle.SetText(app_info::kTitle);
}

void frmAbout::cmdOK_Click() {
  Unload();
}

void frmAbout::cmdSysInfo_Click() {
  StartSysInfo();
}

void frmAbout::lblDisclaimer_Click() {
  ShellMod(platform_).ShellOpenDocument(*this, kHomePage, "", "", SW_SHOWNORMAL, kFalse);
}

void frmAbout::StartSysInfo() {
  try {
    std::string SysInfoPath;
    if (GetKeyValue(kHkeyLocalMachine, kSysInfoKey, kSysInfoPathValue, SysInfoPath) == kFalse) {
      if (GetKeyValue(kHkeyLocalMachine, kSysInfoFolderKey, kSysInfoFolderValue, SysInfoPath) ==
          kFalse) {
        throw RuntimeError(kErrFileNotFound);
      }
      const std::string candidate = SysInfoPath + "\\MSINFO32.EXE";
      if (!IsFullyQualified(candidate) || !platform_.FileExists(candidate))
        throw RuntimeError(kErrFileNotFound);
      SysInfoPath = candidate;
    }
    // A value of another kind reads as an empty path, and a relative one would be looked for in
    // the current folder: neither names the program.
    if (!IsFullyQualified(SysInfoPath)) throw RuntimeError(kErrFileNotFound);
    // The path is started on its own, so a folder with blanks in its name starts that program.
    platform_.StartProgram(SysInfoPath, "", SW_SHOWNORMAL);
  } catch (const RuntimeError&) {
    platform_.MsgBox(platform_.Text(IDS_SYSINFO_UNAVAILABLE), MessageKind::Plain);
  }
}

int16_t frmAbout::GetKeyValue(Handle KeyRoot, const std::string& KeyName,
                              const std::string& SubKeyRef, std::string& KeyVal) {
  const auto value = RegistryKey(platform_, KeyRoot, KeyName, KEY_READ).Read(SubKeyRef);
  if (!value) {
    KeyVal.clear();
    return kFalse;
  }
  const uint32_t type = value->type;
  std::string data(value->data.begin(), value->data.end());
  if (!data.empty() && data.back() == '\0') data.pop_back();

  if (type == REG_SZ) {
    // Text ends at its zero byte, as Windows reads it; anything stored after one is not text.
    KeyVal = data.substr(0, data.find('\0'));
  } else if (type == REG_DWORD) {
    // The number as hexadecimal text, most significant byte first (stored least first). The text
    // stays as it is: nothing reads it back as a number.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "&h";
    for (auto byte = data.rbegin(); byte != data.rend(); ++byte) {
      const auto value = static_cast<uint8_t>(*byte);
      text += kDigits[value >> 4];
      text += kDigits[value & 0x0F];
    }
    KeyVal = text;
  }
  // Values of other kinds leave KeyVal as it was.
  return kTrue;
}

}  // namespace keyhush
