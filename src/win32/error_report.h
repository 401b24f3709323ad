#pragma once

#include <utility>

namespace keyhush::win32 {

// Shows the exception being handled in an error box: a run-time error with its number and
// description, anything else as an unexpected error. Never throws.
void ReportCurrentException() noexcept;

// Runs `action` at a boundary no exception may cross (a window procedure, WinMain); an error is
// shown to the user and the program goes on. Returns whether the action completed.
template <typename Action>
bool RunGuarded(Action&& action) noexcept {
  try {
    std::forward<Action>(action)();
    return true;
  } catch (...) {
    ReportCurrentException();
    return false;
  }
}

}  // namespace keyhush::win32
