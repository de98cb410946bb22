#include "one_alarm_dialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include "../control/control.h"
#include "../res/resource.h"
#include "../seam/descriptor.h"
#include "../seam/host_player.h"
#include "../seam/system_library.h"
#include "alarm_boxes.h"
#include "alarm_text.h"
#include "label_volume.h"

static const AlarmBoxes Boxes = {IDC_ALARM_HOUR, IDC_ALARM_SUNDAY, IDC_ALARM_ON};

// The alarm the open dialog shows, its slot, its music (MusicSize characters), label and volume;
// modal, so one at a time.
static AlarmRecord* Editing;
static int32_t EditingSlot;
static WCHAR* EditingMusic;
static char16_t* EditingLabel;
static int32_t* EditingVolume;

bool EditAlarm(HWND owner, int32_t slot, AlarmRecord* alarm, char16_t* music, char16_t* label, int32_t* volume) {
  Editing = alarm;
  EditingSlot = slot;
  EditingMusic = reinterpret_cast<WCHAR*>(music);
  EditingLabel = label;
  EditingVolume = volume;
  // Wide, so that a path shows and comes back as Windows names it.
  return DialogBoxParamW(Plugin.hDllInstance, MAKEINTRESOURCEW(IDD_ALARM), owner, OneAlarmProc, 0) > 0;
}

// When the alarm as the fields stand would ring: a slip of an hour or a day shows before the night.
static void ShowRings(HWND dialog) {
  AlarmRecord alarm;
  ReadAlarmBoxes(dialog, Boxes, &alarm);
  ReadLocalTime();
  RingsText(EditingSlot, alarm, LocalTime, Scratch);
  // A volume out of range is told here as it is typed, as a time that never rings is.
  if (TypedVolume(dialog) < 0) lstrcpyA(Scratch, "Volume (%): 1 to 100, or empty for the end volume");
  SetDlgItemTextA(dialog, IDC_RINGS, Scratch);
}

static INT_PTR InitOneAlarm(HWND dialog) {
  FillTimeList(dialog, IDC_ALARM_HOUR, 24);
  FillTimeList(dialog, IDC_ALARM_MINUTE, 60);
  ShowAlarm(dialog, Boxes, *Editing);
  SendDlgItemMessageW(dialog, IDC_ALARM_MUSIC, EM_LIMITTEXT, MusicSize - 1, 0);
  SetDlgItemTextW(dialog, IDC_ALARM_MUSIC, EditingMusic);
  ShowLabelVolume(dialog, EditingLabel, *EditingVolume);
  ShowRings(dialog);
  return TRUE;
}

typedef BOOL(WINAPI* OpenFileProc)(OPENFILENAMEW*);

// The system's open-file dialog, its library loaded only now, from the system folder.
static void PickFile(HWND dialog) {
  static OPENFILENAMEW open;  // static: zeroed once, no C runtime to zero it here
  static WCHAR path[MusicSize];
  HMODULE library = LoadSystemLibrary("\\comdlg32.dll");
  OpenFileProc show;
  if (!library) return;
  path[0] = 0;
  open.lStructSize = sizeof open;
  open.hwndOwner = dialog;
  open.lpstrFilter = L"Audio, playlists\0*.mp3;*.ogg;*.flac;*.wav;*.m4a;*.wma;*.m3u*;*.pls\0All files\0*.*\0";
  open.lpstrFile = path;
  open.nMaxFile = MusicSize;
  open.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (FindEntry(library, "GetOpenFileNameW", &show) && show(&open)) SetDlgItemTextW(dialog, IDC_ALARM_MUSIC, path);
  FreeLibrary(library);
}

static void PickFolder(HWND dialog) {
  static BROWSEINFOW browse;
  WCHAR path[MAX_PATH];
  browse.hwndOwner = dialog;
  browse.lpszTitle = L"The alarm's folder:";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST folder = SHBrowseForFolderW(&browse);
  if (!folder) return;
  if (SHGetPathFromIDListW(folder, path)) SetDlgItemTextW(dialog, IDC_ALARM_MUSIC, path);
  IMalloc* memory;
  if (SHGetMalloc(&memory) == S_OK) {
    memory->Free(folder);
    memory->Release();
  }
}

// The fields as they stand: what OK keeps and what Test rings.
static void ReadFields(HWND dialog, AlarmRecord* alarm, WCHAR* music) {
  ReadAlarmBoxes(dialog, Boxes, alarm);
  GetDlgItemTextW(dialog, IDC_ALARM_MUSIC, music, MusicSize);
}

// The alarm as the dialog shows it rings now, as a test; said so when it cannot.
static void TestShown(HWND dialog) {
  // Static: the label shows in the ringing window after the dialog is gone.
  static WCHAR music[MusicSize];
  static char16_t label[LabelSize];
  char16_t typed[LabelSize];
  int32_t volume;
  if (!ReadLabelVolume(dialog, typed, &volume)) return;  // told on the Rings line as typed
  // A test ringing keeps its own label: this second one is refused below.
  if (!Ringing.State) lstrcpyW(reinterpret_cast<WCHAR*>(label), reinterpret_cast<WCHAR*>(typed));
  AlarmSound sound;
  ReadFields(dialog, &sound.Alarm, music);
  sound.Music = reinterpret_cast<char16_t*>(music);
  sound.Label = label;
  sound.Level = PercentLevel(volume);
  int32_t result = TestAlarm(sound);
  if (result != TestRings)
    MessageBoxA(dialog, result == TestBusy ? "An alarm is ringing: stop it, then test."
                                           : "Nothing rang: the playlist is empty, and the tone is off.",
                "Dawnbell", MB_OK | MB_ICONINFORMATION);
}

// The dialog manager turns the close box and Escape into IDCANCEL.
static INT_PTR OneAlarmCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDOK:
      if (!ReadLabelVolume(dialog, EditingLabel, EditingVolume)) return TRUE;
      ReadFields(dialog, Editing, EditingMusic);
      break;
    case IDCANCEL: break;
    case IDC_ALARM_FILE: PickFile(dialog); return TRUE;
    case IDC_ALARM_FOLDER: PickFolder(dialog); return TRUE;
    case MAKEWPARAM(IDC_ALARM_VOLUME, EN_CHANGE): ShowRings(dialog); return TRUE;
    case IDC_ALARM_TEST: TestShown(dialog); return TRUE;
    default:
      // The time lists, the day boxes, on and once: any change of them.
      if (LOWORD(command) < IDC_ALARM_HOUR || LOWORD(command) > IDC_ALARM_ONCE) return FALSE;
      ShowRings(dialog);
      return TRUE;
  }
  EndDialog(dialog, command == IDOK);
  return TRUE;
}

INT_PTR CALLBACK OneAlarmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return InitOneAlarm(dialog);
    case WM_COMMAND: return OneAlarmCommand(dialog, wParam);
  }
  return FALSE;
}
