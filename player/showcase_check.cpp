// The timeline the showcase must produce, event by event.
#include <stdio.h>

#include "showcase.h"

enum : DWORD {
  Seven = 7 * 3600 * 1000u, TenPastEleven = (23 * 60 + 10) * 60 * 1000u,
  HalfAnHour = 30 * 60 * 1000u, TenToMidnight = (23 * 60 + 50) * 60 * 1000u,
  Second = 1000u,
};

static bool Within(DWORD ms, DWORD from, DWORD to) { return ms >= from && ms < to; }

static bool Says(const TimelineEvent& e, const char* text) {
  return e.text.find(text) != std::string::npos;
}

static const char Unmuted[] = "system volume: muted at 12% -> unmuted at 30%";
static const char Muted[] = "system volume: unmuted at 30% -> muted at 12%";

// The computer, muted at 12% all along, is unmuted by each alarm and muted again after it.
// Monday's pair must come right before its alarm's hold (the event at `raisedAt`) and right
// before that hold's release (at `putBackAt`). Placed by the count of other events before
// them, not by the time of day, which repeats from day to day.
static bool VolumeAsExpected(const std::vector<TimelineEvent>& volume, const std::vector<size_t>& after,
                             size_t raisedAt, size_t putBackAt) {
  bool raised = false, putBack = false;
  for (size_t i = 0; i < volume.size(); ++i) {
    if (!Says(volume[i], i % 2 ? Muted : Unmuted)) return false;
    raised |= i % 2 == 0 && after[i] == raisedAt;
    putBack |= i % 2 == 1 && after[i] == putBackAt;
  }
  return raised && putBack && volume.size() % 2 == 0;
}

