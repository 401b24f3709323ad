#include "win32/error_report.h"

#include <windows.h>

#include <exception>
#include <string>

#include "app_info.h"
#include "runtime/error.h"

namespace keyhush::win32 {

void ReportCurrentException() noexcept {
  const char* fallback = "An unexpected error occurred. Key hush keeps running.";
  try {
    std::string text;
    try {
      throw;
    } catch (const RuntimeError& error) {
      text = "Run-time error '" + std::to_string(error.number()) + "':\n\n" + error.text();
    } catch (const std::exception& error) {
      text = std::string(fallback) + "\n\n" + error.what();
    } catch (...) {
      text = fallback;
    }
    ::MessageBoxA(nullptr, text.c_str(), app_info::kTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  } catch (...) {
    // Not even the text could be built (out of memory): the fixed text needs no allocation.
    ::MessageBoxA(nullptr, fallback, app_info::kTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }
}

}  // namespace keyhush::win32
