#include "label_text.h"

#include "alarm_text.h"

// `text` in UTF-16 into `wide`, with `gap` and the slot's label put in at `at`; no label, no gap.
static void PutLabel(const char* text, int32_t at, const WCHAR* gap, int32_t slot, bool menu, WCHAR* wide) {
  int n = MultiByteToWideChar(CP_ACP, 0, text, at, wide, at);
  if (slot >= 0 && AlarmLabel[slot][0]) {
    lstrcpyW(wide + n, gap);
    n += lstrlenW(gap);
    for (const char16_t* c = AlarmLabel[slot]; *c; ++c) {
      if (menu && *c == u'&') wide[n++] = L'&';
      wide[n++] = static_cast<WCHAR>(*c);
    }
  }
  MultiByteToWideChar(CP_ACP, 0, text + at, -1, wide + n, TextSize);
}

// Every row begins with its five characters of time, "07:00" or "--:--".
void LabelledRow(int32_t slot, const AlarmRecord& alarm, bool menu, WCHAR* row) {
  AlarmRowText(alarm, Scratch);
  PutLabel(Scratch, 5, L"  ", slot, menu, row);
}

void ShowNextAlarm(HWND dialog, int id) {
  int32_t slot;
  int32_t at = NextAlarmText(LocalTime, Scratch, &slot);
  WCHAR line[LabelledSize];
  PutLabel(Scratch, at, L", ", slot, false, line);
  SetDlgItemTextW(dialog, id, line);
}
