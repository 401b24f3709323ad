// Every window in the user's language, and every word of it readable: each control shows its text
// of that language's table and fits it, lying within the window, in English and the longest
// language at 100 % to 200 % scaling, in every other language at one. At 150 %, the README's
// pictures. Under a language Key hush has not, English. The language is the driver's Unix locale
// (LANG): ctest runs this test once more in each (tests/e2e/CMakeLists.txt).
#include <cmath>
#include <map>
#include <sstream>

#include "driver.h"
#include "text_ids.h"

namespace e2e {

struct Face {
  const char* name = "MS Sans Serif";
  double points = 8.25;
  bool bold = false;
};

// Every child of `form` not wholly readable, one line each: its text as DrawText lays it out in the
// control's font (by control id in `faces`, else MS Sans Serif 8.25; Japanese, Korean and Chinese
// in the dialog font). No label wraps but where a run of blanks asks it to, so no word is split and
// each sentence keeps its own line.
static std::string Unreadable(HWND form, int dpi, bool eastAsian, std::map<int, Face> faces = {}) {
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
    const Face face = faces[GetDlgCtrlID(control)];
    LOGFONTW font{-static_cast<LONG>(std::lround(face.points * dpi / 72.0)), 0, 0, 0,
                  face.bold ? FW_BOLD : FW_NORMAL};
    lstrcpynW(font.lfFaceName, Wide(eastAsian ? "MS Shell Dlg" : face.name).c_str(), LF_FACESIZE);
    const HGDIOBJ old = SelectObject(dc, CreateFontIndirectW(&font));
    RECT need{0, 0, width, 0};
    DrawTextW(dc, Wide(text).c_str(), -1, &need,
              (kind == "Static" ? label : DT_SINGLELINE) | DT_CALCRECT);
    DeleteObject(SelectObject(dc, old));
    if (!text.empty() && (need.right > width || need.bottom > height))
      faults << "\"" << text << "\" needs " << need.right << "x" << need.bottom << " in " << width
             << "x" << height << "\n";
  }
  ReleaseDC(nullptr, dc);
  return faults.str();
}

// The controls of `form`, each id followed by the id of the text it shows.
static void ExpectTexts(HWND form, LANGID language, std::vector<int> texts) {
  for (size_t i = 0; i + 1 < texts.size(); i += 2)
    EXPECT_EQ(TextOf(GetDlgItem(form, texts[i])), ProgramText(language, texts[i + 1])) << texts[i];
}

// By the driver's locale: the table Key hush must show (English where it has none), and the
// scaling (DPI), 0 for all four.
struct Language {
  std::string locale;
  LANGID table;
  int dpi;
};
static const Language kLanguages[] = {
    {"de_DE", 0x0407, 0},   {"ja_JP", 0x0411, 144}, {"fr_FR", 0x040C, 120}, {"es_ES", 0x0C0A, 120},
    {"it_IT", 0x0410, 120}, {"pt_BR", 0x0416, 120}, {"ko_KR", 0x0412, 120}, {"ru_RU", 0x0419, 120},
    {"zh_CN", 0x0804, 120}, {"zh_TW", 0x0404, 120}, {"nl_NL", 0x0409, 96}};

using Readable = KeyhushTest;

