#pragma once

#include <windows.h>

#include <memory>

#include "runtime/form.h"

namespace keyhush::win32 {

class Win32WindowSystem;

// Creates the form's window and its controls, hidden.
std::unique_ptr<FormWindow> CreateFormWindow(Win32WindowSystem& system, Form& form);

// Sends a key message meant for a form that captures keys to that form instead; false for any
// other message. The keys a capture's hook did not take come this way.
bool RouteCapturedKey(const MSG& message);

// The procedures of form windows and of picture boxes.
LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PictureProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace keyhush::win32
