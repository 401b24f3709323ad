#pragma once

#include <functional>

#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush::win32 {

// Builds the program on the given Windows services, starts it (an error at start-up is shown and
// what did start keeps running), then runs `messageLoop` while the program lives. Kept apart from
// <windows.h>, whose macros would clash with the names the program's modules declare.
int HostProgram(Platform& platform, WindowSystem& windows, const std::function<int()>& messageLoop);

}  // namespace keyhush::win32
