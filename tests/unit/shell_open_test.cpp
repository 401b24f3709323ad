#include "about/shell_open.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush {
namespace {

using ::testing::ElementsAre;

class ShellOpenTest : public ::testing::Test {
 protected:
  std::string ShellCall(const std::string& file, const std::string& parameters,
                        const std::string& directory, int32_t show) {
    return "ShellExecuteA(" + std::to_string(owner.hWnd()) + ",open," + file + "," + parameters +
           "," + directory + "," + std::to_string(show) + ")";
  }

  testing::FakePlatform platform;
  testing::HeadlessWindows windows{platform.calls};
  Form owner{windows, FormDesign{.caption = "Owner"}};
  ShellMod shell{platform};
};

TEST_F(ShellOpenTest, EmptyDirectoryBecomesTheFolderOfTheFile) {
  struct Case {
    std::string file, directory, expected;
  };
  const Case cases[] = {
      {"C:\\Docs\\a.txt", "", "C:\\Docs\\"},
      {"https://keyhush.example.org/", "", ""},
      {"a.txt", "", ""},
      {"C:\\Docs\\a.txt", "D:\\Work", "D:\\Work"},
      {"\\\\server\\share\\b.doc", "", "\\\\server\\share\\"},
      {"C:\\Docs\\", "", "C:\\Docs\\"},
  };
  for (const Case& c : cases) {
    platform.calls.clear();
    shell.ShellOpenDocument(owner, c.file, "-x", c.directory, 3, -1);
    EXPECT_THAT(platform.CallsTo("ShellExecuteA"),
                ElementsAre(ShellCall(c.file, "-x", c.expected, 3)))
        << c.file << " in '" << c.directory << "'";
  }
}

TEST_F(ShellOpenTest, FailuresRaiseOnlyWhenAskedWithTrue) {
  struct Row {
    intptr_t result;
    int32_t number;  // 0: never raises
    std::string description;
  };
  const Row rows[] = {
      {0, 7, ""},
      {2, 53, ""},
      {3, 76, ""},
      {5, 70, ""},
      {8, 7, ""},
      {11, 321, ""},
      {26, 26, "A Sharing violation occurred."},
      {27, 27, "The filename association is incomplete or invalid."},
      {28, 25, "The DDE transaction could not be completed because the request timed out."},
      {29, 29, "The DDE transaction failed."},
      {30, 30,
       "The DDE transaction could not be completed because other DDE transactions were being "
       "processed."},
      {32, 48, ""},
      {1, 0, ""},
      {4, 0, ""},
      {6, 0, ""},
      {7, 0, ""},
      {9, 0, ""},
      {10, 0, ""},
      {12, 0, ""},
      {20, 0, ""},
      {25, 0, ""},
      {33, 0, ""},
      {-1, 0, ""},
      {-2147483647 - 1, 0, ""},
  };
  for (const Row& row : rows) {
    for (const int16_t raiseErrors : {int16_t{-1}, int16_t{0}, int16_t{1}}) {
      SCOPED_TRACE("result " + std::to_string(row.result) + ", RaiseErrors " +
                   std::to_string(raiseErrors));
      platform.calls.clear();
      platform.shellExecuteResults = {row.result};
      const bool raises = row.number != 0 && raiseErrors == -1;
      try {
        shell.ShellOpenDocument(owner, "C:\\Docs\\a.txt", "", "", 1, raiseErrors);
        EXPECT_FALSE(raises);
      } catch (const RuntimeError& error) {
        EXPECT_TRUE(raises);
        EXPECT_EQ(error.number(), row.number);
        EXPECT_EQ(error.description(), row.description);
      }
      EXPECT_EQ(platform.CallsTo("ShellExecuteA").size(), 1u);
    }
  }
}

TEST_F(ShellOpenTest, NoAssociationOpensOpenWithWhateverRaiseErrorsSays) {
  for (const int16_t raiseErrors : {int16_t{-1}, int16_t{0}, int16_t{1}}) {
    platform.calls.clear();
    // The fallback's own failure is never reported.
    platform.shellExecuteResults = {31, 2};
    EXPECT_NO_THROW(
        shell.ShellOpenDocument(owner, "C:\\My Docs\\a b.xyz", "-p", "", 7, raiseErrors));
    EXPECT_THAT(
        platform.CallsTo("ShellExecuteA"),
        ElementsAre(ShellCall("C:\\My Docs\\a b.xyz", "-p", "C:\\My Docs\\", 7),
                    ShellCall("RUNDLL32.EXE", "shell32.dll,OpenAs_RunDLL C:\\My Docs\\a b.xyz",
                              "C:\\My Docs\\", 7)))
        << "RaiseErrors " << raiseErrors;
  }
}

}  // namespace
}  // namespace keyhush
