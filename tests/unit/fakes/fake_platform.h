// A recording Platform for the unit tests and fuzz targets: every call that matters to them is
// logged in order as text, e.g. "RegisterHotKey(256,1,8,88)", and answered from scriptable state.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush::testing {

class FakePlatform : public Platform {
 public:
  std::vector<std::string> calls;
  std::vector<NotifyIconRecord> notifyRecords;  // every record handed to Shell_NotifyIconA

  // Scripted answers.
  std::set<std::pair<uint32_t, uint32_t>> heldByOthers;  // (modifiers, key) refused
  std::set<std::string> existingFiles;
  std::vector<intptr_t> shellExecuteResults;  // consumed in order; 42 (success) when empty
  int32_t twipsPerPixelX = 15;
  // The settings store: (application, section, key) -> value.
  std::map<std::tuple<std::string, std::string, std::string>, std::string> settings;
  // The registry: "HKCU\<sub-key>" or "HKLM\<sub-key>", no trailing backslash -> values. Like a
  // standard user, the fake may read the machine's keys but not open them for writing.
  struct Value {
    uint32_t type;
    std::vector<uint8_t> data;
  };
  std::map<std::string, std::map<std::string, Value>> registry;

  std::vector<std::string> CallsTo(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
      if (call.starts_with(prefix)) found.push_back(call);
    return found;
  }

  bool RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) override {
    return Log("RegisterHotKey", window, id, modifiers, key) &&
           !heldByOthers.count({modifiers, key});
  }
  bool UnregisterHotKey(Handle window, int32_t id) override {
    return Log("UnregisterHotKey", window, id);
  }
  ProcAddress SetWindowLongA(Handle, int32_t, ProcAddress) override { return 0xF0; }
  intptr_t CallWindowProcA(ProcAddress, Handle, uint32_t, uintptr_t, intptr_t) override {
    return 0;
  }
  ProcAddress AddressOf(WindowProcedure&) override { return 0xC0DE; }
  int32_t SHGetFolderPathA(Handle, int32_t, Handle, uint32_t, char* buffer) override {
    std::strcpy(buffer, "C:\\windows\\system32");
    return 0;
  }
  std::string GetSystemDirectoryA() override { return "C:\\windows\\system32"; }
  bool Shell_NotifyIconA(uint32_t message, const NotifyIconRecord& record) override {
    notifyRecords.push_back(record);
    return Log("Shell_NotifyIconA", message);
  }
  Handle FindWindowA(const char*, const char*) override { return 0; }
  Handle FindWindowExA(Handle, Handle, const char*, const char*) override { return 0; }
  bool GetWindowRect(Handle, Rect&) override { return false; }
  bool DrawAnimatedRects(Handle, int32_t, const Rect&, const Rect&) override { return true; }
  int32_t RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) override;
  int32_t RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options, uint32_t access,
                        Handle& key) override;
  int32_t RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                         const std::vector<uint8_t>& data) override;
  int32_t RegQueryValueExA(Handle key, const std::string& name, uint32_t& type, uint8_t* buffer,
                           uint32_t& size) override;
  int32_t RegDeleteValueA(Handle key, const std::string& name) override;
  int32_t RegCloseKey(Handle key) override {
    Log("RegCloseKey", key);
    return openKeys_.erase(key) ? 0 : 6;  // ERROR_INVALID_HANDLE
  }
  intptr_t ShellExecuteA(Handle owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory,
                         int32_t showCommand) override;
  bool SetClipboardText(const std::string& text) override { return Log("SetClipboardText", text); }
  void MsgBox(const std::string& text, MessageKind) override { Log("MsgBox", text); }
  uint32_t StartProgram(const std::string& program, const std::string& arguments,
                        int32_t windowStyle) override {
    Log("StartProgram", program, arguments, windowStyle);
    return 1234;
  }
  bool FileExists(const std::string& path) override {
    return Log("FileExists", path) && existingFiles.count(path) > 0;
  }
  std::string ExeFolder() override { return "C:\\Program Files\\Key hush"; }
  std::string ExeBaseName() override { return "keyhush"; }
  std::string ReadSetting(const std::string& application, const std::string& section,
                          const std::string& key) override {
    const auto it = settings.find({application, section, key});
    return it == settings.end() ? std::string() : it->second;
  }
  void WriteSetting(const std::string& application, const std::string& section,
                    const std::string& key, const std::string& value) override {
    Log("WriteSetting", application, section, key, value);
    settings[{application, section, key}] = value;
  }
  int32_t TwipsPerPixelX() override { return twipsPerPixelX; }
  [[noreturn]] void End() override { throw std::logic_error("End"); }

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
  int32_t Open(Handle root, std::string subKey, Handle& key);

  std::map<Handle, std::string> openKeys_;
  Handle nextKey_ = 0x1000;
};

// Realises forms without windows: each gets a handle, and nothing is ever shown.
class HeadlessWindows : public WindowSystem {
 public:
  std::unique_ptr<FormWindow> Create(Form& form) override;

 private:
  Handle nextHandle_ = 0x100;
};

}  // namespace keyhush::testing
