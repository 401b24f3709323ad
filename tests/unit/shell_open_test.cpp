#include "about/shell_open.h"

#include <gtest/gtest.h>

#include "about/frm_about.h"
#include "app/program.h"
#include "fakes/fake_platform.h"
#include "runtime/error.h"

namespace keyhush::testing {
namespace {

// Each shell failure and the error it raises (0: none), with its description (empty: the
// standard one), only when asked to with -1 (True). With nothing associated (31) the Open With
// dialog comes from the system folder's rundll32, started by its path, never found by name.
TEST(ShellOpen, FailuresRaiseTheirErrorOnlyWhenAskedWithTrue) {
  const std::vector<std::string> openWith = {
      "StartProgram(C:\\windows\\system32\\rundll32.exe,shell32.dll,OpenAs_RunDLL C:\\a.txt,1)"};
  FakePlatform platform;
  HeadlessWindows windows;
  Program program{platform, windows};
  std::vector<std::tuple<intptr_t, int32_t, std::string>> rows = {
      {26, 26, "A Sharing violation occurred."},
      {27, 27, "The filename association is incomplete or invalid."},
      {28, 25, "The DDE transaction could not be completed because the request timed out."},
      {29, 29, "The DDE transaction failed."},
      {30, 30,
       "The DDE transaction could not be completed because other DDE transactions were being "
       "processed."}};
  for (auto [result, number] :
       {std::pair{0, 7}, {2, 53}, {3, 76}, {5, 70}, {8, 7},  {11, 321},     {32, 48},
        {1, 0},          {4, 0},  {6, 0},  {7, 0},  {9, 0},  {10, 0},       {12, 0},
        {20, 0},         {25, 0}, {31, 0}, {33, 0}, {-1, 0}, {INT32_MIN, 0}})
    rows.push_back({result, number, ""});
  for (const auto& [result, number, description] : rows) {
    for (const int16_t raiseErrors : {int16_t{-1}, int16_t{0}, int16_t{1}}) {
      SCOPED_TRACE(std::to_string(result) + " raising " + std::to_string(raiseErrors));
      platform.calls.clear();
      platform.shellExecuteResults = {result, 42};
      try {
        ShellMod(platform).ShellOpenDocument(program.aboutWindow(), "C:\\a.txt", "", "", 1,
                                             raiseErrors);
        EXPECT_FALSE(number != 0 && raiseErrors == -1);
      } catch (const RuntimeError& error) {
        EXPECT_EQ(raiseErrors, -1);
        EXPECT_EQ(error.number(), number);
        EXPECT_EQ(error.text(platform),
                  description.empty() ? platform.Text(StandardDescriptionId(number)) : description);
      }
      EXPECT_EQ(platform.CallsTo("StartProgram"), result == 31 ? openWith : decltype(openWith){});
      EXPECT_EQ(platform.CallsTo("ShellExecuteA").size(), 1u);
    }
  }
}

}  // namespace
}  // namespace keyhush::testing
