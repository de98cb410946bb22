// The dialog templates, control for control, as the running dialogs show them.
#include "dialog_driver.h"

#include <commctrl.h>

namespace {

// A note is left text that stays hidden until the dialog has something to say with it.
enum Kind { Group, TimeList, Left, OneLine, Right, Check, Number, TextEdit, Slider, Push, Icon, Note, RowList, Arrows };

struct Expected {
  int id;
  Kind kind;
  int x, y, width, height;
  const char* text;
};

const Expected SettingsControls[] = {
    {114, Group, 5, 5, 125, 129, "Start playing at:"},
    {25, TimeList, 11, 16, 30, 30, "0"},
    {116, Left, 43, 21, 8, 8, "h."},
    {26, TimeList, 53, 16, 30, 30, "0"},
    {118, Left, 85, 21, 10, 8, "m."},
    {4, Check, 11, 32, 36, 10, "Enable"},
    {5, Check, 11, 43, 75, 10, "Disable after start"},
    {6, Check, 11, 54, 37, 10, "FadeIn"},
    {7, Check, 11, 65, 61, 10, "Random track"},
    {19, Check, 11, 76, 110, 10, "Random track from range:"},
    {200, Left, 11, 95, 17, 8, "from"},
    {42, Number, 30, 90, 30, 13, "1"},
    {201, Left, 62, 95, 9, 8, "to"},
    {43, Number, 73, 90, 30, 13, "1"},
    {8, Check, 11, 109, 63, 10, "Only one track"},
    {9, Check, 11, 120, 99, 10, "Activate Winamp window"},
    {119, Group, 135, 5, 125, 129, "Stop playing at:"},
    {27, TimeList, 141, 16, 30, 30, "0"},
    {121, Left, 173, 21, 8, 8, "h."},
    {28, TimeList, 183, 16, 30, 30, "0"},
    {123, Left, 215, 21, 10, 8, "m."},
    {10, Check, 141, 32, 36, 10, "Enable"},
    {11, Check, 141, 43, 74, 10, "Disable after stop"},
    {12, Check, 141, 54, 43, 10, "FadeOut"},
    {23, Check, 141, 65, 85, 10, "Use \"Pause\" for stop"},
    {22, Check, 141, 76, 84, 10, "Wait for end of track"},
    {13, Check, 141, 87, 62, 10, "Close Winamp"},
    {14, Check, 141, 98, 76, 10, "Standby computer"},
    {21, Check, 141, 109, 82, 10, "Hibernate computer"},
    {15, Check, 141, 120, 82, 10, "Shutdown computer"},
    {224, Group, 5, 135, 255, 53, "Volume settings:"},
    {525, Left, 10, 147, 32, 8, "Start:"},
    {526, Left, 10, 160, 32, 8, "End:"},
    {527, Left, 10, 173, 32, 8, "Timeout:"},
    {29, Slider, 44, 146, 188, 11, ""},
    {30, Slider, 44, 159, 188, 11, ""},
    {31, Slider, 44, 172, 188, 11, ""},
    {32, Right, 235, 147, 20, 8, "0%"},
    {33, Right, 235, 160, 20, 8, "100%"},
    {34, Right, 235, 173, 20, 8, "1000"},
    {340, Group, 5, 189, 255, 108, "Additional:"},
    {16, Check, 11, 201, 126, 10, "Start playing at Winamp startup"},
    {24, Check, 23, 212, 114, 10, "Use \"Start playing at\" options"},
    {20, Check, 23, 223, 89, 10, "Restore track position"},
    {3, Check, 11, 234, 105, 10, "Stop after end of last track"},
    {41, Check, 11, 245, 125, 10, "Run Winamp at Windows startup"},
    {17, Check, 11, 256, 129, 10, "Show settings when pressing F12"},
    {18, Check, 11, 267, 139, 10, "Insert item in Winamp context menu"},
    {35, Left, 11, 281, 36, 8, "Item text:"},
    {36, TextEdit, 49, 279, 54, 13, "Dawnbell..."},
    {37, Left, 106, 281, 32, 8, "Position:"},
    {44, Number, 141, 279, 20, 13, "5"},
    {2, Push, 182, 301, 78, 13, "OK"},
    {40, Push, 5, 301, 78, 13, "About..."},
    {53, Left, 141, 201, 42, 8, "Alarm days:"},
    {46, Check, 141, 212, 30, 10, "Mon"},
    {47, Check, 141, 223, 30, 10, "Tue"},
    {48, Check, 141, 234, 30, 10, "Wed"},
    {49, Check, 141, 245, 30, 10, "Thu"},
    {50, Check, 176, 212, 30, 10, "Fri"},
    {51, Check, 176, 223, 30, 10, "Sat"},
    {45, Check, 176, 234, 30, 10, "Sun"},
    {52, Check, 141, 256, 100, 10, "Wake computer for alarm"},
    {54, Note, 153, 267, 80, 8, "(not supported here)"},
    {55, Push, 93, 301, 80, 13, "Alarm clock..."},  // between "About..." and OK
};

const Expected AlarmClockControls[] = {
    {60, Left, 7, 7, 226, 16, nullptr},  // the next alarm: depends on the clock
    {67, Left, 7, 25, 226, 8, "Sleep timer: off"},
    {77, Left, 7, 36, 226, 24, ""},  // nothing stands in the way
    {68, RowList, 7, 63, 170, 68, ""},
    {69, Push, 183, 63, 50, 13, "Add..."},
    {70, Push, 183, 80, 50, 13, "Edit..."},
    {71, Push, 183, 97, 50, 13, "Remove"},
    {64, Left, 7, 141, 180, 8, "Snooze for (minutes):"},
    {61, Number, 193, 139, 40, 13, "9"},
    {65, Left, 7, 158, 180, 8, "Stop an unanswered alarm after (minutes):"},
    {62, Number, 193, 156, 40, 13, "60"},
    {66, Left, 7, 173, 226, 8, "Snooze 0: Pause ends the alarm. Stop after 0: never."},
    {63, Check, 7, 186, 226, 10, "Sound a tone if the player stays silent"},
    {74, Left, 7, 203, 180, 8, "Raise the computer's volume to at least (%):"},
    {72, Number, 193, 201, 40, 13, "30"},
    {75, Left, 7, 218, 226, 8, "0: leave it alone"},
    {73, Check, 7, 230, 226, 10, "Show a window with Snooze and Stop while the alarm rings"},
    {1, Push, 183, 246, 50, 13, "OK"},
    {76, Push, 7, 246, 120, 13, "Sleep and wake in 2 minutes"},
};

// Opened by Add: a new alarm's 07:00.
const Expected AlarmControls[] = {
    {80, TimeList, 7, 7, 30, 30, "7"},
    {98, Left, 39, 12, 8, 8, "h."},
    {81, TimeList, 49, 7, 30, 30, "0"},
    {99, Left, 81, 12, 10, 8, "m."},
    {83, Check, 7, 26, 30, 10, "Mon"},
    {84, Check, 38, 26, 30, 10, "Tue"},
    {85, Check, 69, 26, 30, 10, "Wed"},
    {86, Check, 100, 26, 30, 10, "Thu"},
    {87, Check, 131, 26, 30, 10, "Fri"},
    {88, Check, 162, 26, 30, 10, "Sat"},
    {82, Check, 193, 26, 30, 10, "Sun"},
    {89, Check, 7, 42, 40, 10, "On"},
    {130, Left, 55, 42, 26, 8, "Label:"},
    {95, TextEdit, 83, 40, 140, 13, ""},
    {90, Check, 7, 55, 120, 10, "Ring once, then switch off"},
    {131, Left, 135, 57, 50, 8, "Volume (%):"},
    {96, Number, 187, 55, 24, 13, ""},  // empty: the end volume
    {132, Arrows, 212, 55, 11, 13, nullptr},
    {109, Left, 7, 72, 26, 8, "Music:"},
    {91, TextEdit, 35, 70, 107, 13, ""},
    {92, Push, 145, 70, 38, 13, "File..."},
    {93, Push, 185, 70, 38, 13, "Folder..."},
    {108, Left, 7, 86, 216, 8, "Empty: the player's own playlist, as always."},
    {97, Left, 7, 100, 216, 8, nullptr},  // when it rings: depends on the clock
    {1, Push, 117, 114, 50, 13, "OK"},
    {2, Push, 173, 114, 50, 13, "Cancel"},
    {94, Push, 7, 114, 50, 13, "Test"},
};

const Expected AboutControls[] = {
    {1, Icon, 5, 3, 21, 20, nullptr},  // names icon 1, checked below
    {2, Left, 32, 5, 104, 8, "Dawnbell Winamp Plug-in"},
    {3, Left, 32, 16, 55, 8, "Version: 2.3.2"},
    {4, Left, 32, 27, 148, 8, nullptr},  // the maker's notice: any text
    {5, OneLine, 32, 38, 148, 8, "Visit Dawnbell Winamp Plug-in homepage"},
    {7, Push, 130, 52, 50, 13, "OK"},
};

// Skips a name-or-number field of a dialog template.
const WORD* SkipField(const WORD* p) {
  if (*p == 0xFFFF) return p + 2;
  while (*p) ++p;
  return p + 1;
}

const WORD* AlignDword(const WORD* p) {
  return reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~UINT_PTR(3));
}

