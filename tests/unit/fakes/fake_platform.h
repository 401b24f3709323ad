// A recording Platform for the unit tests and fuzz targets: the calls they look at are logged in
// order as text, e.g. "RegisterHotKey(1280,1,8,88)", and answered from scriptable state.
#pragma once

#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "runtime/error.h"
#include "runtime/form.h"
#include "runtime/platform.h"

namespace keyhush::testing {

class FakePlatform : public Platform {
 public:
  std::vector<std::string> calls;
  std::vector<NotifyIconRecord> notifyRecords;  // every record handed to Shell_NotifyIconA
  std::set<std::string> existingFiles;
  std::vector<intptr_t> shellExecuteResults;  // consumed in order; 42 (success) when empty
  int32_t twipsPerPixelX = 15;
  std::map<std::tuple<std::string, std::string, std::string>, std::string> settings;
  struct Value {
    uint32_t type;
    std::vector<uint8_t> data;
  };
  // "HKCU\<sub-key>" or "HKLM\<sub-key>" -> values. The machine's keys open for reading only, as
  // for a standard user.
  std::map<std::string, std::map<std::string, Value>> registry;

  std::vector<std::string> CallsTo(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : calls)
      if (call.starts_with(prefix)) found.push_back(call);
    return found;
  }

  // The hot keys held, as Windows keeps them: (window, id) -> (modifiers, key); an id already
  // held on the window is refused.
  std::map<std::pair<Handle, int32_t>, std::pair<uint32_t, uint32_t>> hotKeys;
  bool RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) override {
    Log("RegisterHotKey", window, id, modifiers, key);
    return hotKeys.try_emplace({window, id}, modifiers, key).second;
  }
  bool UnregisterHotKey(Handle window, int32_t id) override {
    Log("UnregisterHotKey", window, id);
    return hotKeys.erase({window, id}) > 0;
  }
  // The session, keys and time, for turning the displays off: keys held are in `keysDown`.
  std::set<int32_t> keysDown;
  uint32_t tickCount = 0;
  bool RegisterSessionNotification(Handle window) override {
    return Log("RegisterSessionNotification", window);
  }
  uint32_t GetTickCount() override { return tickCount; }
  bool KeyIsDown(int32_t key) override { return keysDown.count(key) > 0; }
  bool SetTimer(Handle window, uintptr_t id, uint32_t ms) override {
    return Log("SetTimer", window, id, ms);
  }
  void KillTimer(Handle window, uintptr_t id) override { Log("KillTimer", window, id); }
  intptr_t SendMessageA(Handle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override {
    Log("SendMessageA", window, message, wParam, lParam);
    return 0;
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
  int32_t RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) override {
    Log("RegCreateKeyA", root, subKey);
    registry[Open(root, subKey, key)];
    return 0;
  }
  int32_t RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t, uint32_t access,
                        Handle& key) override {
    Log("RegOpenKeyExA", root, subKey, access);
    constexpr uint32_t kWriteAccess = 0x0002 | 0x0004 | 0x0020;  // set value, create key, link
    if (root == kHkeyLocalMachine && (access & kWriteAccess)) return 5;  // ERROR_ACCESS_DENIED
    if (registry.count(Open(root, subKey, key))) return 0;
    openKeys_.erase(key);
    return 2;  // ERROR_FILE_NOT_FOUND
  }
  int32_t RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                         const std::vector<uint8_t>& data) override {
    Log("RegSetValueExA", key, name, type);
    if (!openKeys_.count(key)) return 6;  // ERROR_INVALID_HANDLE
    registry[openKeys_[key]][name] = Value{type, data};
    return 0;
  }
  int32_t RegQueryValueExA(Handle key, const std::string& name, uint32_t& type, uint8_t* buffer,
                           uint32_t& size) override {
    Log("RegQueryValueExA", key, name, size);
    if (!openKeys_.count(key)) return 6;
    const auto value = registry[openKeys_[key]].find(name);
    if (value == registry[openKeys_[key]].end()) return 2;
    type = value->second.type;
    const std::vector<uint8_t>& data = value->second.data;
    // The size needed goes back either way; ERROR_MORE_DATA when it does not fit.
    if (std::exchange(size, static_cast<uint32_t>(data.size())) < data.size()) return 234;
    std::copy(data.begin(), data.end(), buffer);
    return 0;
  }
  int32_t RegDeleteValueA(Handle key, const std::string& name) override {
    Log("RegDeleteValueA", key, name);
    if (!openKeys_.count(key)) return 6;
    return registry[openKeys_[key]].erase(name) ? 0 : 2;
  }
  int32_t RegCloseKey(Handle key) override {
    Log("RegCloseKey", key);
    return openKeys_.erase(key) ? 0 : 6;
  }
  intptr_t ShellExecuteA(Handle owner, const std::string& operation, const std::string& file,
                         const std::string& parameters, const std::string& directory,
                         int32_t showCommand) override {
    Log("ShellExecuteA", owner, operation, file, parameters, directory, showCommand);
    if (shellExecuteResults.empty()) return 42;
    const intptr_t result = shellExecuteResults.front();
    shellExecuteResults.erase(shellExecuteResults.begin());
    return result;
  }
  // English, as res/lang/en-US.rc has it, with the names of res/text_ids.h.
  std::string Text(int id) override {
    static const std::map<int, std::string> english = [] {
      std::map<std::string, int> ids;
      std::ifstream header(KEYHUSH_RES_DIR "/text_ids.h");
      std::map<int, std::string> texts;
      const std::regex define(R"(#define (\w+) (\d+))"), entry(R"re(\s*(\w+) "(.*)")re");
      std::smatch match;
      for (std::string line; std::getline(header, line);)
        if (std::regex_match(line, match, define)) ids[match[1]] = std::stoi(match[2]);
      std::ifstream table(KEYHUSH_RES_DIR "/lang/en-US.rc");
      for (std::string line; std::getline(table, line);) {
        if (!std::regex_match(line, match, entry)) continue;
        const std::string name = match[1];
        texts[std::isdigit(name[0]) ? std::stoi(name) : ids.at(name)] =
            std::regex_replace(match[2].str(), std::regex(R"(\\r\\n)"), "\r\n");
      }
      return texts;
    }();
    return english.at(id);
  }
  bool SetClipboardText(const std::string& text) override { return Log("SetClipboardText", text); }
  void MsgBox(const std::string& text, MessageKind kind) override {
    Log("MsgBox", text, kind == MessageKind::Plain ? "plain" : "error");
  }
  uint32_t StartProgram(const std::string& program, const std::string& arguments,
                        int32_t windowStyle) override {
    Log("StartProgram", program, arguments, windowStyle);
    return 1234;
  }
  bool FileExists(const std::string& path) override { return existingFiles.count(path) > 0; }
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
  void DeleteSetting(const std::string& application, const std::string& section,
                     const std::string& key) override {
    Log("DeleteSetting", application, section, key);
    settings.erase({application, section, key});
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
  // Opens a key on the registry's path without a trailing backslash; returns the path.
  std::string Open(Handle root, std::string subKey, Handle& key) {
    while (subKey.ends_with('\\')) subKey.pop_back();
    key = nextKey_++;
    return openKeys_[key] = (root == kHkeyLocalMachine ? "HKLM\\" : "HKCU\\") + subKey;
  }

  std::map<Handle, std::string> openKeys_;
  Handle nextKey_ = 0x1000;
};

