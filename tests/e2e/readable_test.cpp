// Every word of the settings, new hot key and About windows readable at 100 % to 200 % scaling:
// each text fits its control, which lies within the window. At 150 %, the README's pictures.
#include <cmath>
#include <sstream>

#include "driver.h"

namespace e2e {

// Every child of `form` not wholly readable, one line each: its text as DrawText lays it out in the
// control's font, which is Arial for the description (11.25 points in the settings window, 9.75 in
// About), bold for the notice, and MS Sans Serif 8.25 for every other text. No label wraps but
// where a run of blanks asks it to, so no word is split and each sentence keeps its own line.
static std::string Unreadable(HWND form, int dpi) {
  const HDC dc = GetDC(nullptr);
  std::ostringstream faults;
  RECT client{}, place{}, room{}, within{};
  GetClientRect(form, &client);
  for (HWND control : Children(form)) {
    const std::string kind = ClassOf(control);
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&place), 2);
    const HWND inner =
        kind == "ComboBox" ? FindWindowExA(control, nullptr, "Edit", nullptr) : control;
    const std::string text = TextOf(inner);
    IntersectRect(&within, &place, &client);
    if (!EqualRect(&within, &place)) faults << "\"" << text << "\" leaves the client area\n";
    GetClientRect(inner, &room);
    // A check box's text starts beside its box; a push button's lies within its 3-D edge.
    const bool checkBox = (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    const int width = room.right - (kind != "Button" ? 0 : checkBox ? MulDiv(13, dpi, 96) + 4 : 4);
    const int height = room.bottom - (kind == "Button" && !checkBox ? 4 : 0);
    const UINT label =
        DT_EXPANDTABS | DT_NOPREFIX | (text.find("  ") != std::string::npos ? DT_WORDBREAK : 0);
    const bool description = text.starts_with("Lock the");
    const double points = !description ? 8.25 : TextOf(form) == kSettingsWindow ? 11.25 : 9.75;
    LOGFONTA font{-static_cast<LONG>(std::lround(points * dpi / 72.0)), 0, 0, 0,
                  text.starts_with("Copyright") ? FW_BOLD : FW_NORMAL};
    lstrcpynA(font.lfFaceName, description ? "Arial" : "MS Sans Serif", LF_FACESIZE);
    const HGDIOBJ old = SelectObject(dc, CreateFontIndirectA(&font));
    RECT need{0, 0, width, 0};
    DrawTextA(dc, text.c_str(), -1, &need,
              (kind == "Static" ? label : DT_SINGLELINE) | DT_CALCRECT);
    DeleteObject(SelectObject(dc, old));
    if (!text.empty() && (need.right > width || need.bottom > height))
      faults << "\"" << text << "\" needs " << need.right << "x" << need.bottom << " in " << width
             << "x" << height << "\n";
  }
  ReleaseDC(nullptr, dc);
  return faults.str();
}

using Readable = KeyhushTest;

TEST_F(Readable, EveryControlsTextFitsInEveryWindowAtEveryScaling) {
  // Another program holds Win + X, so that the hot-key label shows its longest text and the
  // settings window comes up by itself, ticked as saved; the refusal saves nothing.
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB003, MOD_WIN, 'X'));
  SetString(kStartupSettings, "startup", "true");
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(std::to_string(dpi) + " DPI");
    ASSERT_NO_FATAL_FAILURE(SetLogPixels(dpi));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    const SettingsWindow settings{ShownWindow(keyhush.Id(), kSettingsWindow)};
    ASSERT_TRUE(settings.form && TakesInput(settings.form)) << "a refused hot key showed nothing";
    EXPECT_EQ(TextOf(settings.hotKey), "Win Button X (unavailable)");
    EXPECT_TRUE(settings.Ticked());
    EXPECT_FALSE(ReadString(kHotKeySettings, "modifier"));
    EXPECT_EQ(Unreadable(settings.form, dpi), "");
    if (dpi == 144) Photograph(settings.form, "settings-window");
    // The new hot key's window, with its longest reason.
    const NewHotKeyWindow newHotKey = OpenNewHotKey(settings);
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_SHIFT, VK_OEM_3));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(newHotKey.reason).starts_with("Shift alone"); }));
    EXPECT_EQ(Unreadable(newHotKey.form, dpi), "");
    if (dpi == 144) Photograph(newHotKey.form, "new-hot-key-window");
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(newHotKey.form) && TakesInput(settings.form); }));
    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(settings.about)));
    const HWND about = ShownWindow(keyhush.Id(), kAboutWindow);
    ASSERT_TRUE(about && TakesInput(about));
    EXPECT_EQ(Unreadable(about, dpi), "");
    // The icon fills its box: something of it shows in the box's lower right quarter.
    RECT box{};
    GetWindowRect(FindWindowExA(about, nullptr, "KeyhushPicture", nullptr), &box);
    const HDC screen = GetDC(nullptr);
    bool drawn = false;
    for (LONG y = (box.top + box.bottom) / 2; y < box.bottom; ++y)
      for (LONG x = (box.left + box.right) / 2; x < box.right; ++x)
        drawn |= GetPixel(screen, x, y) != GetSysColor(COLOR_BTNFACE);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(drawn) << "the icon is smaller than its box of " << box.right - box.left;
    if (dpi == 144) Photograph(about, "about-window");
    keyhush.Terminate();
  }
}

}  // namespace e2e
