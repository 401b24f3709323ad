#include "about/frm_about.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

const std::string kInfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";

FakePlatform::Value Value(uint32_t type, const std::string& data) {
  return {type, {data.begin(), data.end()}};
}

TEST(About, GetKeyValueReadsTextAndNumbersAndClosesTheKeyItOpened) {
  using Case = std::tuple<uint32_t, std::string, std::string, int16_t, std::string>;
  for (const auto& [type, data, onEntry, result, value] : std::initializer_list<Case>{
           {1, std::string("abc\0", 4), "", -1, "abc"},
           {1, "abc", "", -1, "abc"},
           {1, "", "old", -1, ""},
           {1, std::string("abc\0def\0", 8), "", -1, "abc"},
           {1, std::string(1023, 'a') + '\0', "", -1, std::string(1023, 'a')},
           {4, std::string(4, '\0'), "", -1, "&h000000"},
           {4, std::string("\0\1\0\0", 4), "old", -1, "&h000100"},
           {4, std::string("\x0A\0\xBC\xFE", 4), "", -1, "&hFEBC000A"},
           {2, std::string("%x%\0", 4), "old", -1, "old"},  // other kinds leave the value
           {3, "\1\2", "", -1, ""},
           {1, std::string(1025, 'a'), "old", 0, ""},
       }) {
    Rig r;
    r.platform.registry["HKLM\\" + kInfo]["PATH"] = Value(type, data);
    std::string read = onEntry;
    EXPECT_EQ(r.program.aboutWindow().GetKeyValue(kHkeyLocalMachine, kInfo, "PATH", read), result)
        << data;
    EXPECT_EQ(read, value) << data;
    EXPECT_EQ(Calls(r.platform, {""}), "RegOpenKeyExA(HKLM," + kInfo +
                                           ",0,131097) | RegQueryValueExA(4096,PATH,1024) | "
                                           "RegCloseKey(4096)");
  }
  Rig r;  // a missing key: nothing opened, nothing to close
  std::string value = "old";
  EXPECT_EQ(r.program.aboutWindow().GetKeyValue(kHkeyLocalMachine, kInfo, "PATH", value), 0);
  EXPECT_EQ(value + Calls(r.platform, {"RegClose"}), "");
}

TEST(About, SystemInfoStartsTheRecordedProgramOrSaysItIsUnavailable) {
  const std::string no = "MsgBox(System Information Is Unavailable At This Time,plain)";
  const std::string start = "StartProgram(C:\\P F\\msinfo32.exe,,1)";
  const std::string path = "C:\\P F\\msinfo32.exe";
  // The PATH value's type (0: none) and bytes, the MSINFO folder (if any), the file that exists
  // (if any), whether the start fails, what happens. Only a fully qualified path is started: a
  // relative one, or a number's "&h" text, would be looked for in the current folder.
  using Case = std::tuple<uint32_t, std::string, std::string, std::string, bool, std::string>;
  for (const auto& [type, data, folder, file, startFails, outcome] : std::initializer_list<Case>{
           {1, path, "", "", false, start},
           {1, path, "", "", true, start + " | " + no},
           {2, path, "", "", false, no},
           {4, std::string("\x2A\0\0\0", 4), "", "", false, no},
           {1, "msinfo32.exe", "", "msinfo32.exe", false, no},
           {1, "C:msinfo32.exe", "", "", false, no},
           {1, "\\\\server\\tools\\msinfo32.exe", "", "", false,
            "StartProgram(\\\\server\\tools\\msinfo32.exe,,1)"},
           {0, "", "C:\\T", "C:\\T\\MSINFO32.EXE", false,
            "FileExists(C:\\T\\MSINFO32.EXE) | StartProgram(C:\\T\\MSINFO32.EXE,,1)"},
           {0, "", "C:\\T\\", "", false, "FileExists(C:\\T\\\\MSINFO32.EXE) | " + no},
           {0, "", "Tools", "Tools\\MSINFO32.EXE", false, no},
           {0, "", "", "", false, no},
       }) {
    Rig r;
    if (type) r.platform.registry["HKLM\\" + kInfo]["PATH"] = Value(type, data);
    if (!folder.empty())
      r.platform.registry["HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] =
          Value(1, folder + '\0');
    if (!file.empty()) r.platform.existingFiles = {file};
    if (startFails) r.platform.startProgramError = RuntimeError(kErrFileNotFound);
    EXPECT_NO_THROW(r.program.aboutWindow().cmdSysInfo.UserClicked());
    EXPECT_EQ(Calls(r.platform, {"File", "Start", "MsgBox"}), outcome);
  }
}

TEST(About, AFailureToOpenTheHomePageStaysUnreported) {
  Rig r;
  r.platform.shellExecuteResults = {2};
  EXPECT_NO_THROW(r.program.aboutWindow().lblDisclaimer.UserClicked());
  EXPECT_THAT(r.platform.CallsTo("MsgBox"), IsEmpty());
}

}  // namespace
}  // namespace keyhush::testing
