#include "about/shell_open.h"

#include <algorithm>
#include <array>

#include "runtime/error.h"
#include "runtime/truth.h"
#include "text_ids.h"

namespace keyhush {

namespace {

constexpr int32_t SE_ERR_NOASSOC = 31;
constexpr int32_t kLastFailureCode = 32;  // results above this are successes

// A shell failure and the run-time error it becomes, with the id of its description; 0 stands for
// the standard one of the number.
struct ShellFailure {
  int32_t result;
  int32_t number;
  int description;
};

constexpr std::array<ShellFailure, 12> kShellFailures{{
    {0, kErrOutOfMemory, 0},
    {2, kErrFileNotFound, 0},  // SE_ERR_FNF
    {3, 76, 0},                // SE_ERR_PNF: path not found
    {5, 70, 0},                // SE_ERR_ACCESSDENIED: permission denied
    {8, kErrOutOfMemory, 0},   // SE_ERR_OOM
    {11, 321, 0},              // ERROR_BAD_FORMAT: invalid file format
    {26, 26, IDS_SHELL_SHARING},
    {27, 27, IDS_SHELL_ASSOCIATION},
    // The time-out has always been reported under number 25; callers may rely on it.
    {28, 25, IDS_SHELL_DDE_TIMEOUT},
    {29, 29, IDS_SHELL_DDE_FAILED},
    {30, 30, IDS_SHELL_DDE_BUSY},
    {32, 48, 0},  // SE_ERR_DLLNOTFOUND: error in loading a library
}};

}  // namespace

void ShellMod::ShellOpenDocument(Form& OwnerForm, const std::string& FileName,
                                 const std::string& Parameters, const std::string& Directory,
                                 int32_t ShowCommand, int16_t RaiseErrors) {
  std::string directory = Directory;
  if (directory.empty()) {
    const auto backslash = FileName.rfind('\\');
    if (backslash != std::string::npos) directory = FileName.substr(0, backslash + 1);
  }

  // The shell's result is a 32-bit value on the program's own platform.
  const auto result = static_cast<int32_t>(platform_.ShellExecuteA(
      OwnerForm.hWnd(), "open", FileName, Parameters, directory, ShowCommand));
  if (result > kLastFailureCode || result < 0) return;

  if (result == SE_ERR_NOASSOC) {
    // Nothing is associated with the file: let the user choose a program for it. The system
    // folder's rundll32, by its path: one named alone may be found beside the program first.
    try {
      const std::string systemFolder = platform_.GetSystemDirectoryA();
      if (systemFolder.empty()) throw RuntimeError(kErrFileNotFound);
      platform_.StartProgram(systemFolder + "\\rundll32.exe",
                             "shell32.dll,OpenAs_RunDLL " + FileName, ShowCommand);
    } catch (const RuntimeError&) {
      if (RaiseErrors == kTrue) throw;
    }
    return;
  }

  const auto failure = std::find_if(kShellFailures.begin(), kShellFailures.end(),
                                    [&](const ShellFailure& f) { return f.result == result; });
  if (failure == kShellFailures.end() || RaiseErrors != kTrue) return;
  throw RuntimeError(failure->number,
                     failure->description ? platform_.Text(failure->description) : "");
}

}  // namespace keyhush
