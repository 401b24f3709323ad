#include "about/frm_about.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "about/home_page.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

const std::string kInfoKey = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const std::string kLocationKey = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kUnavailable = "MsgBox(System Information Is Unavailable At This Time,plain)";

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

testing::FakePlatform::Value Text(const std::string& text) {
  return {1, Bytes(text + '\0')};
}

class AboutTest : public ::testing::Test {
 protected:
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(platform.calls.begin(), platform.calls.end(), entry));
  }
  // The calls a user would notice: files looked for, programs started, messages shown.
  std::vector<std::string> Outcome() const {
    std::vector<std::string> seen;
    for (const std::string& call : platform.calls) {
      if (call.rfind("FileExists", 0) == 0 || call.rfind("StartProgram", 0) == 0 ||
          call.rfind("MsgBox", 0) == 0)
        seen.push_back(call);
    }
    return seen;
  }

  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
  frmAbout& about = program.aboutWindow();
};

TEST_F(AboutTest, LoadShowsTitleAndVersion) {
  about.Show();
  EXPECT_EQ(about.Caption(), "About Key hush");
  EXPECT_EQ(about.lblTitle.Text(), "Key hush");
  EXPECT_EQ(about.lblVersion.Text(), "Version 1.0.0");
  EXPECT_TRUE(about.Visible());
}

TEST_F(AboutTest, ShowingTwiceKeepsOneWindowLoadedOnce) {
  about.Show();
  about.Show();
  EXPECT_EQ(Count("window create About MyApp"), 1);
  EXPECT_EQ(Count("window caption About Key hush About MyApp"), 1);
  EXPECT_EQ(Count("window show About MyApp"), 2);
}

TEST_F(AboutTest, OkAndTheCloseButtonUnloadAndTheNextShowingLoadsAnew) {
  for (const auto close : {+[](frmAbout& f) { f.cmdOK.UserClicked(); },
                           +[](frmAbout& f) { f.CloseRequested(kCloseFromControlMenu); }}) {
    platform.calls.clear();
    about.Show();
    close(about);
    EXPECT_FALSE(about.Loaded());
    EXPECT_EQ(Count("window destroy About MyApp"), 1);
    about.Show();
    EXPECT_EQ(Count("window create About MyApp"), 2);
    EXPECT_EQ(about.Caption(), "About Key hush");
    EXPECT_TRUE(about.Visible());
    about.Unload();
  }
}

TEST_F(AboutTest, NoticeShowsTheHomePageAndAClickOpensItQuietly) {
  EXPECT_EQ(about.lblDisclaimer.Text().rfind("Copyright", 0), 0u);
  EXPECT_TRUE(about.lblDisclaimer.Text().ends_with(std::string(" ") + kHomePage));

  platform.shellExecuteResults = {2};  // the shell's failure stays unreported
  EXPECT_NO_THROW(about.lblDisclaimer.UserClicked());
  EXPECT_THAT(platform.CallsTo("ShellExecuteA"),
              ElementsAre("ShellExecuteA(" + std::to_string(about.hWnd()) + ",open," + kHomePage +
                          ",,,1)"));
  EXPECT_THAT(platform.CallsTo("MsgBox"), IsEmpty());
}

TEST_F(AboutTest, GetKeyValueReadsTextAndNumbersForReadingOnly) {
  struct Case {
    std::string name;
    uint32_t type;
    std::vector<uint8_t> data;
    std::string onEntry;
    int16_t result;
    std::string value;
  };
  const Case cases[] = {
      {"text with its zero byte", 1, Bytes(std::string("abc\0", 4)), "", -1, "abc"},
      {"text without its zero byte", 1, Bytes("abc"), "", -1, "abc"},
      {"empty text", 1, {}, "old", -1, ""},
      {"text ends at its first zero byte", 1, Bytes(std::string("abc\0def\0", 8)), "", -1, "abc"},
      {"text filling the buffer", 1, Bytes(std::string(1023, 'a') + '\0'), "", -1,
       std::string(1023, 'a')},
      {"number 0", 4, {0, 0, 0, 0}, "", -1, "&h000000"},
      {"number 256", 4, {0x00, 0x01, 0x00, 0x00}, "old", -1, "&h000100"},
      {"number with top byte set", 4, {0x0A, 0x00, 0xBC, 0xFE}, "", -1, "&hFEBC000A"},
      {"expandable text keeps the value", 2, Bytes(std::string("%x%\0", 4)), "old", -1, "old"},
      {"binary keeps the value", 3, {1, 2}, "", -1, ""},
      {"value over 1024 bytes", 1, Bytes(std::string(1025, 'a')), "old", 0, ""},
  };
  for (const Case& c : cases) {
    platform.calls.clear();
    platform.registry[kInfoKey]["PATH"] = {c.type, c.data};
    platform.keysDeniedForWrite = {kInfoKey};  // a standard user's view of the machine's keys
    std::string value = c.onEntry;
    EXPECT_EQ(about.GetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                                "PATH", value),
              c.result)
        << c.name;
    EXPECT_EQ(value, c.value) << c.name;
    ASSERT_EQ(platform.calls.size(), 3u) << c.name;
    EXPECT_EQ(platform.calls[0],
              "RegOpenKeyExA(HKLM,SOFTWARE\\Microsoft\\Shared Tools\\MSINFO,0,131097)");
    // The key read is the key closed, whatever the outcome.
    const std::string& query = platform.calls[1];
    const std::string key = query.substr(17, query.find(',') - 17);
    EXPECT_EQ(query, "RegQueryValueExA(" + key + ",PATH,1024)");
    EXPECT_EQ(platform.calls[2], "RegCloseKey(" + key + ")") << c.name;
  }
}

