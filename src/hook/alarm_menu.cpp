#include "alarm_menu.h"

#include "submenu.h"

#include "../control/calendar.h"
#include "../control/control.h"
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "../ui/alarm_text.h"
#include "../ui/label_text.h"
#include "../ui/warning_text.h"

static HMENU AlarmMenu;  // while inserted; ours to destroy

// Alarm 1 first, then by slot: each switched on or off here. Then the skip of the next one,
// naming the occurrence it skips, or would.
void InsertAlarmMenu(HMENU menu, UINT position) {
  AlarmMenu = CreatePopupMenu();
  if (!AlarmMenu) return;
  ReadLocalTime();
  char text[64], when[16];
  WCHAR row[LabelledSize];
  AlarmRecord alarm;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    if (!ReadAlarm(slot, &alarm)) continue;
    LabelledRow(slot, alarm, true, row);  // wide: the label as typed
    AppendMenuW(AlarmMenu, MF_STRING | (alarm.On ? MF_CHECKED : MF_UNCHECKED), AlarmFirstId + slot, row);
  }
  AppendMenuA(AlarmMenu, MF_SEPARATOR, 0, NULL);
  LocalTimeRecord next;
  int32_t minutes;
  bool coming = NextAlarm(LocalTime, &next, &minutes);
  UINT state = MF_UNCHECKED;
  if (SkipAlarm) {
    ShortAlarmText(MinutesLater(LocalTime, SkipAlarm - MinuteNumber(LocalTime)), when);
    state = MF_CHECKED;
  } else if (coming) {
    ShortAlarmText(next, when);
  } else {
    state = MF_GRAYED;
  }
  if (state == MF_GRAYED) lstrcpyA(text, "Skip the next alarm");
  else wsprintfA(text, "Skip the next alarm (%s)", when);
  AppendMenuA(AlarmMenu, MF_STRING | state, SkipAlarmId, text);
  if (coming) {
    // Marked with what stands in the way, as the Alarm clock dialog tells it in full.
    LocalTimeRecord at;
    const char* mark = WarningMark(AlarmWarning(LocalTime, &at));
    ShortAlarmText(next, when);
    wsprintfA(text, *mark ? "Alarm (%s, %s)" : "Alarm (%s)", when, mark);
  } else {
    lstrcpyA(text, "Alarm (off)");
  }
  InsertMenuA(menu, position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(AlarmMenu), text);
}

void RemoveAlarmMenu(HMENU menu) { RemoveSubmenu(menu, &AlarmMenu); }

void AlarmItemChosen(WPARAM id) {
  if (id == SkipAlarmId) ToggleSkip();
  else SwitchAlarm(static_cast<int32_t>(id - AlarmFirstId));
}