// The height a control has in the template itself, in dialog units; -1 when not found.
int TemplateHeight(HMODULE module, int dialogId, int controlId) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
  if (!found) return -1;
  const auto* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
  const WORD* p = reinterpret_cast<const WORD*>(dialog + 1);
  p = SkipField(SkipField(SkipField(p)));  // menu, class, caption
  if (dialog->style & DS_SETFONT) p = SkipField(p + 1);
  for (int i = 0; i < dialog->cdit; ++i) {
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(AlignDword(p));
    if (item->id == controlId) return item->cy;
    p = SkipField(SkipField(reinterpret_cast<const WORD*>(item + 1)));  // class, text
    p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p + 1) + *p);  // extra data
  }
  return -1;
}

const char* ClassOf(Kind kind) {
  switch (kind) {
    case Group: case Check: case Push: return "Button";
    case TimeList: return "ComboBox";
    case RowList: return "ListBox";
    case Left: case OneLine: case Right: case Icon: case Note: return "Static";
    case Number: case TextEdit: return "Edit";
    case Slider: return "msctls_trackbar32";
    case Arrows: return "msctls_updown32";
  }
  return "";
}

// The dialog manager maps a control's corner and its size, each on its own.
RECT DialogRect(HWND dialog, int x, int y, int width, int height) {
  RECT corner = {x, y, width, height};
  MapDialogRect(dialog, &corner);
  return RECT{corner.left, corner.top, corner.left + corner.right, corner.top + corner.bottom};
}

