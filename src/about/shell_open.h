#pragma once

#include <cstdint>
#include <string>

#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush {

// Opens documents, programs and web addresses through the shell on behalf of a window, and turns
// the shell's failure codes into run-time errors for callers that want them. Keeps no state.
class ShellMod {
 public:
  explicit ShellMod(Platform& platform) : platform_(platform) {}

  // Opens `FileName` with the shell's "open" verb. An empty `Directory` means the folder part of
  // `FileName`. Raises a RuntimeError for a failure only when `RaiseErrors` is exactly True (-1);
  // a file with no associated application gets the Open With dialog whatever `RaiseErrors` says
  // (that dialog failing to start raises as a failure does).
  void ShellOpenDocument(Form& OwnerForm, const std::string& FileName,
                         const std::string& Parameters, const std::string& Directory,
                         int32_t ShowCommand, int16_t RaiseErrors);

 private:
  Platform& platform_;
};

}  // namespace keyhush
