#include "volume_sliders.h"

#include <commctrl.h>

#include "../res/resource.h"
#include "../settings/settings.h"
#include "slider_rule.h"

static void SetRange(HWND dialog, int slider, int32_t low, int32_t high) {
  SendDlgItemMessageA(dialog, slider, TBM_SETRANGEMIN, FALSE, low);
  SendDlgItemMessageA(dialog, slider, TBM_SETRANGEMAX, FALSE, high);
}

static void SetPositions(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_VOL_START, TBM_SETPOS, TRUE, VolStart);
  SendDlgItemMessageA(dialog, IDC_VOL_END, TBM_SETPOS, TRUE, VolEnd);
  SendDlgItemMessageA(dialog, IDC_TIMEOUT, TBM_SETPOS, TRUE, TimeOut);
}

static int32_t ReadSlider(HWND dialog, int slider) {
  return static_cast<int32_t>(SendDlgItemMessageA(dialog, slider, TBM_GETPOS, 0, 0));
}

static void ShowValue(HWND dialog, int label, const char* format, int32_t value) {
  wsprintfA(Scratch, format, value);
  SetDlgItemTextA(dialog, label, Scratch);
}

// The sliders clamp to their ranges, so what is read back is always a valid setting.
static void ReadSliders(HWND dialog) {
  VolStart = ReadSlider(dialog, IDC_VOL_START);
  ShowValue(dialog, IDC_VOL_START_VALUE, "%d%%", VolumePercent(VolStart));
  VolEnd = ReadSlider(dialog, IDC_VOL_END);
  ShowValue(dialog, IDC_VOL_END_VALUE, "%d%%", VolumePercent(VolEnd));
  TimeOut = ReadSlider(dialog, IDC_TIMEOUT);
  ShowValue(dialog, IDC_TIMEOUT_VALUE, "%d", TimeOut);
}

void SyncVolumeSliders(HWND dialog, HWND source) {
  int32_t startMoved = source && source == GetDlgItem(dialog, IDC_VOL_START);
  // Each round moves one setting one step, so 256 rounds always settle it; the bound only
  // guards against sliders that would not hold a position.
  for (int round = 0; round < 256; ++round) {
    ReadSliders(dialog);
    if (!BalanceVolumes(startMoved)) return;
    SetPositions(dialog);
  }
}

void SetupVolumeSliders(HWND dialog) {
  // The start tops out at 254 and the end bottoms out at 1, so start < end always fits.
  SetRange(dialog, IDC_VOL_START, 0, 254);
  SetRange(dialog, IDC_VOL_END, 1, 255);
  SetRange(dialog, IDC_TIMEOUT, 1, 9999);
  SetPositions(dialog);
  SyncVolumeSliders(dialog, NULL);
}