RECT PlaceOf(HWND dialog, HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(NULL, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
  if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "expected " << expected.left << "," << expected.top << "-" << expected.right << ","
         << expected.bottom << " got " << actual.left << "," << actual.top << "-" << actual.right
         << "," << actual.bottom;
}

void CheckStyle(HWND control, Kind kind) {
  DWORD style = GetWindowLongA(control, GWL_STYLE);
  DWORD ex = GetWindowLongA(control, GWL_EXSTYLE);
  bool border = (style & WS_BORDER) || (ex & WS_EX_CLIENTEDGE);
  bool tabStop = kind != Group && kind != Left && kind != OneLine && kind != Right && kind != Icon &&
                 kind != Note && kind != Arrows;
  EXPECT_EQ(tabStop, (style & WS_TABSTOP) != 0);
  EXPECT_EQ(kind != Note, (style & WS_VISIBLE) != 0);
  switch (kind) {
    case Group: EXPECT_EQ(DWORD(BS_GROUPBOX), style & BS_TYPEMASK); break;
    case Check: EXPECT_EQ(DWORD(BS_AUTOCHECKBOX), style & BS_TYPEMASK); break;
    case Push: EXPECT_EQ(DWORD(BS_PUSHBUTTON), style & BS_TYPEMASK); break;
    case TimeList:
      EXPECT_EQ(DWORD(CBS_DROPDOWNLIST), style & 3);
      EXPECT_FALSE(style & CBS_SORT);
      {
        // The combo box hands its scroll bar on to its list.
        COMBOBOXINFO info = {sizeof info};
        ASSERT_TRUE(GetComboBoxInfo(control, &info));
        EXPECT_TRUE(GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL);
      }
      break;
    case Left: case Note: EXPECT_EQ(DWORD(SS_LEFT), style & SS_TYPEMASK); break;
    case OneLine: EXPECT_EQ(DWORD(SS_LEFTNOWORDWRAP), style & SS_TYPEMASK); break;
    case Right: EXPECT_EQ(DWORD(SS_RIGHT), style & SS_TYPEMASK); break;
    case Icon: EXPECT_EQ(DWORD(SS_ICON), style & SS_TYPEMASK); break;
    case Number:
    case TextEdit:
      EXPECT_EQ(kind == Number, (style & ES_NUMBER) != 0);
      EXPECT_TRUE(style & ES_AUTOHSCROLL);
      EXPECT_FALSE(style & ES_MULTILINE);
      EXPECT_TRUE(border);
      break;
    case RowList:
      EXPECT_TRUE(style & LBS_NOTIFY);  // a double-click and a selection reach the dialog
      EXPECT_FALSE(style & LBS_SORT);   // the rows stay in the order of the alarms
      EXPECT_TRUE(border);
      break;
    case Slider:
      EXPECT_FALSE(style & TBS_VERT);
      EXPECT_TRUE(style & TBS_NOTICKS);
      EXPECT_TRUE(style & TBS_BOTH);
      break;
    case Arrows: EXPECT_EQ(DWORD(UDS_AUTOBUDDY | UDS_SETBUDDYINT), style & (UDS_AUTOBUDDY | UDS_SETBUDDYINT)); break;
  }
}

void CheckControls(HWND dialog, HMODULE module, int dialogId, const Expected* table, int count) {
  // Template order is the order of the children, and the order Tab goes through them.
  HWND child = GetWindow(dialog, GW_CHILD);
  for (int i = 0; i < count; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
    const Expected& e = table[i];
    SCOPED_TRACE(testing::Message() << "control " << e.id);
    ASSERT_TRUE(child != NULL);
    EXPECT_EQ(e.id, GetDlgCtrlID(child));
    char name[64];
    GetClassNameA(child, name, sizeof name);
    EXPECT_EQ(0, lstrcmpiA(ClassOf(e.kind), name)) << name;
    CheckStyle(child, e.kind);
    if (e.text) {
      char text[256];
      GetWindowTextA(child, text, sizeof text);
      EXPECT_STREQ(e.text, text);
    }
    RECT expected = DialogRect(dialog, e.x, e.y, e.width, e.height);
    RECT actual = PlaceOf(dialog, child);
    if (e.kind == TimeList) {
      // A closed list is one line high and the system sizes the dropped list itself; the
      // template's height is only in the template.
      EXPECT_EQ(e.height, TemplateHeight(module, dialogId, e.id));
      actual.bottom = expected.bottom;
    }
    if (e.kind == Arrows) actual.right = expected.right;  // the arrows may take a width of their own
    if (e.kind == Icon) {
      // An icon static takes the icon's size; only its corner is the template's.
      EXPECT_EQ(expected.left, actual.left);
      EXPECT_EQ(expected.top, actual.top);
      EXPECT_TRUE(SendMessageA(child, STM_GETICON, 0, 0) != 0);
    } else {
      EXPECT_TRUE(SameRect(expected, actual));
    }
  }
  EXPECT_TRUE(child == NULL) << "more controls than the table";
}

void CheckFrame(HWND dialog, const char* caption, int width, int height) {
  char text[256];
  GetWindowTextA(dialog, text, sizeof text);
  EXPECT_STREQ(caption, text);
  DWORD style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU),
            style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CHILD));
  EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_TRUE(SameRect(DialogRect(dialog, 0, 0, width, height), client));

  LOGFONTA font;
  HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  ASSERT_EQ(int(sizeof font), GetObjectA(handle, sizeof font, &font));
  EXPECT_STREQ("MS Sans Serif", font.lfFaceName);
  HDC screen = GetDC(NULL);
  EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
  ReleaseDC(NULL, screen);

  // Centred on the screen's work area, give or take the rounding of the halves.
  RECT window, work;
  GetWindowRect(dialog, &window);
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 2);
  EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 2);
}

}  // namespace

