#include "win32/error_report.h"

#include <windows.h>

#include <exception>
#include <string>

#include "app_info.h"
#include "runtime/error.h"
#include "runtime/texts.h"
#include "win32/texts.h"
#include "win32/wide_text.h"

namespace keyhush::win32 {

void ReportCurrentException() noexcept {
  constexpr UINT kFlags = MB_OK | MB_ICONERROR | MB_SETFOREGROUND;
  try {
    const std::string unexpected = Text(IDS_UNEXPECTED_ERROR);
    std::string text;
    try {
      throw;
    } catch (const RuntimeError& error) {
      const std::string description = error.description().empty()
                                          ? Text(StandardDescriptionId(error.number()))
                                          : error.description();
      text = Filled(Text(IDS_RUNTIME_ERROR), std::to_string(error.number())) + "\n\n" + description;
    } catch (const std::exception& error) {
      text = unexpected + "\n\n" + error.what();
    } catch (...) {
      text = unexpected;
    }
    const std::wstring title = WideFromUtf8(app_info::kTitle).value_or(L"");
    if (const auto wide = WideFromUtf8(text)) {
      ::MessageBoxW(nullptr, wide->c_str(), title.c_str(), kFlags);
    } else {
      // What an exception says need not be UTF-8.
      ::MessageBoxA(nullptr, text.c_str(), app_info::kTitle, kFlags);
    }
  } catch (...) {
    // Not even the text could be built (out of memory): the fixed English text needs no
    // allocation.
    ::MessageBoxA(nullptr, "An unexpected error occurred. Key hush keeps running.",
                  app_info::kTitle, kFlags);
  }
}

}  // namespace keyhush::win32