// Realises forms without windows: each gets a handle, and nothing is ever shown.
class HeadlessWindows : public WindowSystem {
  class Window : public FormWindow {
   public:
    Window(Handle handle, const bool& refuseModal) : handle_(handle), refuseModal_(refuseModal) {}
    Handle handle() const override { return handle_; }
    Handle controlHandle(const Control&) const override { return handle_ + 1; }
    Handle controlPicture(const Control&) const override { return 0; }
    void Show() override {}
    void ShowModal(Handle) override {
      if (refuseModal_) throw RuntimeError(kErrOutOfMemory, "no window handles left");
    }
    void Hide() override {}
    bool Visible() const override { return false; }
    void SetCaption(const std::string&) override {}
    void ControlChanged(const Control&) override {}
    const MenuItem* TrackPopupMenu(const Menu&, const MenuItem*) override { return nullptr; }

   private:
    Handle handle_;
    const bool& refuseModal_;
  };

 public:
  // A modal window then fails to show, as when Windows has no window handles left.
  bool refuseModal = false;
  std::unique_ptr<FormWindow> Create(Form&) override {
    return std::make_unique<Window>(nextHandle_ += 0x100, refuseModal);
  }

 private:
  Handle nextHandle_ = 0x100;
};

}  // namespace keyhush::testing