bool CheckShowcaseTimeline(const std::vector<TimelineEvent>& all, std::string* why) {
  // The computer's volume, aside: the rest reads the same with it or without.
  std::vector<TimelineEvent> events, volume;
  std::vector<size_t> after;  // for each volume event, the other events before it
  for (const TimelineEvent& e : all) {
    if (e.kind == "system volume") after.push_back(events.size());
    (e.kind == "system volume" ? volume : events).push_back(e);
  }
  static const char* const kinds[] = {
      "wake timer", "note", "note", "note",                            // Friday night
      "fade-out", "volume", "stop", "standby", "note",
      "note", "note",                                                  // Saturday, 07:00
      "note", "wake timer", "pick", "stop", "play", "fade-in", "wake timer", "held awake",  // 09:00
      "note", "stop", "released",
      "note", "wake timer", "held awake", "note",                      // Monday
      "pick", "stop", "play", "fade-in", "wake timer", "held awake",
      "note", "pause", "wake timer", "held awake", "note", "wake timer", "pause", "fade-in",  // the snooze
      "wake timer", "held awake",
      "note", "stop", "released", "note",                              // and OK on the missed alarm
      "note", "wake timer", "wake timer", "held awake", "note", "note", "note", "released", "stop",  // Tuesday
      "note", "wake timer", "held awake", "pick", "stop", "play", "fade-in",
      "held awake", "note", "stop", "released",                        // Wednesday, late
      "note", "wake timer", "note",                                    // the skip
      "note", "note", "fade-out", "volume", "stop", "standby", "note",  // the daily stop
      "note", "note",                                                  // Thursday
      "note", "note", "wake timer", "empty playlist", "enqueue", "pick", "stop", "play", "fade-in",  // Friday's folder
      "wake timer", "held awake", "note", "stop", "empty playlist", "enqueue", "pick", "released", "note",
      "note", "wake timer", "empty playlist", "enqueue", "pick", "stop", "play", "fade-in",  // Saturday's stream
      "wake timer", "held awake", "stop", "empty playlist", "enqueue", "pick", "pick", "stop", "play", "fade-in",
      "note", "note", "stop", "released"};
  const size_t count = sizeof kinds / sizeof *kinds;
  std::string seen;
  for (const TimelineEvent& e : events) seen += (seen.empty() ? "" : ", ") + e.kind;
  // The settings dialog of the screenshots re-arms the timer, closing the player cancels it.
  bool sequence = events.size() >= count;
  for (size_t i = 0; sequence && i < events.size(); ++i)
    sequence = i < count ? events[i].kind == kinds[i]
                         : events[i].kind == "wake timer" || events[i].kind == "no wake timer";
  if (!sequence) {
    *why = "events were: " + seen;
    return false;
  }
  const TimelineEvent &armed = events[0], &chosen = events[2], &fadeOut = events[4], &restore = events[5],
                      &standby = events[7], &weekendPick = events[13], &weekendNext = events[17],
                      &weekendStop = events[20], &weekendReleased = events[21], &rearmed = events[23],
                      &heldForAlarm = events[24], &pick = events[26], &fadeIn = events[29],
                      &nextWake = events[30], &heldPlaying = events[31], &userPause = events[33],
                      &snoozeWake = events[34], &snoozeHeld = events[35], &snoozeEnd = events[37],
                      &resume = events[38], &refade = events[39], &wakeAgain = events[40],
                      &heldAgain = events[41], &userStop = events[43], &released = events[44],
                      &tuesdayHeld = events[49], &tone = events[50], &toneAnswer = events[51],
                      &toneEnds = events[52], &toneReleased = events[53], &lateHold = events[57],
                      &latePick = events[58], &lateFadeIn = events[61], &lateStopped = events[65],
                      &skipWake = events[67], &skipChosen = events[68], &dailyFade = events[71],
                      &dailyStandby = events[74], &stillOpen = events[75], &thursday = events[77],
                      &folder = events[82], &folderPlay = events[85], &folderBack = events[92],
                      &folderReleased = events[94], &stream = events[99], &streamPlay = events[102],
                      &fallback = events[106], &usersList = events[108], &usersPlay = events[112];
  struct { bool holds; const char* what; } const checks[] = {
      {Says(armed, "2026-12-12 08:58, resume"), "at start the wake timer is set for the weekend's alarm, Saturday 08:58"},
      {Says(chosen, "30 minutes") && Within(chosen.clockMs, TenPastEleven, TenPastEleven + 3 * Second) &&
           Within(fadeOut.clockMs, chosen.clockMs + HalfAnHour - Second, chosen.clockMs + HalfAnHour + Second) &&
           fadeOut.from == ShowcaseNightVolume && fadeOut.to == 0,
       "chosen at 23:10 for 30 minutes, the sleep timer fades out to silence half an hour later"},
      {restore.from == ShowcaseNightVolume && standby.clockMs - restore.clockMs < Second,
       "the volume comes back and standby follows"},
      {Within(weekendPick.clockMs, 9 * 3600 * Second, 9 * 3600 * Second + Second) &&
           Says(weekendNext, "2026-12-13 08:58") && weekendReleased.clockMs - weekendStop.clockMs < 2 * Second,
       "on Saturday the weekend's alarm rings at 09:00, the wake then set for Sunday's"},
      {Says(rearmed, "2026-12-14 07:00") && Says(heldForAlarm, "ES_SYSTEM_REQUIRED") &&
           !Says(heldForAlarm, "ES_DISPLAY_REQUIRED"),
       "woken at 06:58, the wake is set for the alarm's own minute and the computer held awake"},
      {Within(pick.clockMs, Seven, Seven + Second) && Within(fadeIn.clockMs, Seven, Seven + Second),
       "the alarm starts in second 0 of 07:00"},
      {pick.from >= 0 && pick.from < 12 && fadeIn.from == ShowcaseVolStart && fadeIn.to == ShowcaseVolEnd,
       "a track of the playlist is picked and faded in from the start to the end volume"},
      {Says(nextWake, "2026-12-15 06:58") && Says(heldPlaying, "ES_DISPLAY_REQUIRED"),
       "the next wake is Tuesday's, and the alarm with its window is held awake"},
      {Says(snoozeHeld, "ES_SYSTEM_REQUIRED") && !Says(snoozeHeld, "ES_DISPLAY_REQUIRED") &&
           snoozeHeld.clockMs - userPause.clockMs < 2 * Second,
       "Snooze on the alarm's window pauses the player: snoozed, the computer held awake without its display"},
      {Says(snoozeWake, "2026-12-14 07:07") && Says(snoozeEnd, "2026-12-14 07:09") && Says(wakeAgain, "2026-12-15 06:58"),
       "the snooze's end is woken for as an alarm is, then at its own minute; resumed, the wake is Tuesday's again"},
      // To the second: the snooze counts whole seconds of the UTC clock.
      {Within(resume.clockMs, userPause.clockMs + 9 * 60 * Second - Second, userPause.clockMs + 9 * 60 * Second + 2 * Second) &&
           refade.from == ShowcaseVolStart && refade.to == ShowcaseVolEnd && Says(heldAgain, "ES_DISPLAY_REQUIRED"),
       "9 minutes later the alarm resumes with its fade-in, held awake with its window"},
      {released.clockMs - userStop.clockMs < 2 * Second, "the hold ends when playback stops"},
      {VolumeAsExpected(volume, after, &heldPlaying - &events[0], &released - &events[0]),
       "the alarm unmutes the computer at 30% as it starts, and the user's Stop mutes it at 12% again"},
      {Says(tuesdayHeld, "ES_DISPLAY_REQUIRED") && Within(tone.clockMs, Seven, Seven + Second) &&
           Says(tone, "PlaySoundA(tone, 0xf)"),
       "on Tuesday the empty playlist sounds the tone at 07:00, held awake"},
      {Says(toneAnswer, "presses stop") && Says(toneEnds, "PlaySoundA(NULL") &&
           toneEnds.clockMs - toneAnswer.clockMs < Second && Says(toneReleased, "released"),
       "the user's Stop ends the tone and the hold"},
      {Says(lateHold, "ES_SYSTEM_REQUIRED") && Within(latePick.clockMs, Seven + 4 * 60 * Second, Seven + 4 * 60 * Second + 2 * Second) &&
           lateFadeIn.from == ShowcaseVolStart && Says(lateStopped, "released"),
       "resumed at 07:04 on Wednesday, the alarm it stepped over rings at once, faded in"},
      {Within(dailyFade.clockMs, TenToMidnight, TenToMidnight + Second) && dailyFade.from == ShowcaseQuietVolume &&
           dailyStandby.clockMs - dailyFade.clockMs < 6 * Second && Says(stillOpen, "stays open"),
       "the daily sleep timer fades out at 23:50 and asks for standby, the player kept open"},
      {Says(skipWake, "2026-12-18 06:58") && Says(skipChosen, "Skip the next alarm") &&
           Says(thursday, "passes in silence"),
       "Thursday's alarm skipped from the menu on Wednesday evening passes in silence, the wake set for Friday"},
      {folder.steps == 3 && Says(folder, "Morning music\\01 Birdsong.mp3") && Within(folderPlay.clockMs, Seven, Seven + Second) &&
           folderBack.steps == 12 && Says(folderBack, "Track 01.mp3") && folderReleased.clockMs - folderBack.clockMs < Second,
       "the next Friday the alarm plays its folder's three audio files, and Stop brings the user's twelve entries back"},
      {stream.steps == 1 && Says(stream, "offline.invalid") && Within(streamPlay.clockMs, 9 * 3600 * Second, 9 * 3600 * Second + Second) &&
           Within(fallback.clockMs, streamPlay.clockMs + 30 * Second, streamPlay.clockMs + 32 * Second) &&
           usersList.steps == 12 && usersPlay.clockMs - fallback.clockMs < Second,
       "on Saturday the stream that is down gives way after 30 seconds to the user's own playlist, which plays"},
  };
  for (const auto& c : checks) {
    if (!c.holds) {
      *why = std::string("not so: ") + c.what;
      return false;
    }
  }
  return true;
}