using Templates = PluginTest;

TEST_F(Templates, SettingsDialogHasEveryControlWhereTheLayoutPutsIt) {
  Init();
  HMODULE module = plugin.module;
  RunSettings(plugin, [module](HWND dialog) {
    CheckFrame(dialog, SettingsCaption, 266, 318);
    CheckControls(dialog, module, 1, SettingsControls, sizeof SettingsControls / sizeof *SettingsControls);
    SendMessageA(dialog, WM_CLOSE, 0, 0);
  });
}

TEST_F(Templates, AboutBoxHasEveryControlWhereTheLayoutPutsIt) {
  Init();
  HMODULE module = plugin.module;
  RunSettings(plugin, [module](HWND settings) {
    RunAbout(settings, [module](HWND about) {
      CheckFrame(about, AboutCaption, 186, 70);
      CheckControls(about, module, 2, AboutControls, sizeof AboutControls / sizeof *AboutControls);
      SendMessageA(about, WM_CLOSE, 0, 0);
    });
    SendMessageA(settings, WM_CLOSE, 0, 0);
  });
}

TEST_F(Templates, AlarmClockDialogHasEveryControlWhereTheLayoutPutsIt) {
  Init();
  HMODULE module = plugin.module;
  RunSettings(plugin, [module](HWND settings) {
    RunAlarmClock(settings, [module](HWND alarm) {
      CheckFrame(alarm, AlarmClockCaption, 240, 265);
      CheckControls(alarm, module, 3, AlarmClockControls,
                    sizeof AlarmClockControls / sizeof *AlarmClockControls);
      SendMessageA(alarm, WM_CLOSE, 0, 0);
    });
    SendMessageA(settings, WM_CLOSE, 0, 0);
  });
}

