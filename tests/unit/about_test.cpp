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
  // The PATH value's type (0: none), the MSINFO folder (if any), what happens.
  using Case = std::tuple<uint32_t, std::string, bool, bool, std::string>;
  for (const auto& [type, folder, exists, startFails, outcome] : std::initializer_list<Case>{
           {1, "", false, false, start},
           {1, "", false, true, start + " | " + no},
           {2, "", false, false, no},
           {0, "C:\\T", true, false,
            "FileExists(C:\\T\\MSINFO32.EXE) | StartProgram(C:\\T\\MSINFO32.EXE,,1)"},
           {0, "C:\\T\\", false, false, "FileExists(C:\\T\\\\MSINFO32.EXE) | " + no},
           {0, "", false, false, no},
       }) {
    Rig r;
    if (type) r.platform.registry["HKLM\\" + kInfo]["PATH"] = Value(type, "C:\\P F\\msinfo32.exe");
    if (!folder.empty())
      r.platform.registry["HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location"]["MSINFO"] =
          Value(1, folder + '\0');
    if (exists) r.platform.existingFiles = {"C:\\T\\MSINFO32.EXE"};
    if (startFails) r.platform.startProgramError = RuntimeError(kErrFileNotFound);
    EXPECT_NO_THROW(r.program.aboutWindow().cmdSysInfo.UserClicked());
    EXPECT_EQ(Calls(r.platform, {"File", "Start", "MsgBox"}), outcome);
  }
}

TEST(About, SystemInfoStartsOnlyAFullyQualifiedPath) {
  const std::string no = "MsgBox(System Information Is Unavailable At This Time,plain)";
  // A number's "&h" text and relative paths would be looked for in the current folder.
  using Case = std::tuple<std::string, FakePlatform::Value, std::string>;
  for (const auto& [value, data, outcome] : std::initializer_list<Case>{
           {"PATH", Value(4, std::string("\x2A\0\0\0", 4)), no},
           {"PATH", Value(1, std::string("msinfo32.exe\0", 13)), no},
           {"PATH", Value(1, std::string("C:msinfo32.exe\0", 15)), no},
           {"PATH", Value(1, std::string("\\\\s\\t\\msinfo32.exe\0", 19)),
            "StartProgram(\\\\s\\t\\msinfo32.exe,,1)"},
           {"MSINFO", Value(1, std::string("Tools\0", 6)), no},
       }) {
    Rig r;
    r.platform.existingFiles = {"msinfo32.exe", "Tools\\MSINFO32.EXE"};
    r.platform
        .registry[value == "PATH" ? "HKLM\\" + kInfo
                                  : "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location"][value] =
        data;
    EXPECT_NO_THROW(r.program.aboutWindow().cmdSysInfo.UserClicked());
    EXPECT_EQ(Calls(r.platform, {"File", "Start", "MsgBox"}), outcome) << value;
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
