#include "fakes/fake_platform.h"

namespace keyhush::testing {

namespace {
constexpr int32_t kErrorFileNotFound = 2, kErrorAccessDenied = 5, kErrorInvalidHandle = 6,
                  kErrorMoreData = 234;
constexpr uint32_t kWriteAccess = 0x0002 | 0x0004 | 0x0020;  // set value, create sub key, link
}  // namespace

int32_t FakePlatform::Open(Handle root, std::string subKey, Handle& key) {
  while (subKey.ends_with('\\')) subKey.pop_back();
  key = nextKey_++;
  openKeys_[key] = (root == kHkeyLocalMachine ? "HKLM\\" : "HKCU\\") + subKey;
  return 0;
}

int32_t FakePlatform::RegCreateKeyA(Handle root, const std::string& subKey, Handle& key) {
  Log("RegCreateKeyA", root, subKey);
  Open(root, subKey, key);
  registry[openKeys_[key]];
  return 0;
}

int32_t FakePlatform::RegOpenKeyExA(Handle root, const std::string& subKey, uint32_t options,
                                    uint32_t access, Handle& key) {
  Log("RegOpenKeyExA", root, subKey, options, access);
  if (root == kHkeyLocalMachine && (access & kWriteAccess)) return kErrorAccessDenied;
  Open(root, subKey, key);
  if (registry.count(openKeys_[key])) return 0;
  openKeys_.erase(key);
  return kErrorFileNotFound;
}

int32_t FakePlatform::RegSetValueExA(Handle key, const std::string& name, uint32_t type,
                                     const std::vector<uint8_t>& data) {
  Log("RegSetValueExA", key, name, type, data.size());
  if (!openKeys_.count(key)) return kErrorInvalidHandle;
  registry[openKeys_[key]][name] = Value{type, data};
  return 0;
}

int32_t FakePlatform::RegQueryValueExA(Handle key, const std::string& name, uint32_t& type,
                                       uint8_t* buffer, uint32_t& size) {
  Log("RegQueryValueExA", key, name, size);
  if (!openKeys_.count(key)) return kErrorInvalidHandle;
  const auto& values = registry[openKeys_[key]];
  const auto value = values.find(name);
  if (value == values.end()) return kErrorFileNotFound;
  type = value->second.type;
  const auto length = static_cast<uint32_t>(value->second.data.size());
  const bool fits = length <= size;
  size = length;
  if (!fits) return kErrorMoreData;
  std::copy(value->second.data.begin(), value->second.data.end(), buffer);
  return 0;
}

int32_t FakePlatform::RegDeleteValueA(Handle key, const std::string& name) {
  Log("RegDeleteValueA", key, name);
  if (!openKeys_.count(key)) return kErrorInvalidHandle;
  return registry[openKeys_[key]].erase(name) ? 0 : kErrorFileNotFound;
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

namespace {
class HeadlessWindow : public FormWindow {
 public:
  explicit HeadlessWindow(Handle handle) : handle_(handle) {}
  Handle handle() const override { return handle_; }
  Handle controlHandle(const Control&) const override { return handle_ + 1; }
  Handle controlPicture(const Control&) const override { return 0; }
  void Show() override {}
  void Hide() override {}
  bool Visible() const override { return false; }
  void SetCaption(const std::string&) override {}
  void ControlChanged(const Control&) override {}
  const MenuItem* TrackPopupMenu(const Menu&, const MenuItem*) override { return nullptr; }

 private:
  Handle handle_;
};
}  // namespace

std::unique_ptr<FormWindow> HeadlessWindows::Create(Form&) {
  nextHandle_ += 0x100;
  return std::make_unique<HeadlessWindow>(nextHandle_);
}

}  // namespace keyhush::testing
