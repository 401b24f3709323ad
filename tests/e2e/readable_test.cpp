// Every word of the settings and About windows readable at the display scalings laptops use
// (100 % to 200 %), measured as a user sees it: each control's text drawn in the control's own
// font against the control's client size, each control against its window's client area.
#include "driver.h"

#include <cmath>
#include <sstream>

namespace e2e {
namespace {

// Wine reads the screen's resolution from here when a program starts.
void SetLogPixels(DWORD dpi) {
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD,
                            &dpi, sizeof dpi),
            ERROR_SUCCESS);
}
struct LogPixelsRestored {
  ~LogPixelsRestored() { SetLogPixels(96); }
};

// The fonts the windows declare, by the text of the control that sets its own; every other
// control has the windows' MS Sans Serif 8.25.
struct Look {
  const char* window;
  const char* textStart;  // "" for the settings window's hot-key label, whose text changes
  const char* face;
  double points;
  bool bold, underline;
};
constexpr Look kLooks[] = {
    {"Key hush settings", "Lock the windows", "Arial", 11.25, false, false},
    {"Key hush settings", "", "MS Sans Serif", 8.25, false, true},
    {"About Key hush", "Lock the windows", "Arial", 9.75, false, false},
    {"About Key hush", "Copyright", "MS Sans Serif", 8.25, true, false},
};

Look LookOf(const std::string& window, HWND control, const std::string& text,
            const SettingsWindow* settings) {
  for (const Look& look : kLooks) {
    if (window != look.window) continue;
    const bool hotKeyLabel = settings && control == settings->hotKey;
    if (*look.textStart ? text.rfind(look.textStart, 0) == 0 : hotKeyLabel) return look;
  }
  return {"", "", "MS Sans Serif", 8.25, false, false};
}

// The text's size as DrawText lays it out in that font at `dpi`, within `width` pixels.
SIZE Measure(const std::string& text, const Look& look, int dpi, int width, UINT format) {
  LOGFONTA font{};
  font.lfHeight = -static_cast<LONG>(std::lround(look.points * dpi / 72.0));
  font.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
  font.lfUnderline = look.underline;
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, look.face, LF_FACESIZE);
  const HDC dc = GetDC(nullptr);
  const HFONT handle = CreateFontIndirectA(&font);
  const HGDIOBJ old = SelectObject(dc, handle);
  RECT rect{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), -1, &rect, format | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteObject(handle);
  ReleaseDC(nullptr, dc);
  return {rect.right, rect.bottom};
}

// Every shown child of `form` whose text is not wholly visible or which leaves the client area,
// one line each; empty when all is readable.
std::string Unreadable(HWND form, int dpi, const SettingsWindow* settings) {
  const std::string window = TextOf(form);
  std::ostringstream faults;
  RECT client{};
  GetClientRect(form, &client);
  for (HWND control : Children(form)) {
    const std::string kind = ClassOf(control);
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&place), 2);
    HWND textWindow = control;
    if (kind == "ComboBox") textWindow = FindWindowExA(control, nullptr, "Edit", nullptr);
    const std::string text = TextOf(textWindow);
    if (place.left < 0 || place.top < 0 || place.right > client.right ||
        place.bottom > client.bottom) {
      faults << "\"" << text << "\" (" << kind << ") at " << place.left << "," << place.top
             << " to " << place.right << "," << place.bottom << " leaves the client area "
             << client.right << "x" << client.bottom << "\n";
    }
    if (text.empty()) continue;
    RECT room{};
    GetClientRect(textWindow, &room);
    int width = room.right, height = room.bottom;
    UINT format = DT_SINGLELINE;
    if (kind == "Static") {
      format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    } else if (kind == "Button") {
      const bool checkBox = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
      // A check box's text starts beside its box; a push button's lies within its 3-D edge.
      width -= checkBox ? MulDiv(13, dpi, 96) + 4 : 4;
      height -= checkBox ? 0 : 4;
    }
    const SIZE need = Measure(text, LookOf(window, control, text, settings), dpi, width, format);
    if (need.cx > width || need.cy > height) {
      faults << "\"" << text << "\" (" << kind << ") needs " << need.cx << "x" << need.cy
             << " and has " << width << "x" << height << "\n";
    }
    // Each line of a description stays whole: nothing wraps, so no word is split.
    if (kind == "Static" && text.find('\n') != std::string::npos) {
      std::istringstream lines(text);
      for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const SIZE one = Measure(line, LookOf(window, control, text, settings), dpi, width,
                                 DT_SINGLELINE | DT_NOPREFIX);
        if (one.cx > width) {
          faults << "the line \"" << line << "\" needs " << one.cx << " and has " << width << "\n";
        }
      }
    }
  }
  return faults.str();
}

// Each sentence of a description starts a line of its own.
void ExpectSentencesOnLinesOfTheirOwn(HWND form) {
  const std::string text = TextOf(ChildStartingWith(form, "Lock the windows"));
  for (const char* start : {"\r\nJust choose a hot-key", "\r\nPress the hot key"}) {
    EXPECT_NE(text.find(start), std::string::npos) << TextOf(form) << ": " << text;
  }
}

using Readable = KeyhushTest;

TEST_F(Readable, EveryControlsTextFitsInTheSettingsAndAboutWindowsAtEveryScaling) {
  LogPixelsRestored restored;
  // Another program holds Win + X, so that the hot-key label shows its longest text and the
  // settings window comes up by itself.
  constexpr int kHeld = 0xB003;
  ASSERT_TRUE(RegisterHotKey(nullptr, kHeld, MOD_WIN, 'X'));
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    ASSERT_NO_FATAL_FAILURE(SetLogPixels(dpi));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    HWND form = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<HWND> shown = ShownWindows(keyhush.Id(), kSettingsWindow);
      form = shown.empty() ? nullptr : shown.front();
      return form && GetForegroundWindow() == form;
    }));
    const SettingsWindow settings(form);
    ASSERT_TRUE(settings.Complete());
    EXPECT_EQ(settings.HotKeyText(), "Win Button X (unavailable)");
    RECT client{};
    GetClientRect(form, &client);
    EXPECT_EQ(client.right, MulDiv(6255, dpi, 1440)) << "the program does not run at " << dpi;
    EXPECT_EQ(Unreadable(form, dpi, &settings), "");
    ExpectSentencesOnLinesOfTheirOwn(form);
    if (dpi == 144) Photograph(form, "settings-window-144dpi");

    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(settings.about)));
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      const std::vector<HWND> shown = ShownWindows(keyhush.Id(), "About Key hush");
      about = shown.empty() ? nullptr : shown.front();
      return about && ChildStartingWith(about, "Version 1") && GetForegroundWindow() == about;
    }));
    EXPECT_EQ(Unreadable(about, dpi, nullptr), "");
    ExpectSentencesOnLinesOfTheirOwn(about);
    if (dpi == 144) Photograph(about, "about-window-144dpi");
    keyhush.Terminate();
    ASSERT_NO_FATAL_FAILURE(SweepAwayIconsOfEndedPrograms());
  }
  UnregisterHotKey(nullptr, kHeld);
}

}  // namespace
}  // namespace e2e
