// The About window's registry reading fed any value of any type and length, and the
// system-information start that follows from it. Input: the value's type as one byte, one byte
// of choices (bit 0: the value is the folder "MSINFO" rather than the path "PATH"; bit 1: the
// folder holds MSINFO32.EXE), then the value's bytes.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fuzz_check.h"
#include "runtime/truth.h"

namespace {

using namespace keyhush;

constexpr uint32_t kSz = 1, kDword = 4;
constexpr size_t kLongest = 1024;
const std::string kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "MsgBox(System Information Is Unavailable At This Time)";

bool IsUpperHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// A path that names its drive or server; anything else would be looked for in the current folder.
bool FullyQualified(const std::string& path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || path.rfind("\\\\", 0) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t type = data[0];
  const bool isFolder = data[1] & 1;
  const bool folderHoldsProgram = data[1] & 2;
  const std::vector<uint8_t> bytes(data + 2, data + size);

  // GetKeyValue on its own, with text already in the output.
  {
    testing::FakePlatform platform;
    testing::HeadlessWindows windows;
    Program program{platform, windows};
    platform.registry["HKLM\\" + kPathKey]["PATH"] = {type, bytes};
    std::string text = "before";
    const int16_t read =
        program.aboutWindow().GetKeyValue(kHkeyLocalMachine, kPathKey, "PATH", text);
    FUZZ_CHECK(platform.CallsTo("RegCloseKey").size() == 1);
    if (bytes.size() > kLongest) {
      FUZZ_CHECK(read == kFalse && text.empty());
      return 0;
    }
    FUZZ_CHECK(read == kTrue);
    std::vector<uint8_t> stored = bytes;
    if (!stored.empty() && stored.back() == 0) stored.pop_back();
    if (type == kSz) {
      // The text up to its first zero byte.
      const std::string whole(stored.begin(), stored.end());
      FUZZ_CHECK(text == whole.substr(0, whole.find('\0')));
    } else if (type == kDword) {
      // "&h" and two upper-case digits a byte, the last byte first.
      FUZZ_CHECK(text.size() == 2 + 2 * stored.size() && text.rfind("&h", 0) == 0);
      for (size_t i = 0; i < stored.size(); ++i) {
        const char high = text[2 + 2 * i], low = text[3 + 2 * i];
        FUZZ_CHECK(IsUpperHex(high) && IsUpperHex(low));
        const auto value = static_cast<uint8_t>(std::stoi(std::string{high, low}, nullptr, 16));
        FUZZ_CHECK(value == stored[stored.size() - 1 - i]);
      }
    } else {
      FUZZ_CHECK(text == "before");
    }
  }

  // The start: only the program a text value names whole, or MSINFO32.EXE in the named folder
  // when it is there; every other outcome is the one message.
  testing::FakePlatform platform;
  testing::HeadlessWindows windows;
  Program program{platform, windows};
  const std::string value = isFolder ? "MSINFO" : "PATH";
  platform.registry["HKLM\\" + (isFolder ? kFolderKey : kPathKey)][value] = {type, bytes};
  const std::string text(bytes.begin(), bytes.end());
  const std::string named = text.substr(0, text.find('\0'));
  if (folderHoldsProgram) platform.existingFiles.insert(named + "\\MSINFO32.EXE");
  program.aboutWindow().StartSysInfo();

  const std::vector<std::string> starts = platform.CallsTo("StartProgram");
  const std::vector<std::string> messages = platform.CallsTo("MsgBox");
  FUZZ_CHECK(starts.size() + messages.size() == 1);
  if (!starts.empty()) {
    FUZZ_CHECK(type == kSz && bytes.size() <= kLongest);
    FUZZ_CHECK(!isFolder || folderHoldsProgram);
    const std::string started = isFolder ? named + "\\MSINFO32.EXE" : named;
    FUZZ_CHECK(FullyQualified(started));
    FUZZ_CHECK(starts.front() == "StartProgram(" + started + ",,1)");
  } else {
    FUZZ_CHECK(messages.front() == kUnavailable);
  }
  return 0;
}
