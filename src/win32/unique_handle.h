#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

#include "runtime/platform.h"
#include "runtime/unique_handle.h"

namespace keyhush::win32 {

// Closes a Windows handle with the function that frees its kind.
template <auto Close>
struct CloseWith {
  template <typename T>
  void operator()(T handle) const {
    Close(handle);
  }
};

template <typename T, auto Close>
using UniqueWin32Handle = UniqueHandle<T, CloseWith<Close>>;

using UniqueKernelHandle = UniqueWin32Handle<HANDLE, ::CloseHandle>;
using UniqueKey = UniqueWin32Handle<HKEY, ::RegCloseKey>;
using UniqueFont = UniqueWin32Handle<HFONT, ::DeleteObject>;
using UniquePen = UniqueWin32Handle<HPEN, ::DeleteObject>;
using UniqueIcon = UniqueWin32Handle<HICON, ::DestroyIcon>;
using UniqueMenu = UniqueWin32Handle<HMENU, ::DestroyMenu>;
using UniqueWindow = UniqueWin32Handle<HWND, ::DestroyWindow>;
using UniqueHook = UniqueWin32Handle<HHOOK, ::UnhookWindowsHookEx>;

// The program's modules see handles as 32-bit values. On 32-bit Windows they are exactly that; on
// 64-bit Windows window, icon and menu handles keep only 32 significant bits and widen with sign
// extension, as the predefined registry keys do (HKEY_CURRENT_USER is 0x80000001, negative).
template <typename T>
T FromHandle(Handle handle) {
  return reinterpret_cast<T>(static_cast<intptr_t>(static_cast<int32_t>(handle)));
}
template <typename T>
Handle ToHandle(T handle) {
  return static_cast<Handle>(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace keyhush::win32