TEST_F(AboutTest, GetKeyValueOnAMissingKeyOrValueGivesFalseAndEmptyText) {
  std::string value = "old";
  EXPECT_EQ(about.GetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Nowhere", "PATH", value), 0);
  EXPECT_EQ(value, "");
  EXPECT_EQ(platform.calls.size(), 1u);  // nothing opened, nothing to close

  platform.registry[kInfoKey] = {};
  value = "old";
  EXPECT_EQ(about.GetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO",
                              "PATH", value),
            0);
  EXPECT_EQ(value, "");
  EXPECT_EQ(platform.CallsTo("RegCloseKey").size(), 1u);
}

TEST_F(AboutTest, SystemInfoStartsTheRecordedProgramOrSaysItIsUnavailable) {
  using Registry = std::map<std::string, std::map<std::string, testing::FakePlatform::Value>>;
  const std::string program = "C:\\Program Files\\Common Files\\MSInfo\\msinfo32.exe";
  struct Case {
    std::string name;
    Registry registry;
    std::set<std::string> files;
    bool startFails;
    std::vector<std::string> outcome;
  };
  const Case cases[] = {
      {"path recorded: started as it is, not looked for",
       {{kInfoKey, {{"PATH", Text(program)}}}},
       {},
       false,
       {"StartProgram(" + program + ",,1)"}},
      {"path recorded but the program cannot start",
       {{kInfoKey, {{"PATH", Text(program)}}}},
       {},
       true,
       {"StartProgram(" + program + ",,1)", kUnavailable}},
      {"path of another kind names no program",
       {{kInfoKey, {{"PATH", {2, Bytes(program + '\0')}}}}},
       {},
       false,
       {kUnavailable}},
      {"a number names no program",
       {{kInfoKey, {{"PATH", {4, {0x2A, 0, 0, 0}}}}}},
       {},
       false,
       {kUnavailable}},
      {"a relative path would be looked for in the current folder",
       {{kInfoKey, {{"PATH", Text("msinfo32.exe")}}}},
       {"msinfo32.exe"},
       false,
       {kUnavailable}},
      {"a relative folder too",
       {{kLocationKey, {{"MSINFO", Text("Tools")}}}},
       {"Tools\\MSINFO32.EXE"},
       false,
       {kUnavailable}},
      {"a drive-relative path too",
       {{kInfoKey, {{"PATH", Text("C:msinfo32.exe")}}}},
       {},
       false,
       {kUnavailable}},
      {"a server's path is whole",
       {{kInfoKey, {{"PATH", Text("\\\\server\\tools\\msinfo32.exe")}}}},
       {},
       false,
       {"StartProgram(\\\\server\\tools\\msinfo32.exe,,1)"}},
      {"folder recorded and holding the program",
       {{kInfoKey, {}}, {kLocationKey, {{"MSINFO", Text("C:\\Tools")}}}},
       {"C:\\Tools\\MSINFO32.EXE"},
       false,
       {"FileExists(C:\\Tools\\MSINFO32.EXE)", "StartProgram(C:\\Tools\\MSINFO32.EXE,,1)"}},
      {"folder recorded with its own backslash",
       {{kLocationKey, {{"MSINFO", Text("C:\\Tools\\")}}}},
       {},
       false,
       {"FileExists(C:\\Tools\\\\MSINFO32.EXE)", kUnavailable}},
      {"folder recorded without the program",
       {{kLocationKey, {{"MSINFO", Text("C:\\Tools")}}}},
       {},
       false,
       {"FileExists(C:\\Tools\\MSINFO32.EXE)", kUnavailable}},
      {"nothing recorded", {}, {}, false, {kUnavailable}},
  };
  for (const Case& c : cases) {
    platform.calls.clear();
    platform.registry = c.registry;
    platform.existingFiles = c.files;
    if (c.startFails)
      platform.startProgramError = RuntimeError(53);
    else
      platform.startProgramError.reset();
    EXPECT_NO_THROW(about.cmdSysInfo.UserClicked()) << c.name;
    EXPECT_THAT(Outcome(), ElementsAreArray(c.outcome)) << c.name;
  }
}

}  // namespace
}  // namespace keyhush
