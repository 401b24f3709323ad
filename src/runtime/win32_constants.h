#pragma once

#include <cstdint>

// The values of Windows' own constants that the portable modules pass through the Platform, under
// Windows' own names. The modules never include <windows.h>; this is the one place they are
// written down.
namespace keyhush {

// Messages and window procedures.
inline constexpr uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr uint32_t WM_RBUTTONUP = 0x205;
inline constexpr uint32_t WM_HOTKEY = 0x0312;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uintptr_t SC_MONITORPOWER = 0xF170;
inline constexpr intptr_t kMonitorOff = 2;  // SC_MONITORPOWER's lParam that turns them off
inline constexpr uint32_t WM_WTSSESSION_CHANGE = 0x02B1;
inline constexpr uintptr_t WTS_SESSION_LOCK = 7;
inline constexpr uintptr_t WTS_SESSION_UNLOCK = 8;
inline constexpr int32_t GWL_WNDPROC = -4;

// Virtual keys: the modifiers as GetAsyncKeyState takes them (either side).
inline constexpr int32_t VK_SHIFT = 0x10;
inline constexpr int32_t VK_CONTROL = 0x11;
inline constexpr int32_t VK_MENU = 0x12;
inline constexpr int32_t VK_LWIN = 0x5B;
inline constexpr int32_t VK_RWIN = 0x5C;

// Hot-key modifiers.
inline constexpr int32_t MOD_ALT = 1;
inline constexpr int32_t MOD_CONTROL = 2;
inline constexpr int32_t MOD_SHIFT = 4;
inline constexpr int32_t MOD_WIN = 8;
// A held key sends its hot key once, not again with every repeat.
inline constexpr int32_t MOD_NOREPEAT = 0x4000;

// Showing windows and started programs.
inline constexpr int32_t SW_SHOWNORMAL = 1;
inline constexpr int32_t IDANI_CAPTION = 3;

// Folders.
inline constexpr int32_t CSIDL_SYSTEM = 0x25;
inline constexpr int kMaxPath = 260;
inline constexpr uint32_t SHGFP_TYPE_DEFAULT = 1;

// The notification area.
inline constexpr uint32_t NIM_ADD = 0;
inline constexpr uint32_t NIM_MODIFY = 1;
inline constexpr uint32_t NIM_DELETE = 2;
inline constexpr uint32_t NIF_MESSAGE = 1;
inline constexpr uint32_t NIF_ICON = 2;
inline constexpr uint32_t NIF_TIP = 4;

// The registry: value types and access rights.
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_MULTI_SZ = 7;
inline constexpr uint32_t KEY_QUERY_VALUE = 0x0001;
inline constexpr uint32_t KEY_SET_VALUE = 0x0002;
// Read access only: a standard user can read the machine's keys but not write them.
inline constexpr uint32_t KEY_READ = 0x20019;

}  // namespace keyhush
