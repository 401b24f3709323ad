#pragma once

#include <windows.h>

#include <memory>

#include "runtime/form.h"

namespace keyhush::win32 {

class Win32WindowSystem;

// Creates the form's window and its controls, hidden.
std::unique_ptr<FormWindow> CreateFormWindow(Win32WindowSystem& system, Form& form);

// The procedures of form windows and of picture boxes.
LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PictureProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace keyhush::win32
