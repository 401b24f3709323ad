#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/program.h"
#include "fakes/fake_platform.h"
#include "fakes/headless_windows.h"

namespace keyhush::testing {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The whole program on the recording fake, its windows headless; both log into `platform.calls`.
struct Rig {
  FakePlatform platform;
  HeadlessWindows windows{platform.calls};
  Program program{platform, windows};
};

struct ProgramTest : ::testing::Test, Rig {};

// The calls that start with any of `prefixes`, joined by " | ", for one-line expectations.
inline std::string Calls(const FakePlatform& platform,
                         std::initializer_list<std::string> prefixes) {
  std::string joined;
  for (const std::string& call : platform.calls)
    for (const std::string& prefix : prefixes)
      if (call.starts_with(prefix)) joined += (joined.empty() ? "" : " | ") + call;
  return joined;
}

// A 32-bit little-endian field of a tray icon record, and its tip up to the NUL (if any).
inline uint32_t Field(const NotifyIconRecord& record, size_t offset) {
  return record[offset] | record[offset + 1] << 8 | record[offset + 2] << 16 |
         static_cast<uint32_t>(record[offset + 3]) << 24;
}
inline std::string Tip(const NotifyIconRecord& record) {
  return {record.begin() + 24, std::find(record.begin() + 24, record.end(), 0)};
}

}  // namespace keyhush::testing
