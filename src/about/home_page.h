#pragma once

namespace keyhush {

// The makers' web page: the About window shows it and opens it on a click.
inline constexpr const char* kHomePage = "https://keyhush.example.org/";

}  // namespace keyhush
