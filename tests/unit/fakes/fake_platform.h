#pragma once

#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "runtime/error.h"
#include "runtime/platform.h"

namespace keyhush::testing {

// Thrown by End(), so a test can see the program end.
struct ProgramEnded {};

// A recording Platform: every call is logged in order as text, e.g. "RegisterHotKey(100,1,8,88)",
// and answered from scriptable state.
class FakePlatform : public Platform {
 public:
  std::vector<std::string> calls;

  // Scripted answers.
  std::set<std::pair<uint32_t, uint32_t>> heldByOthers;  // (modifiers, key) refused
  ProcAddress formProcedure = 0xF0;  // the procedure windows have before hooking
  bool setWindowLongFails = false;
  intptr_t formProcedureResult = 42;  // what the window's own procedure returns
  int32_t folderResult = 0;
  std::string folderPath = "C:\\windows\\system32";
  bool folderLeavesNoNul = false;
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::optional<RuntimeError> startProgramError;
  std::set<std::string> existingFiles;
  std::string exeFolder = "C:\\Program Files\\Key hush";
  std::string exeBaseName = "keyhush";
  int32_t twipsPerPixelX = 15;
  Handle trayWindow = 0, trayNotifyWindow = 0;
  std::map<Handle, Rect> windowRects;
  std::vector<intptr_t> shellExecuteResults;  // consumed in order; 42 when empty

  // The settings store: (application, section, key) -> value.
  std::map<std::tuple<std::string, std::string, std::string>, std::string> settings;

  // The registry: key path (root as "HKCU"/"HKLM", then "\\" and the sub-key) -> values.
  struct Value {
    uint32_t type;
    std::vector<uint8_t> data;
  };
  std::map<std::string, std::map<std::string, Value>> registry;
  std::set<std::string>
      keysDeniedForWrite;  // RegCreateKeyA and RegOpenKeyExA with write access fail

  // Each window's current procedure, as SetWindowLongA left it.
  std::map<Handle, ProcAddress> procedures;
  WindowProcedure* hookProcedure = nullptr;
  static constexpr ProcAddress kHookAddress = 0xC0DE;

  // Delivers a message to the window's current procedure, as the system's dispatch would.
  intptr_t Dispatch(Handle window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
  // The calls whose text starts with `prefix`.
  std::vector<std::string> CallsTo(const std::string& prefix) const;

  bool RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) override;
  bool UnregisterHotKey(Handle window, int32_t id) override {
    return Log("UnregisterHotKey", window, id);
  }
  ProcAddress SetWindowLongA(Handle window, int32_t index, ProcAddress procedure) override;
  intptr_t CallWindowProcA(ProcAddress procedure, Handle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;
  ProcAddress AddressOf(WindowProcedure& procedure) override {
    hookProcedure = &procedure;
    return kHookAddress;
  }
  int32_t SHGetFolderPathA(Handle owner, int32_t folder, Handle token, uint32_t flags,
                           char* buffer) override;
  std::string GetSystemDirectoryA() override {
    Log("GetSystemDirectoryA");
    return systemDirectory;
  }
  bool Shell_NotifyIconA(uint32_t message, const NotifyIconRecord& record) override {
    notifyRecords.push_back(record);
    return Log("Shell_NotifyIconA", message);
  }
  Handle FindWindowA(const char* className, const char* windowName) override;
  Handle FindWindowExA(Handle parent, Handle childAfter, const char* className,
                       const char* windowName) override;
  bool GetWindowRect(Handle window, Rect& rect) override;
  bool DrawAnimatedRects(Handle window, int32_t animation, const Rect& from,
                         const Rect& to) override {
    return Log("DrawAnimatedRects", window, animation, from.left, from.top, from.right, from.bottom,
               to.left, to.top, to.right, to.bottom);
  }
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
  bool SetClipboardText(const std::string& text) override { return Log("SetClipboardText", text); }
  void MsgBox(const std::string& text, MessageKind kind) override {
    Log("MsgBox", text, kind == MessageKind::Plain ? "plain" : "error");
  }
  uint32_t StartProgram(const std::string& program, const std::string& arguments,
                        int32_t windowStyle) override;
  bool FileExists(const std::string& path) override {
    return Log("FileExists", path) && existingFiles.count(path) > 0;
  }
  std::string ExeFolder() override { return exeFolder; }
  std::string ExeBaseName() override { return exeBaseName; }
  std::string ReadSetting(const std::string& application, const std::string& section,
                          const std::string& key) override;
  void WriteSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override {
    Log("WriteSetting", application, section, key, value);
    settings[{application, section, key}] = value;
  }
  int32_t TwipsPerPixelX() override { return twipsPerPixelX; }
  [[noreturn]] void End() override {
    Log("End");
    throw ProgramEnded{};
  }

  std::vector<NotifyIconRecord> notifyRecords;  // every record handed to Shell_NotifyIconA

 private:
  // Records the call as "Name(argument,...)"; true, the answer of calls that cannot fail here.
  template <typename... Args>
  bool Log(const char* name, const Args&... args) {
    std::ostringstream out;
    out << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((out << separator << args, separator = ","), ...);
    calls.push_back(out.str() + ')');
    return true;
  }
  int32_t Open(const std::string& path, Handle& key);

  std::map<Handle, std::string> openKeys_;
  Handle nextKey_ = 0x1000;
};

}  // namespace keyhush::testing
