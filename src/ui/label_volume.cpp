#include "label_volume.h"

#include <commctrl.h>

#include "../res/resource.h"
#include "slider_rule.h"

void ShowLabelVolume(HWND dialog, const char16_t* label, int32_t volume) {
  SendDlgItemMessageW(dialog, IDC_ALARM_LABEL, EM_LIMITTEXT, LabelSize - 1, 0);
  SetDlgItemTextW(dialog, IDC_ALARM_LABEL, reinterpret_cast<const WCHAR*>(label));
  // The arrows write their number into the box: an alarm's own, or empty for the end volume,
  // from which the arrows start.
  SendDlgItemMessageW(dialog, IDC_ALARM_VOLUME_ARROWS, UDM_SETRANGE32, 1, MostPercent);
  SendDlgItemMessageW(dialog, IDC_ALARM_VOLUME_ARROWS, UDM_SETPOS32, 0, volume ? volume : VolumePercent(VolEnd));
  if (!volume) SetDlgItemTextW(dialog, IDC_ALARM_VOLUME, L"");
}

// Pasting gets past the digits-only style: anything but up to three digits is out of range.
int32_t TypedVolume(HWND dialog) {
  char text[5];
  int32_t n = 0;
  if (GetDlgItemTextA(dialog, IDC_ALARM_VOLUME, text, sizeof text) > 3) return -1;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return -1;
    n = n * 10 + (*c - '0');
  }
  return n > MostPercent ? -1 : n;
}

bool ReadLabelVolume(HWND dialog, char16_t* label, int32_t* volume) {
  int32_t typed = TypedVolume(dialog);
  if (typed < 0) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ALARM_VOLUME)), TRUE);
    return false;
  }
  *volume = typed;
  GetDlgItemTextW(dialog, IDC_ALARM_LABEL, reinterpret_cast<WCHAR*>(label), LabelSize);
  return true;
}
