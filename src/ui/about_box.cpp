#include "about_box.h"

#include <shellapi.h>

#include "../seam/descriptor.h"
#include "../res/resource.h"
#include "../settings/settings.h"

// .invalid can never be registered, so this address cannot lead to someone else's site.
static const char Homepage[] = "http://dawnbell.brindlow.invalid/dawnbell/";

enum { LinkColour = 0xFF0000 };  // blue, as the platform writes colours (0x00BBGGRR)

// The link's underlined font: made once when the box opens, so every repaint draws with
// a live font, and deleted when the box goes, so none is left behind.
static HFONT LinkFont;
static HGDIOBJ DialogFont;

void ShowAbout(HWND owner) {
  DialogBoxParamA(Plugin.hDllInstance, MAKEINTRESOURCEA(IDD_ABOUT), owner, AboutDialogProc, 0);
}

static void InitAbout(HWND dialog) {
  HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
  PrevLinkProc = reinterpret_cast<void*>(
      SetWindowLongPtrA(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc)));
  LOGFONTA font;
  DialogFont = reinterpret_cast<HGDIOBJ>(SendMessageA(link, WM_GETFONT, 0, 0));
  HGDIOBJ model = DialogFont ? DialogFont : GetStockObject(DEFAULT_GUI_FONT);
  if (GetObjectA(model, sizeof font, &font) != sizeof font) return;
  font.lfUnderline = TRUE;
  LinkFont = CreateFontIndirectA(&font);
  // Some static controls select their own font after asking us for colours; giving the
  // link the underlined font itself keeps the underline whichever order they use.
  if (LinkFont) SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(LinkFont), FALSE);
}

static void FreeLinkFont(HWND dialog) {
  if (!LinkFont) return;
  SendDlgItemMessageA(dialog, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont), FALSE);
  DeleteObject(LinkFont);
  LinkFont = NULL;
}

static INT_PTR LinkColours(HWND dialog, HDC dc, HWND control) {
  if (control != GetDlgItem(dialog, IDC_ABOUT_LINK)) return 0;
  if (LinkFont) SelectObject(dc, LinkFont);
  SetTextColor(dc, LinkColour);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  // No fill: the dialog has painted the background already.
  return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
}

// Only OK closes by command: the cancel id (Escape) is left alone on purpose.
static void AboutCommand(HWND dialog, WPARAM command) {
  if (command == IDC_ABOUT_OK) EndDialog(dialog, 0);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitAbout(dialog); return 0;
    case WM_CTLCOLORSTATIC:
      return LinkColours(dialog, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: AboutCommand(dialog, wParam); return 0;
    case WM_CLOSE: EndDialog(dialog, 0); return 0;
    case WM_DESTROY: FreeLinkFont(dialog); return 0;
  }
  return 0;
}

static LRESULT ShowHand() {
  return reinterpret_cast<LRESULT>(SetCursor(LoadCursorA(NULL, IDC_HAND)));
}

static LRESULT OpenHomepage() {
  return reinterpret_cast<LRESULT>(ShellExecuteA(NULL, NULL, Homepage, NULL, NULL, SW_SHOWNORMAL));
}

LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR: return ShowHand();
    // A static text lets the mouse through to the dialog; the link wants it.
    case WM_NCHITTEST: return HTCLIENT;
    case WM_LBUTTONDOWN: return OpenHomepage();
  }
  return CallWindowProcA(reinterpret_cast<WNDPROC>(PrevLinkProc), control, message, wParam, lParam);
}
