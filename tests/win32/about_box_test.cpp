// The about box and its homepage link, opened from the settings dialog.
#include <stdio.h>

#include "dialog_driver.h"

namespace {

const char Homepage[] = "http://dawnbell.brindlow.invalid/dawnbell/";

POINT CentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The mouse, as the system delivers it: hit testing decides who gets it.
void MoveMouseTo(HWND dialog, POINT at) {
  SetCursorPos(at.x, at.y);
  mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
  PumpDialog(dialog, 150, [] { return false; });
}

void Press(HWND dialog, DWORD what) {
  mouse_event(what, 0, 0, 0, 0);
  PumpDialog(dialog, 150, [] { return false; });
}

// The call the link should make: no window, the default verb, no parameters or folder.
std::string ExpectedShellCall() {
  char text[200];
  snprintf(text, sizeof text, "%p|(null)|%s|(null)|(null)|%d", static_cast<void*>(nullptr),
           Homepage, SW_SHOWNORMAL);
  return text;
}

bool Underlined(HGDIOBJ font) {
  LOGFONTA description;
  return GetObjectA(font, sizeof description, &description) == sizeof description &&
         description.lfUnderline;
}

}  // namespace

using AboutBox = PluginTest;

TEST_F(AboutBox, OpensFromTheSettingsDialogOwnedByIt) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [settings](HWND about) {
      EXPECT_EQ(settings, GetWindow(about, GW_OWNER));
      EXPECT_FALSE(IsWindowEnabled(settings));  // modal
      Click(about, 7);
    });
    EXPECT_TRUE(IsWindowVisible(settings));
    EXPECT_TRUE(IsWindowEnabled(settings));
    Click(settings, 2);
  });
}

TEST_F(AboutBox, EscapeLeavesItOpenWhileOkAndTheTitleBarCloseClose) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      HWND focus = GetFocus();
      PostMessageA(focus && IsChild(about, focus) ? focus : about, WM_KEYDOWN, VK_ESCAPE, 0);
      PumpDialog(about, 300, [] { return false; });
      EXPECT_TRUE(IsWindowVisible(about));
      Click(about, 7);
      EXPECT_FALSE(IsWindowVisible(about));
    });
    RunAbout(settings, [](HWND about) {
      SendMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
      EXPECT_FALSE(IsWindowVisible(about));
    });
    EXPECT_TRUE(IsWindowVisible(settings));
    Click(settings, 2);
  });
}

TEST_F(AboutBox, PressingTheLinkOpensTheHomepageOnceAtThePress) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      // A press beside the link opens nothing.
      MoveMouseTo(about, CentreOf(GetDlgItem(about, 2)));
      Press(about, MOUSEEVENTF_LEFTDOWN);
      Press(about, MOUSEEVENTF_LEFTUP);
      EXPECT_TRUE(Seen.shell.empty());

      MoveMouseTo(about, CentreOf(GetDlgItem(about, 5)));
      Press(about, MOUSEEVENTF_LEFTDOWN);
      ASSERT_EQ(1u, Seen.shell.size());
      EXPECT_EQ(ExpectedShellCall(), Seen.shell[0]);
      Press(about, MOUSEEVENTF_LEFTUP);
      EXPECT_EQ(1u, Seen.shell.size());
      Click(about, 7);
    });
    Click(settings, 2);
  });
}

TEST_F(AboutBox, ThePointerIsAHandOverTheLinkOnly) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      HCURSOR hand = LoadCursorA(NULL, IDC_HAND);
      HCURSOR arrow = LoadCursorA(NULL, IDC_ARROW);
      MoveMouseTo(about, CentreOf(GetDlgItem(about, 5)));
      EXPECT_EQ(hand, GetCursor());
      MoveMouseTo(about, CentreOf(GetDlgItem(about, 3)));
      EXPECT_EQ(arrow, GetCursor());
      MoveMouseTo(about, CentreOf(GetDlgItem(about, 5)));
      EXPECT_EQ(hand, GetCursor());
      RECT r;
      GetWindowRect(GetDlgItem(about, 7), &r);
      MoveMouseTo(about, POINT{r.left - 10, r.top + 2});  // bare dialog
      EXPECT_EQ(arrow, GetCursor());
      Click(about, 7);
    });
    Click(settings, 2);
  });
}

