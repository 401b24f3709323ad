// The About window's system-information start, from a registry value of any type and length. Input:
// the value's type as one byte, one byte of choices (bit 0: the value is the folder "MSINFO" rather
// than the path "PATH"; bit 1: the folder holds MSINFO32.EXE), then the value's bytes.
#include <cassert>
#include <regex>
#include <string>
#include <vector>

#include "about/frm_about.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "settings/registry_writer.h"

using namespace keyhush;

const std::string kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t type = data[0];
  const bool isFolder = data[1] & 1, folderHoldsProgram = data[1] & 2;
  const std::vector<uint8_t> bytes(data + 2, data + size);
  const std::string text(bytes.begin(), bytes.end()), named = text.substr(0, text.find('\0'));

  // Only the program a text value names, or MSINFO32.EXE in a named folder that holds it, by a
  // path naming its drive or server, starts; every other outcome is the one plain message.
  testing::FakePlatform platform;
  testing::HeadlessWindows windows;
  Program program{platform, windows};
  platform.registry["HKLM\\" + (isFolder ? kFolderKey : kPathKey)][isFolder ? "MSINFO" : "PATH"] = {
      type, bytes};
  if (folderHoldsProgram) platform.existingFiles.insert(named + "\\MSINFO32.EXE");
  platform.calls.clear();
  program.aboutWindow().StartSysInfo();
  std::erase_if(platform.calls, [](const std::string& call) { return call.starts_with("Reg"); });
  const std::string path = isFolder ? named + "\\MSINFO32.EXE" : named;
  static const std::regex kQualified(R"(^([A-Za-z]:\\|\\\\))");
  const bool starts = type == REG_SZ && bytes.size() <= 1024 && (!isFolder || folderHoldsProgram) &&
                      std::regex_search(path, kQualified);
  assert(platform.calls ==
         std::vector<std::string>{
             starts ? "StartProgram(" + path + ",,1)"
                    : "MsgBox(System Information Is Unavailable At This Time,plain)"});
  return 0;
}