TEST_F(Templates, AlarmDialogHasEveryControlWhereTheLayoutPutsIt) {
  Init();
  HMODULE module = plugin.module;
  RunSettings(plugin, [module](HWND settings) {
    RunAlarmClock(settings, [module](HWND clock) {
      RunAlarm([clock] { Click(clock, 69); }, [module](HWND alarm) {
        CheckFrame(alarm, AlarmCaption, 230, 134);
        CheckControls(alarm, module, 4, AlarmControls, sizeof AlarmControls / sizeof *AlarmControls);
        SendMessageA(alarm, WM_CLOSE, 0, 0);
      });
      SendMessageA(clock, WM_CLOSE, 0, 0);
    });
    SendMessageA(settings, WM_CLOSE, 0, 0);
  });
}

namespace {

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool IsGroup(HWND control) {
  char name[16];
  GetClassNameA(control, name, sizeof name);
  return lstrcmpiA(name, "Button") == 0 && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Pairs of controls on common rows that stand less than a dialog unit apart side by side, or
// overlap; a group box's frame holds others. The dialog manager rounds a control's corner and
// its size each on its own, and so the next one's corner: of the unit between them, up to
// 1.5 px can go. What must be left is the next whole pixel above that, one at least.
std::string CrowdedControls(HWND dialog) {
  RECT four = {0, 0, 4, 0};
  MapDialogRect(dialog, &four);
  const int apart = four.right >= 6 ? (four.right - 2) / 4 : 1;
  std::string found;
  for (HWND a = GetWindow(dialog, GW_CHILD); a; a = GetWindow(a, GW_HWNDNEXT))
    for (HWND b = GetWindow(a, GW_HWNDNEXT); b; b = GetWindow(b, GW_HWNDNEXT)) {
      RECT ra = PlaceOf(dialog, a), rb = PlaceOf(dialog, b);
      if (IsGroup(a) || IsGroup(b) || ra.top >= rb.bottom || rb.top >= ra.bottom) continue;
      int gap = rb.left - ra.right > ra.left - rb.right ? rb.left - ra.right : ra.left - rb.right;
      if (gap < apart)
        found += "controls " + std::to_string(GetDlgCtrlID(a)) + " and " + std::to_string(GetDlgCtrlID(b)) +
                 ": " + std::to_string(gap) + " px apart, need " + std::to_string(apart) + "\n";
    }
  return found;
}

// The fonts users' dialogs come in: the templates' own first, then what systems put in its
// place. A face this machine lacks is measured in its stand-in, a face wider than it at the
// same size, where the machine has that.
struct Font {
  const char* face;
  const char* standIn;
  int points;
};
const Font Fonts[] = {{"MS Sans Serif", nullptr, 8}, {"Tahoma", nullptr, 8}, {"Segoe UI", "DejaVu Sans", 9}};
const int Densities[] = {96, 120, 144};  // dots per inch: screens at 100, 125 and 150 per cent

bool HasFace(const char* face) {
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
  HDC dc = GetDC(NULL);
  HGDIOBJ old = SelectObject(dc, font);
  char found[LF_FACESIZE] = "";
  GetTextFaceA(dc, sizeof found, found);
  SelectObject(dc, old);
  ReleaseDC(NULL, dc);
  DeleteObject(font);
  return lstrcmpiA(found, face) == 0;
}

// The template as the module holds it, its font replaced by `points` of `face`; empty for a
// template that names no font of its own.
std::vector<WORD> WithFont(HMODULE module, int dialogId, const char* face, int points) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(dialogId), MAKEINTRESOURCEA(5));
  const auto* dialog = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
  if (!(dialog->style & DS_SETFONT)) return {};
  const WORD* begin = reinterpret_cast<const WORD*>(dialog);
  const WORD* end = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(dialog) + SizeofResource(module, found));
  const WORD* font = SkipField(SkipField(SkipField(reinterpret_cast<const WORD*>(dialog + 1))));  // menu, class, caption
  std::vector<WORD> copy(begin, font);
  copy.push_back(WORD(points));
  for (const char* c = face;; ++c) {
    copy.push_back(WORD(*c));
    if (!*c) break;
  }
  if (copy.size() % 2) copy.push_back(0);  // the controls start on a DWORD
  copy.insert(copy.end(), AlignDword(SkipField(font + 1)), end);
  return copy;
}

}  // namespace

