#pragma once

#include <windows.h>

#include "runtime/platform.h"
#include "win32/unique_handle.h"

namespace keyhush::win32 {

// The program's view of Windows: each call is the real one. Paths, registry text and the clipboard
// go through the wide ("W") form, as UTF-8 on the program's side.
class Win32Platform final : public Platform {
 public:
  Win32Platform() = default;

  bool RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) override;
  bool UnregisterHotKey(Handle window, int32_t id) override;
  bool RegisterSessionNotification(Handle window) override;
  uint32_t GetTickCount() override;
  bool KeyIsDown(int32_t virtualKey) override;
  bool SetTimer(Handle window, uintptr_t id, uint32_t milliseconds) override;
  void KillTimer(Handle window, uintptr_t id) override;
  intptr_t SendMessageA(Handle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  ProcAddress SetWindowLongA(Handle window, int32_t index, ProcAddress procedure) override;
  intptr_t CallWindowProcA(ProcAddress procedure, Handle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;
  ProcAddress AddressOf(WindowProcedure& procedure) override;
  int32_t SHGetFolderPathA(Handle owner, int32_t folder, Handle token, uint32_t flags,
                           char* buffer) override;
  std::string GetSystemDirectoryA() override;
  bool Shell_NotifyIconA(uint32_t message, const NotifyIconRecord& record) override;
  Handle FindWindowA(const char* className, const char* windowName) override;
  Handle FindWindowExA(Handle parent, Handle childAfter, const char* className,
                       const char* windowName) override;
  bool GetWindowRect(Handle window, Rect& rect) override;
  bool DrawAnimatedRects(Handle window, int32_t animation, const Rect& from,
                         const Rect& to) override;
  int32_t RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) override;
  int32_t RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options, uint32_t access,
                        Handle& key) override;
  int32_t RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                         const std::vector<uint8_t>& data) override;
  int32_t RegQueryValueExA(Handle key, const std::string& name, uint32_t& type, uint8_t* buffer,
                           uint32_t& size) override;
  int32_t RegDeleteValueA(Handle key, const std::string& name) override;
  int32_t RegCloseKey(Handle key) override;
  intptr_t ShellExecuteA(Handle owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory,
                         int32_t showCommand) override;
  std::string Text(int id) override;
  bool SetClipboardText(const std::string& text) override;
  void MsgBox(const std::string& text, MessageKind kind) override;
  uint32_t StartProgram(const std::string& program, const std::string& arguments,
                        int32_t windowStyle) override;
  bool FileExists(const std::string& path) override;
  std::string ExeFolder() override;
  std::string ExeBaseName() override;
  std::string ReadSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void WriteSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override;
  void DeleteSetting(const std::string& application, const std::string& section,
                     const std::string& key) override;
  int32_t TwipsPerPixelX() override;
  [[noreturn]] void End() override;

 private:
  // A hidden message-only window that owns what the program puts on the clipboard.
  HWND ClipboardOwner();

  UniqueWindow clipboardOwner_;
};

// The running executable's full path.
std::string ModulePath();

}  // namespace keyhush::win32
