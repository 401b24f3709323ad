#pragma once

namespace keyhush::win32 {

// The class every form window has, so a second copy of the program can find the first.
inline constexpr const wchar_t* kFormClassName = L"KeyhushForm";
// The class of picture-box windows.
inline constexpr const wchar_t* kPictureClassName = L"KeyhushPicture";
// Posted by a second copy to the first copy's main window.
inline constexpr const char* kSecondInstanceMessage = "Keyhush.SecondInstance";
// Posted by "keyhush.exe /exit" to the running copy's main window: end as Exit does.
inline constexpr const char* kExitMessage = "Keyhush.Exit";
// Broadcast by the shell when the task bar is created anew.
inline constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";
// The main window's caption, by which a second copy finds the first: English in every language.
inline constexpr const wchar_t* kMainWindowCaption = L"System Tray Sample Application";

}  // namespace keyhush::win32