// Every template in the DLL, whatever controls it holds, in each font of the table at each
// density: each text fits its control with room to spare, and no control crowds another. A
// density is the font at as many pixels as that screen gives it (or the next whole point
// above), and the dialog's units follow the font, as the dialog manager makes them.
TEST_F(Templates, NoTextIsClippedInAnyDialog) {
  Load();
  HDC screen = GetDC(NULL);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(NULL, screen);
  int checked = 0, least = 1000;
  std::string measured, missing;
  for (const Font& font : Fonts) {
    const char* face = HasFace(font.face) ? font.face : font.standIn && HasFace(font.standIn) ? font.standIn : nullptr;
    std::string name = font.face + (" " + std::to_string(font.points));
    if (!face) {
      missing += " " + name;
      continue;
    }
    measured += " " + name + (face == font.face ? "," : std::string(" (as ") + face + "),");
    for (int density : Densities) {
      int points = 1;
      while (MulDiv(points, dpi, 72) < MulDiv(font.points, density, 72)) ++points;
      for (int id = 1; id <= 5; ++id) {
        if (!FindResourceA(plugin.module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) continue;
        SCOPED_TRACE(testing::Message() << "template " << id << ", " << face << " " << font.points << " at " << density);
        std::vector<WORD> copy = WithFont(plugin.module, id, face, points);
        ASSERT_FALSE(copy.empty()) << "a template without a font of its own";
        HWND dialog = CreateDialogIndirectParamA(plugin.module, reinterpret_cast<DLGTEMPLATE*>(copy.data()), main, Inert, 0);
        ASSERT_TRUE(dialog != NULL);
        EXPECT_EQ("", ClippedTexts(dialog, density, &least));
        EXPECT_EQ("", CrowdedControls(dialog));
        DestroyWindow(dialog);
        checked += &font == Fonts && density == Densities[0];
      }
    }
  }
  EXPECT_EQ(5, checked) << "the settings, the about box, the alarm clock, the alarm and the ringing window";
  printf("text fit:%s at 96, 120 and 144 dpi; least spare %d px%s%s\n", measured.c_str(), least,
         missing.empty() ? "" : "; not on this machine:", missing.c_str());
}
