#include "about/shell_open.h"

#include "about/frm_about.h"

#include "program_fixture.h"

namespace keyhush::testing {
namespace {

// The About window stands for any owner.
struct ShellOpenTest : ProgramTest {
  ShellOpenTest() {
    owner.Load();
    platform.calls.clear();
  }
  std::string Call(const std::string& file, const std::string& parameters,
                   const std::string& directory, int32_t show) {
    return "ShellExecuteA(256,open," + file + "," + parameters + "," + directory + "," +
           std::to_string(show) + ")";
  }
  Form& owner = program.aboutWindow();
  ShellMod shell{platform};
};

TEST_F(ShellOpenTest, AnEmptyDirectoryBecomesTheFolderOfTheFile) {
  for (auto [file, directory, expected] : {std::tuple{"C:\\Docs\\a.txt", "", "C:\\Docs\\"},
                                           {"https://x.example/", "", ""},
                                           {"a.txt", "", ""},
                                           {"C:\\Docs\\a.txt", "D:\\Work", "D:\\Work"},
                                           {"\\\\server\\share\\b.doc", "", "\\\\server\\share\\"},
                                           {"C:\\Docs\\", "", "C:\\Docs\\"}}) {
    platform.calls.clear();
    shell.ShellOpenDocument(owner, file, "-x", directory, 3, -1);
    EXPECT_THAT(platform.calls, ElementsAre(Call(file, "-x", expected, 3))) << file << directory;
  }
}

TEST_F(ShellOpenTest, FailuresRaiseTheirErrorOnlyWhenAskedWithTrue) {
  // The shell's result, the error it raises (0: none) and its description (empty: the standard).
  std::vector<std::tuple<intptr_t, int32_t, std::string>> rows = {
      {0, 7, ""}, {2, 53, ""}, {3, 76, ""}, {5, 70, ""}, {8, 7, ""}, {11, 321, ""}, {32, 48, ""}};
  for (auto [result, number, description] :
       {std::tuple{26, 26, "A Sharing violation occurred."},
        {27, 27, "The filename association is incomplete or invalid."},
        {28, 25, "The DDE transaction could not be completed because the request timed out."},
        {29, 29, "The DDE transaction failed."},
        {30, 30,
         "The DDE transaction could not be completed because other DDE transactions "
         "were being processed."}})
    rows.push_back({result, number, description});
  for (intptr_t result : {1, 4, 6, 7, 9, 10, 12, 20, 25, 33, -1, -2147483647 - 1})
    rows.push_back({result, 0, ""});
  for (const auto& [result, number, description] : rows) {
    for (const int16_t raiseErrors : {int16_t{-1}, int16_t{0}, int16_t{1}}) {
      SCOPED_TRACE(std::to_string(result) + " raising " + std::to_string(raiseErrors));
      platform.shellExecuteResults = {result};
      try {
        shell.ShellOpenDocument(owner, "C:\\Docs\\a.txt", "", "", 1, raiseErrors);
        EXPECT_FALSE(number != 0 && raiseErrors == -1);
      } catch (const RuntimeError& error) {
        EXPECT_EQ(raiseErrors, -1);
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.description(), description);
      }
    }
  }
}

TEST_F(ShellOpenTest, NoAssociationOpensOpenWithWhateverRaiseErrorsSays) {
  for (const int16_t raiseErrors : {int16_t{-1}, int16_t{0}, int16_t{1}}) {
    platform.calls.clear();
    platform.shellExecuteResults = {31, 2};  // the fallback's own failure is never reported
    EXPECT_NO_THROW(
        shell.ShellOpenDocument(owner, "C:\\My Docs\\a b.xyz", "-p", "", 7, raiseErrors));
    EXPECT_THAT(platform.calls,
                ElementsAre(Call("C:\\My Docs\\a b.xyz", "-p", "C:\\My Docs\\", 7),
                            Call("RUNDLL32.EXE", "shell32.dll,OpenAs_RunDLL C:\\My Docs\\a b.xyz",
                                 "C:\\My Docs\\", 7)));
  }
}

}  // namespace
}  // namespace keyhush::testing
