#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace keyhush {

// A window, registry key or icon handle as the 32-bit program sees it.
using Handle = uint32_t;
// A window procedure's address, as SetWindowLongA stores it.
using ProcAddress = uintptr_t;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
};

// The tray icon record in its 88-byte ANSI form.
using NotifyIconRecord = std::array<uint8_t, 88>;

inline constexpr Handle kHkeyCurrentUser = 0x80000001;
inline constexpr Handle kHkeyLocalMachine = 0x80000002;

// A procedure the program installs as a window's procedure.
class WindowProcedure {
 public:
  virtual intptr_t Call(Handle window, uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;

 protected:
  ~WindowProcedure() = default;
};

// Message box kinds: the plain one the program's own texts use, and one for errors.
enum class MessageKind { Plain, Error };

// Everything the program asks of Windows and of the services around its windows. The Windows
// realisation makes the real calls; the tests' fake records them in order.
class Platform {
 public:
  virtual ~Platform() = default;

  // Hot keys and window procedures.
  virtual bool RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) = 0;
  virtual bool UnregisterHotKey(Handle window, int32_t id) = 0;
  // GWL_WNDPROC only. Returns the procedure replaced, 0 on failure.
  virtual ProcAddress SetWindowLongA(Handle window, int32_t index, ProcAddress procedure) = 0;
  virtual intptr_t CallWindowProcA(ProcAddress procedure, Handle window, uint32_t message,
                                   uintptr_t wParam, intptr_t lParam) = 0;
  // The address under which `procedure` can be installed with SetWindowLongA. The process has
  // one such procedure at a time.
  virtual ProcAddress AddressOf(WindowProcedure& procedure) = 0;

  // The session and the displays: turning them off once the session is locked.
  // WTSRegisterSessionNotification for this session; false when it cannot be had.
  virtual bool RegisterSessionNotification(Handle window) = 0;
  virtual uint32_t GetTickCount() = 0;
  // Whether the key is down now (GetAsyncKeyState).
  virtual bool KeyIsDown(int32_t virtualKey) = 0;
  virtual bool SetTimer(Handle window, uintptr_t id, uint32_t milliseconds) = 0;
  virtual void KillTimer(Handle window, uintptr_t id) = 0;
  virtual intptr_t SendMessageA(Handle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) = 0;

  // Folders. `buffer` holds MAX_PATH (260) characters. Returns the HRESULT.
  virtual int32_t SHGetFolderPathA(Handle owner, int32_t folder, Handle token, uint32_t flags,
                                   char* buffer) = 0;
  // The system folder as GetSystemDirectoryA reports it; empty on failure.
  virtual std::string GetSystemDirectoryA() = 0;

  // Notification area.
  virtual bool Shell_NotifyIconA(uint32_t message, const NotifyIconRecord& record) = 0;

  // Caption animation.
  virtual Handle FindWindowA(const char* className, const char* windowName) = 0;
  virtual Handle FindWindowExA(Handle parent, Handle childAfter, const char* className,
                               const char* windowName) = 0;
  virtual bool GetWindowRect(Handle window, Rect& rect) = 0;
  virtual bool DrawAnimatedRects(Handle window, int32_t animation, const Rect& from,
                                 const Rect& to) = 0;

  // Registry. Results are the Win32 error codes (0 is success).
  virtual int32_t RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) = 0;
  virtual int32_t RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options,
                                uint32_t access, Handle& key) = 0;
  virtual int32_t RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                                 const std::vector<uint8_t>& data) = 0;
  // `size` is the buffer's size on entry and the data's length on return.
  virtual int32_t RegQueryValueExA(Handle key, const std::string& name, uint32_t& type,
                                   uint8_t* buffer, uint32_t& size) = 0;
  virtual int32_t RegDeleteValueA(Handle key, const std::string& name) = 0;
  virtual int32_t RegCloseKey(Handle key) = 0;

  // Shell.
  virtual intptr_t ShellExecuteA(Handle owner, const std::string& operation,
                                 const std::string& file, const std::string& parameters,
                                 const std::string& directory, int32_t showCommand) = 0;

  // Form runtime services.
  // The text of a `text_ids.h` id in the user's language, as UTF-8; %1 and %2 stay for the caller
  // to fill (Filled in runtime/texts.h).
  virtual std::string Text(int id) = 0;
  // Replaces the clipboard's text; false when the clipboard stayed unavailable.
  virtual bool SetClipboardText(const std::string& text) = 0;
  virtual void MsgBox(const std::string& text, MessageKind kind = MessageKind::Plain) = 0;
  // Starts `program` with `arguments` and the window style, without waiting; the program's
  // full path is passed on its own, never searched for. Raises a RuntimeError when it cannot
  // start, or when the path is not a full one.
  virtual uint32_t StartProgram(const std::string& program, const std::string& arguments,
                                int32_t windowStyle) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // The running executable's folder as Windows reports it (a drive's root ends in a backslash)
  // and its file name without the extension.
  virtual std::string ExeFolder() = 0;
  virtual std::string ExeBaseName() = 0;
  // Per-user text settings; absent values read as empty text.
  virtual std::string ReadSetting(const std::string& application, const std::string& section,
                                  const std::string& key) = 0;
  virtual void WriteSetting(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) = 0;
  // Removes one value; nothing when it is not there.
  virtual void DeleteSetting(const std::string& application, const std::string& section,
                             const std::string& key) = 0;
  // Twips per screen pixel in x: 1440 divided by the logical pixels per inch.
  virtual int32_t TwipsPerPixelX() = 0;
  // Ends the process at once; no window's close or unload handling runs.
  [[noreturn]] virtual void End() = 0;
};

}  // namespace keyhush
