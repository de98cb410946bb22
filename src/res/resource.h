// Resource and control ids, named once for the .rc and the code.
#pragma once

#define IDI_DAWNBELL 1

// ---- settings dialog (template 1) ----
#define IDD_SETTINGS 1

// Check boxes 4..24 show SettingValues 0..20 in order: keep these ids as they are.
#define IDC_STOP_AFTER_LAST 3
#define IDC_START_ENABLE 4
#define IDC_START_DISABLE 5
#define IDC_FADE_IN 6
#define IDC_RANDOM 7
#define IDC_ONE 8
#define IDC_ACTIVATE 9
#define IDC_STOP_ENABLE 10
#define IDC_STOP_DISABLE 11
#define IDC_FADE_OUT 12
#define IDC_CLOSE 13
#define IDC_SUSPEND 14
#define IDC_SHUTDOWN 15
#define IDC_PLAY_AT_START 16
#define IDC_HOTKEY 17
#define IDC_ADD_MENU 18
#define IDC_FROM_RANGE 19
#define IDC_SAVE_POS 20
#define IDC_HIBERNATE 21
#define IDC_WAIT_END 22
#define IDC_USE_PAUSE 23
#define IDC_USE_PLAY 24

#define IDC_START_HOUR 25
#define IDC_START_MINUTE 26
#define IDC_STOP_HOUR 27
#define IDC_STOP_MINUTE 28

#define IDC_VOL_START 29
#define IDC_VOL_END 30
#define IDC_TIMEOUT 31
#define IDC_VOL_START_VALUE 32
#define IDC_VOL_END_VALUE 33
#define IDC_TIMEOUT_VALUE 34

#define IDC_MENU_TEXT_LABEL 35
#define IDC_MENU_TEXT 36
#define IDC_MENU_POS_LABEL 37
#define IDC_SHOW_ABOUT 40
#define IDC_AUTORUN 41
#define IDC_RANGE_FIRST 42
#define IDC_RANGE_LAST 43
#define IDC_MENU_POS 44

// Alarm days: box 45 + d shows bit d of StartDays (0 Sunday .. 6 Saturday).
#define IDC_DAY_SUNDAY 45
#define IDC_DAY_MONDAY 46
#define IDC_DAY_TUESDAY 47
#define IDC_DAY_WEDNESDAY 48
#define IDC_DAY_THURSDAY 49
#define IDC_DAY_FRIDAY 50
#define IDC_DAY_SATURDAY 51
#define IDC_WAKE_UP 52
#define IDC_DAYS_LABEL 53
#define IDC_WAKE_NOTE 54
#define IDC_SHOW_ALARM_CLOCK 55

// Also the dialog's cancel id, so Escape closes (and saves) like OK.
#define IDC_SETTINGS_OK 2

#define IDC_START_GROUP 114
#define IDC_START_HOUR_LABEL 116
#define IDC_START_MINUTE_LABEL 118
#define IDC_STOP_GROUP 119
#define IDC_STOP_HOUR_LABEL 121
#define IDC_STOP_MINUTE_LABEL 123
#define IDC_RANGE_FROM_LABEL 200
#define IDC_RANGE_TO_LABEL 201
#define IDC_VOLUME_GROUP 224
#define IDC_ADDITIONAL_GROUP 340
#define IDC_VOL_START_LABEL 525
#define IDC_VOL_END_LABEL 526
#define IDC_TIMEOUT_LABEL 527

// ---- about box (template 2) ----
#define IDD_ABOUT 2

#define IDC_ABOUT_ICON 1
#define IDC_ABOUT_NAME 2
#define IDC_ABOUT_VERSION 3
#define IDC_ABOUT_NOTICE 4
#define IDC_ABOUT_LINK 5
#define IDC_ABOUT_OK 7

// ---- alarm clock dialog (template 3) ----
#define IDD_ALARM_CLOCK 3

#define IDC_ALARM_OK 1
#define IDC_NEXT_ALARM 60
#define IDC_SNOOZE 61
#define IDC_RING_LIMIT 62
#define IDC_SILENT_TONE 63
#define IDC_SNOOZE_LABEL 64
#define IDC_RING_LIMIT_LABEL 65
#define IDC_ZERO_HINT 66
#define IDC_SLEEP_TIMER 67
// The list of alarms: a row each, alarm 1 first, then by slot.
#define IDC_ALARMS 68
#define IDC_ADD_ALARM 69
#define IDC_EDIT_ALARM 70
#define IDC_REMOVE_ALARM 71
#define IDC_SYS_VOLUME 72
#define IDC_RING_WINDOW 73
#define IDC_SYS_VOLUME_LABEL 74
#define IDC_SYS_VOLUME_HINT 75
// What stands in the way of the alarms, under the next one; empty while nothing does.
#define IDC_WARNING 77

// ---- alarm dialog (template 4): one alarm; OK and Cancel are IDOK and IDCANCEL ----
#define IDD_ALARM 4

#define IDC_ALARM_HOUR 80
#define IDC_ALARM_MINUTE 81
// Box 82 + d shows day d of the week (0 Sunday .. 6 Saturday).
#define IDC_ALARM_SUNDAY 82
#define IDC_ALARM_MONDAY 83
#define IDC_ALARM_TUESDAY 84
#define IDC_ALARM_WEDNESDAY 85
#define IDC_ALARM_THURSDAY 86
#define IDC_ALARM_FRIDAY 87
#define IDC_ALARM_SATURDAY 88
#define IDC_ALARM_ON 89
#define IDC_ALARM_ONCE 90
#define IDC_ALARM_MUSIC 91         // the alarm's own music: a path or an address; empty plays the list
#define IDC_ALARM_FILE 92          // the system's open-file dialog
#define IDC_ALARM_FOLDER 93        // the folder picker
#define IDC_ALARM_MUSIC_HINT 108
#define IDC_ALARM_MUSIC_LABEL 109
#define IDC_ALARM_HOUR_LABEL 98
#define IDC_ALARM_MINUTE_LABEL 99
// When the alarm as it stands in the dialog rings next.
#define IDC_RINGS 97

// ---- ringing window (template 5) ----
#define IDD_RINGING 5

#define IDC_RING_TIME 100
#define IDC_RING_STATE 101
#define IDC_RING_SNOOZE 102
#define IDC_RING_STOP 103

// ---- added later: each alarm's label and volume ----
#define IDC_ALARM_LABEL 95           // the alarm dialog's label, up to 40 characters
#define IDC_ALARM_VOLUME 96          // its volume in percent; empty for the end volume
#define IDC_ALARM_LABEL_LABEL 130
#define IDC_ALARM_VOLUME_LABEL 131
#define IDC_ALARM_VOLUME_ARROWS 132  // the up-down beside it
#define IDC_RING_LABEL 133           // the ringing window's label, under the time
// ---- will it ring: the tests ----
#define IDC_SLEEP_AND_WAKE 76  // alarm clock dialog: the wake set two minutes ahead, then standby
#define IDC_ALARM_TEST 94      // alarm dialog: the alarm as it stands rung now