TEST_F(AboutBox, TheLinkIsDrawnBlueAndUnderlinedTheOtherTextsAreNot) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      HDC dc = CreateCompatibleDC(NULL);
      HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
      LRESULT brush = SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                   reinterpret_cast<LPARAM>(GetDlgItem(about, 5)));
      EXPECT_EQ(reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)), brush);
      EXPECT_EQ(RGB(0, 0, 255), GetTextColor(dc));
      EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
      EXPECT_TRUE(Underlined(GetCurrentObject(dc, OBJ_FONT)));
      SelectObject(dc, original);

      SetTextColor(dc, RGB(0, 0, 0));
      SendMessageA(about, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(GetDlgItem(about, 2)));
      EXPECT_NE(RGB(0, 0, 255), GetTextColor(dc));
      EXPECT_FALSE(Underlined(GetCurrentObject(dc, OBJ_FONT)));
      DeleteDC(dc);

      // And on the screen: the longest run of blue pixels in a row. The underline makes it
      // long; letters alone never do.
      auto blueRun = [about](int id) {
        HWND control = GetDlgItem(about, id);
        RedrawWindow(control, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r;
        GetClientRect(control, &r);
        HDC window = GetDC(control);
        int longest = 0;
        for (int y = 0; y < r.bottom; ++y) {
          int run = 0;
          for (int x = 0; x < r.right; ++x) {
            run = GetPixel(window, x, y) == RGB(0, 0, 255) ? run + 1 : 0;
            if (run > longest) longest = run;
          }
        }
        ReleaseDC(control, window);
        return longest;
      };
      EXPECT_GT(blueRun(5), 100);
      EXPECT_EQ(0, blueRun(2));
      Click(about, 7);
    });
    Click(settings, 2);
  });
}

// Each opening makes one font; a leak of one an opening shows after a few.
static void OpenAndRepaint(LoadedPlugin& plugin, int openings) {
  CountGdi(plugin.module);
  for (int i = 0; i < openings; ++i) {
    RunSettings(plugin, [](HWND settings) {
      RunAbout(settings, [](HWND about) { Click(about, 7); });
      Click(settings, 2);
    });
  }
  EXPECT_TRUE(Gdi.live.empty()) << Gdi.live.size() << " alive";
  EXPECT_EQ(openings, Gdi.created);  // one underlined font per about box, no more

  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      HWND link = GetDlgItem(about, 5);
      int created = Gdi.created;
      for (int i = 0; i < 1000; ++i)
        RedrawWindow(link, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      EXPECT_EQ(created, Gdi.created);
      EXPECT_EQ(1u, Gdi.live.size());
      // The font the link was last drawn with is still there to draw with.
      EXPECT_EQ(DWORD(OBJ_FONT), GetObjectType(Gdi.lastSelectedFont));
      EXPECT_TRUE(Underlined(Gdi.lastSelectedFont));
      Click(about, 7);
    });
    Click(settings, 2);
  });
  EXPECT_TRUE(Gdi.live.empty()) << Gdi.live.size() << " alive";
}

TEST_F(AboutBox, OpeningsAndRepaintsLeaveNoGdiObjectsBehind) {
  Init();
  OpenAndRepaint(plugin, 12);
}

using SoakAboutBox = PluginTest;  // minutes of dialogs: run after the test run, not in it

TEST_F(SoakAboutBox, TwoHundredOpeningsAndRepaintsLeaveNoGdiObjectsBehind) {
  Init();
  OpenAndRepaint(plugin, 200);
}