TEST_F(Readable, EveryWindowShowsTheUsersLanguageAndEveryWordFitsAtEveryScaling) {
  const std::string locale = Environment("LANG").substr(0, 5);
  const auto* known = std::ranges::find(kLanguages, locale, &Language::locale);
  const auto& [name, table, only] =
      known != std::end(kLanguages) ? *known : Language{"English", 0x0409, 0};
  const auto text = [&](int id) { return ProgramText(table, id); };
  const bool eastAsian = table == 0x0411 || table == 0x0412 || (table & 0x3FF) == 0x04;
  // The pictures: English for the README's first ones, German and Japanese beside them.
  const std::string pictured = name == "English" ? "" : "-" + name.substr(0, 2);
  // Another program holds Win + X, so that the hot-key label shows its longest text and the
  // settings window comes up by itself, ticked as saved; the refusal saves nothing.
  ASSERT_TRUE(RegisterHotKey(nullptr, 0xB003, MOD_WIN, 'X'));
  for (const int dpi : only ? std::vector{only} : std::vector{96, 120, 144, 192}) {
    SCOPED_TRACE(name + " at " + std::to_string(dpi) + " DPI");
    ASSERT_NO_FATAL_FAILURE(RemoveProgramSettings());
    SetString(kStartupSettings, "startup", "true");
    ASSERT_NO_FATAL_FAILURE(SetLogPixels(dpi));
    ASSERT_NO_FATAL_FAILURE(keyhush.Start());
    const bool photographed =
        dpi == 144 && (pictured.empty() || pictured == "-de" || pictured == "-ja");
    const SettingsWindow settings{ShownWindow(keyhush.Id(), text(IDS_SETTINGS_CAPTION))};
    ASSERT_TRUE(settings.form && TakesInput(settings.form)) << "a refused hot key showed nothing";
    ExpectTexts(settings.form, table,
                {100, IDS_DESCRIPTION,    101, IDS_SETTINGS_OK,     104, IDS_CURRENT_HOT_KEY,
                 105, IDS_SELECT_HOT_KEY, 106, IDS_SETTINGS_CANCEL, 107, IDS_SETTINGS_EXIT,
                 108, IDS_START_AT_LOGON, 109, IDS_SETTINGS_ABOUT,  111, IDS_SETTINGS_OTHER,
                 113, IDS_DISPLAYS_OFF});
    EXPECT_EQ(TextOf(settings.hotKey), text(IDS_MOD_WIN) + " X" + text(IDS_UNAVAILABLE));
    EXPECT_TRUE(Ticked(settings.check));
    EXPECT_FALSE(ReadString(kHotKeySettings, "modifier"));
    EXPECT_EQ(Unreadable(settings.form, dpi, eastAsian, {{100, {"Arial", 11.25}}}), "");
    if (photographed) Photograph(settings.form, "settings-window" + pictured);
    // The new hot key's window, with its longest reason.
    const NewHotKeyWindow newHotKey = OpenNewHotKey(settings, text(IDS_NEW_CAPTION));
    ASSERT_NO_FATAL_FAILURE(PressHotKey(MOD_SHIFT, VK_OEM_3));
    ASSERT_TRUE(
        WaitUntil([&] { return TextOf(newHotKey.reason) == text(IDS_REFUSE_SHIFT_ALONE); }));
    EXPECT_EQ(TextOf(newHotKey.hotKey), text(IDS_MOD_SHIFT) + " + Backquote");
    ExpectTexts(newHotKey.form, table, {100, IDS_NEW_PROMPT, 103, IDS_NEW_OK, 104, IDS_NEW_CANCEL});
    EXPECT_EQ(Unreadable(newHotKey.form, dpi, eastAsian), "");
    if (photographed) Photograph(newHotKey.form, "new-hot-key-window" + pictured);
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(newHotKey.form) && TakesInput(settings.form); }));
    // About, from the tray menu in this language.
    ASSERT_NO_FATAL_FAILURE(OpenTrayMenu());
    if (photographed && !pictured.empty())
      Photograph(FindWindowA("#32768", nullptr), "tray-menu" + pictured);
    // Its access key where the keyboard types it (a US one), else the first item.
    const unsigned char key = text(IDS_MENU_ABOUT)[text(IDS_MENU_ABOUT).find('&') + 1];
    for (WORD tap :
         key < 0x80 ? std::vector<WORD>{WORD(toupper(key))} : std::vector<WORD>{VK_DOWN, VK_RETURN})
      ASSERT_NO_FATAL_FAILURE(TapKey(tap));
    std::string caption = text(IDS_ABOUT_CAPTION);
    const HWND about =
        ShownWindow(keyhush.Id(), caption.replace(caption.find("%1"), 2, "Key hush"));
    ASSERT_TRUE(about && TakesInput(about));
    ExpectTexts(about, table, {101, IDS_ABOUT_OK, 102, IDS_ABOUT_SYSINFO, 105, IDS_DESCRIPTION});
    std::string version = text(IDS_ABOUT_VERSION);
    EXPECT_EQ(TextOf(GetDlgItem(about, 107)), version.replace(version.find("%1"), 2, "1.0.0"));
    EXPECT_EQ(Unreadable(about, dpi, eastAsian,
                         {{105, {"Arial", 9.75}}, {108, {"MS Sans Serif", 8.25, true}}}),
              "");
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
    if (photographed) Photograph(about, "about-window" + pictured);
    // A choice from the list saves what it saves in English.
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_ESCAPE));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about) && TakesInput(settings.form); }));
    ASSERT_NO_FATAL_FAILURE(ClickAt(CentreOf(settings.combo)));
    ASSERT_NO_FATAL_FAILURE(TapKey(VK_DOWN));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(settings.hotKey) == text(IDS_MOD_CTRL) + " Y"; }))
        << TextOf(settings.hotKey);
    EXPECT_EQ(TextOf(settings.combo), text(IDS_MOD_CTRL) + " + Y");
    EXPECT_EQ(ReadString(kHotKeySettings, "modifier").value_or("") + "|" +
                  ReadString(kHotKeySettings, "currentkey").value_or(""),
              "Ctrl|Y");
    keyhush.Terminate();
  }
}

}  // namespace e2e
