#include "win32/program_host.h"

#include "app/program.h"
#include "win32/error_report.h"

namespace keyhush::win32 {

int HostProgram(Platform& platform, WindowSystem& windows,
                const std::function<int()>& messageLoop) {
  Program program(platform, windows);
  RunGuarded([&] { program.Start(); });
  return messageLoop();
}

}  // namespace keyhush::win32
