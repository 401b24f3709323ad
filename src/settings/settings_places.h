#pragma once

// Where the program's settings live, and the names of their values. What is stored here never
// depends on the language the program speaks.
namespace keyhush {

// The user's own choices, per user, as settings of an application and section: the Platform
// keeps them under HKEY_CURRENT_USER\Software\<application>\<section>.
inline constexpr const char* kHotKeyApplication = "Key hush";
inline constexpr const char* kConfigSection = "config";
inline constexpr const char* kModifierKey = "modifier";
inline constexpr const char* kCurrentKeyKey = "currentkey";
// A combination of the user's own, in its text form; it goes before the two above.
inline constexpr const char* kOwnHotKeyKey = "hotkey";
// Start at log-on, "true" or "false": under an application name of its own.
inline constexpr const char* kStartupApplication = "Keyhush";
inline constexpr const char* kStartupKey = "startup";
// Turn the displays off when locking, "true" or "false", beside the hot key.
inline constexpr const char* kDisplaysOffKey = "displaysoff";

// The value that makes the shell start the program at log-on, per user (HKEY_CURRENT_USER) or,
// written by the installer, for everyone (HKEY_LOCAL_MACHINE).
inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The per-user value has always been written through the path with a closing backslash.
inline constexpr const char* kRunKeyPathAsWritten =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr const char* kRunValueName = "Keyhush";

// An organisation's policies, under HKEY_LOCAL_MACHINE (the computer's) and HKEY_CURRENT_USER
// (the user's). The program only reads them.
inline constexpr const char* kPolicyKeyPath = "Software\\Policies\\Key hush";
inline constexpr const char* kHotKeyPolicy = "HotKey";                    // text: "Ctrl+Alt+L"
inline constexpr const char* kStartAtLogonPolicy = "StartAtLogon";        // number: 1 or 0
inline constexpr const char* kTurnOffDisplaysPolicy = "TurnOffDisplays";  // number: 1 or 0

}  // namespace keyhush
