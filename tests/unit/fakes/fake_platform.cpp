#include "fakes/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace keyhush::testing {

namespace {

std::string RootName(Handle root) {
  if (root == kHkeyCurrentUser) return "HKCU";
  if (root == kHkeyLocalMachine) return "HKLM";
  return "?" + std::to_string(root);
}

// Sub-keys are compared without their trailing backslash, as the registry does.
std::string KeyPath(Handle root, std::string subKey) {
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  return RootName(root) + "\\" + subKey;
}

constexpr uint32_t kWriteAccess = 0x0002 | 0x0004 | 0x0020;  // set value, create sub key, link
constexpr int32_t kErrorFileNotFound = 2;
constexpr int32_t kErrorAccessDenied = 5;
constexpr int32_t kErrorMoreData = 234;
constexpr int32_t kErrorInvalidHandle = 6;

}  // namespace

intptr_t FakePlatform::Dispatch(Handle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) {
  auto it = procedures.find(window);
  const ProcAddress procedure = it == procedures.end() ? formProcedure : it->second;
  return CallWindowProcA(procedure, window, message, wParam, lParam);
}

std::vector<std::string> FakePlatform::CallsTo(const std::string& prefix) const {
  std::vector<std::string> found;
  std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
               [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
  return found;
}

bool FakePlatform::RegisterHotKey(Handle window, int32_t id, uint32_t modifiers, uint32_t key) {
  Log("RegisterHotKey", window, id, modifiers, key);
  return !heldByOthers.count({modifiers, key});
}

ProcAddress FakePlatform::SetWindowLongA(Handle window, int32_t index, ProcAddress procedure) {
  Log("SetWindowLongA", window, index, procedure);
  if (setWindowLongFails) return 0;
  auto [it, inserted] = procedures.try_emplace(window, formProcedure);
  return std::exchange(it->second, procedure);
}

intptr_t FakePlatform::CallWindowProcA(ProcAddress procedure, Handle window, uint32_t message,
                                       uintptr_t wParam, intptr_t lParam) {
  if (procedure == kHookAddress && hookProcedure)
    return hookProcedure->Call(window, message, wParam, lParam);
  Log("CallWindowProcA", procedure, window, message, wParam, lParam);
  return formProcedureResult;
}

int32_t FakePlatform::SHGetFolderPathA(Handle owner, int32_t folder, Handle token, uint32_t flags,
                                       char* buffer) {
  Log("SHGetFolderPathA", owner, folder, token, flags);
  if (folderResult < 0) return folderResult;
  if (folderLeavesNoNul) {
    std::memset(buffer, 'x', 260);
  } else {
    std::memcpy(buffer, folderPath.c_str(), folderPath.size() + 1);
  }
  return folderResult;
}

Handle FakePlatform::FindWindowA(const char* className, const char* windowName) {
  Log("FindWindowA", className ? className : "null", windowName ? windowName : "null");
  return trayWindow;
}

Handle FakePlatform::FindWindowExA(Handle parent, Handle childAfter, const char* className,
                                   const char* windowName) {
  Log("FindWindowExA", parent, childAfter, className ? className : "null",
      windowName ? windowName : "null");
  return parent != 0 ? trayNotifyWindow : 0;
}

bool FakePlatform::GetWindowRect(Handle window, Rect& rect) {
  Log("GetWindowRect", window);
  auto it = windowRects.find(window);
  if (it == windowRects.end()) return false;
  rect = it->second;
  return true;
}

int32_t FakePlatform::RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) {
  Log("RegCreateKeyA", RootName(root), subKey);
  const std::string path = KeyPath(root, subKey);
  if (keysDeniedForWrite.count(path)) return kErrorAccessDenied;
  registry[path];
  return Open(path, key);
}

int32_t FakePlatform::RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options,
                                    uint32_t access, Handle& key) {
  Log("RegOpenKeyExA", RootName(root), subKey, options, access);
  const std::string path = KeyPath(root, subKey);
  if (!registry.count(path)) return kErrorFileNotFound;
  if ((access & kWriteAccess) && keysDeniedForWrite.count(path)) return kErrorAccessDenied;
  return Open(path, key);
}

int32_t FakePlatform::Open(const std::string& path, Handle& key) {
  key = nextKey_++;
  openKeys_[key] = path;
  return 0;
}

int32_t FakePlatform::RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                                     const std::vector<uint8_t>& data) {
  Log("RegSetValueExA", key, name, type, data.size());
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrorInvalidHandle;
  registry[it->second][name] = Value{type, data};
  return 0;
}

int32_t FakePlatform::RegQueryValueExA(Handle key, const std::string& name, uint32_t& type,
                                       uint8_t* buffer, uint32_t& size) {
  Log("RegQueryValueExA", key, name, size);
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrorInvalidHandle;
  const auto& values = registry[it->second];
  auto value = values.find(name);
  if (value == values.end()) return kErrorFileNotFound;
  type = value->second.type;
  const uint32_t length = static_cast<uint32_t>(value->second.data.size());
  if (length > size) {
    size = length;
    return kErrorMoreData;
  }
  std::copy(value->second.data.begin(), value->second.data.end(), buffer);
  size = length;
  return 0;
}

int32_t FakePlatform::RegDeleteValueA(Handle key, const std::string& name) {
  Log("RegDeleteValueA", key, name);
  auto it = openKeys_.find(key);
  if (it == openKeys_.end()) return kErrorInvalidHandle;
  return registry[it->second].erase(name) ? 0 : kErrorFileNotFound;
}

int32_t FakePlatform::RegCloseKey(Handle key) {
  Log("RegCloseKey", key);
  return openKeys_.erase(key) ? 0 : kErrorInvalidHandle;
}

intptr_t FakePlatform::ShellExecuteA(Handle owner, const std::string& operation,
                                     const std::string& file, const std::string& parameters,
                                     const std::string& directory, int32_t showCommand) {
  Log("ShellExecuteA", owner, operation, file, parameters, directory, showCommand);
  if (shellExecuteResults.empty()) return 42;
  const intptr_t result = shellExecuteResults.front();
  shellExecuteResults.erase(shellExecuteResults.begin());
  return result;
}

uint32_t FakePlatform::StartProgram(const std::string& program, const std::string& arguments,
                                    int32_t windowStyle) {
  Log("StartProgram", program, arguments, windowStyle);
  if (startProgramError) throw *startProgramError;
  return 1234;
}

std::string FakePlatform::ReadSetting(const std::string& application, const std::string& section,
                                      const std::string& key) {
  Log("ReadSetting", application, section, key);
  auto it = settings.find({application, section, key});
  return it == settings.end() ? std::string() : it->second;
}

}  // namespace keyhush::testing
