// Random states of the plug-in's registry key, each met the way a player meets it: init,
// for some the settings dialog, then the player closing. One loaded module serves every
// state, each on a fresh player window, so what one state leaves in memory is what the next
// starts from, as in a long-running player. Seeded; DAWNBELL_FUZZ_SEED and
// DAWNBELL_FUZZ_STATES override the seed and the number of states.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <random>

#include "counters.h"
#include "crash_report.h"
#include "dialog_driver.h"

namespace {

enum { Count = 40 };  // the stored numbers
const char* const Names[Count] = {
    "StartOn", "StartOff", "VolUp", "Random", "One", "Activate", "StopOn", "StopOff",
    "VolDown", "Close", "Suspend", "ShutDown", "PlayAtStart", "HotKey", "AddMenu",
    "FromRange", "SavePos", "Hibernate", "WaitEnd", "UsePause", "UsePlay", "VolStart",
    "VolEnd", "TimeOut", "StartH", "StartM", "StopH", "StopM", "First", "Last", "MenuPos",
    "TrackPos", "TrackLength", "StartDays", "WakeUp", "Snooze", "RingLimit", "SilentTone",
    "SysVolume", "RingWindow"};
const int32_t Defaults[Count] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0,
                                 0, 0, 0, 255, 1000, 0, 0, 0, 0, 0, 0, 4, 0, 0, 127, 1, 9,
                                 60, 1, 30, 1};
enum {
  Flags = 21, AddMenuIndex = 14, VolStartIndex = 21, VolEndIndex = 22, TimeOutIndex = 23,
  FirstTimeIndex = 24, FirstNumberIndex = 28, MenuPosIndex = 30, TrackPosIndex = 31,
  TrackLengthIndex = 32, StartDaysIndex = 33, WakeUpIndex = 34,
};
const char DefaultText[] = "Dawnbell...";
const int TimeBoxes[4] = {25, 26, 27, 28};
const int TimeLimits[4] = {24, 60, 24, 60};
const int NumberEdits[3] = {42, 43, 44};
enum { TextSize = 255, TextLimit = 254 };  // the buffer, and the text before its zero

using Rng = std::mt19937;

int Below(Rng& rng, int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }

// ---------------------------------------------------------------- a random state
struct Value {
  bool present = false;
  DWORD type = REG_NONE;
  std::string bytes;
};

struct State {
  bool keyAbsent = false;
  bool keepSaved = false;  // written over what the plug-in saved last, not over nothing
  Value numbers[Count];
  Value menu;
  Value music[8];  // Alarm1Music .. Alarm8Music, UTF-16
  std::vector<std::pair<std::string, Value>> strangers;  // names the plug-in does not know
};

int32_t RandomNumber(Rng& rng) {
  static const int32_t edges[] = {INT32_MIN, INT32_MIN + 1, -2, -1, 0, 1, 2, 23, 24, 59, 60,
                                  253, 254, 255, 256, 9999, 10000, 0x7FFF, 0x8000, 0xFFFF,
                                  0x10000, INT32_MAX - 1, INT32_MAX};
  switch (Below(rng, 4)) {
    case 0: return Below(rng, 2);
    case 1: return Below(rng, 304) - 3;
    case 2: return edges[Below(rng, sizeof edges / sizeof *edges)];
    default: return static_cast<int32_t>(rng());
  }
}

std::string RandomBytes(Rng& rng, size_t n) {
  std::string bytes(n, '\0');
  for (char& c : bytes) c = static_cast<char>(rng());
  return bytes;
}

std::string Bytes(int32_t number) {
  return std::string(reinterpret_cast<const char*>(&number), sizeof number);
}

// Text as a user or another program might have left it: printable, with tabs and
// ampersands (menu syntax), and high bytes where the code page has one byte a character.
std::string RandomText(Rng& rng, size_t n) {
  static const bool singleByte = [] {
    CPINFO info;
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
  }();
  std::string text(n, ' ');
  for (char& c : text) {
    int kind = Below(rng, 20);
    if (kind == 0) c = '\t';
    else if (kind == 1) c = '&';
    else if (kind == 2 && singleByte) c = static_cast<char>(0xC0 + Below(rng, 64));
    else c = static_cast<char>(0x20 + Below(rng, 0x5F));
  }
  return text;
}

size_t HugeSize(Rng& rng) { return 65536 + static_cast<size_t>(Below(rng, 1 << 20)); }

Value RandomNumberValue(Rng& rng) {
  Value v;
  v.present = true;
  int r = Below(rng, 1000);
  if (r < 250) {
    v.present = false;
  } else if (r < 700) {
    v.type = REG_DWORD;
    v.bytes = Bytes(RandomNumber(rng));
  } else if (r < 750) {
    static const size_t wrong[] = {0, 1, 2, 3, 5, 8, 16, 300};
    v.type = REG_DWORD;
    v.bytes = RandomBytes(rng, wrong[Below(rng, 8)]);
  } else if (r < 800) {
    v.type = REG_QWORD;
    v.bytes = RandomBytes(rng, 8);
  } else if (r < 850) {
    v.type = REG_SZ;  // a number as text, with or without its terminator
    v.bytes = std::to_string(RandomNumber(rng));
    if (Below(rng, 2)) v.bytes.push_back('\0');
  } else if (r < 880) {
    v.type = REG_BINARY;  // the right size, the wrong type
    v.bytes = Bytes(RandomNumber(rng));
  } else if (r < 910) {
    v.type = REG_DWORD_BIG_ENDIAN;
    v.bytes = Bytes(RandomNumber(rng));
  } else if (r < 960) {
    static const DWORD types[] = {REG_NONE, REG_EXPAND_SZ, REG_MULTI_SZ, REG_LINK, 0x7FFFFFFF};
    v.type = types[Below(rng, 5)];
    v.bytes = RandomBytes(rng, static_cast<size_t>(Below(rng, 64)));
  } else if (r < 999) {
    v.type = Below(rng, 2) ? REG_DWORD : REG_BINARY;
    v.bytes = RandomBytes(rng, 256 + static_cast<size_t>(Below(rng, 4096)));
  } else {
    v.type = Below(rng, 2) ? REG_DWORD : REG_BINARY;
    v.bytes = RandomBytes(rng, HugeSize(rng));
  }
  return v;
}

Value RandomMenuValue(Rng& rng) {
  Value v;
  v.present = true;
  v.type = REG_SZ;
  int r = Below(rng, 100);
  if (r < 15) {
    v.present = false;
  } else if (r < 40) {
    v.bytes = RandomText(rng, static_cast<size_t>(Below(rng, 24))) + '\0';
  } else if (r < 55) {
    v.bytes = RandomText(rng, static_cast<size_t>(240 + Below(rng, 32)));  // around the limit
    if (Below(rng, 2)) v.bytes.push_back('\0');
  } else if (r < 70) {
    v.bytes = RandomText(rng, static_cast<size_t>(Below(rng, 300)));  // no terminator
  } else if (r < 77) {
    v.bytes = RandomText(rng, static_cast<size_t>(256 + Below(rng, 3000)));
    if (Below(rng, 2)) v.bytes.push_back('\0');
  } else if (r < 82) {
    v.bytes = RandomText(rng, static_cast<size_t>(1 + Below(rng, 300)));  // zeros inside
    for (int i = Below(rng, 3) + 1; i > 0; --i) v.bytes[static_cast<size_t>(Below(rng, static_cast<int>(v.bytes.size())))] = '\0';
  } else if (r < 84) {
    v.bytes.clear();  // an empty value, not even a terminator
  } else if (r < 86) {
    v.bytes = RandomText(rng, HugeSize(rng));
  } else {
    static const DWORD types[] = {REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_DWORD, REG_NONE};
    v.type = types[Below(rng, 5)];
    v.bytes = v.type == REG_DWORD ? Bytes(RandomNumber(rng))
                                  : RandomText(rng, static_cast<size_t>(Below(rng, 40))) + '\0';
  }
  return v;
}

// An alarm's music: short, around the limit or far over it, one in ten unterminated, one in
// ten of another type.
Value RandomMusicValue(Rng& rng) {
  static const wchar_t chars[] = L"aZ9 .\\:/\u00fc\u671d";
  Value v;
  v.present = Below(rng, 5) != 0;
  v.type = REG_SZ;
  int r = Below(rng, 10);
  size_t n = static_cast<size_t>(r < 5 ? Below(rng, 40) : r < 8 ? 1020 + Below(rng, 8) : Below(rng, 3000));
  std::wstring text;
  for (size_t i = 0; i < n; ++i) text += chars[Below(rng, 10)];
  if (r != 6) text += L'\0';
  if (r == 9) v.type = Below(rng, 2) ? REG_EXPAND_SZ : REG_BINARY;
  v.bytes.assign(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  return v;
}

std::wstring MusicName(int slot) { return L"Alarm" + std::to_wstring(slot + 1) + L"Music"; }

// What the plug-in should hold for a value as the registry holds it: a REG_SZ of at most 1,023
// characters (one terminator aside), up to its first zero; anything else is no music.
std::wstring MusicAsRead(int slot) {
  HKEY key;
  WCHAR data[4096] = {};
  DWORD type = 0, size = sizeof data;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, PluginKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"";
  LONG status = RegQueryValueExW(key, MusicName(slot).c_str(), NULL, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  size_t n = size / sizeof(WCHAR);
  if (n && !data[n - 1]) --n;
  if (status != ERROR_SUCCESS || type != REG_SZ || n >= 1024) return L"";
  return std::wstring(data, n).c_str();
}

State RandomState(Rng& rng) {
  State s;
  int mode = Below(rng, 100);
  s.keyAbsent = mode < 5;
  s.keepSaved = mode >= 80;
  if (s.keyAbsent) return s;
  // Over a saved key, only a few values change; otherwise every value is drawn.
  for (Value& v : s.numbers) {
    if (!s.keepSaved || Below(rng, 8) == 0) v = RandomNumberValue(rng);
  }
  if (!s.keepSaved || Below(rng, 4) == 0) s.menu = RandomMenuValue(rng);
  for (Value& m : s.music)
    if (!s.keepSaved || Below(rng, 8) == 0) m = RandomMusicValue(rng);
  for (int i = Below(rng, 4) - 1; i > 0; --i)
    s.strangers.push_back({"Stranger" + std::to_string(i), RandomNumberValue(rng)});
  if (Below(rng, 20) == 0) s.strangers.push_back({"", RandomMenuValue(rng)});  // the default value
  return s;
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "NONE";
    case REG_SZ: return "SZ";
    case REG_EXPAND_SZ: return "EXPAND_SZ";
    case REG_BINARY: return "BINARY";
    case REG_DWORD: return "DWORD";
    case REG_DWORD_BIG_ENDIAN: return "DWORD_BE";
    case REG_LINK: return "LINK";
    case REG_MULTI_SZ: return "MULTI_SZ";
    case REG_QWORD: return "QWORD";
  }
  return "?";
}

std::string Describe(const char* name, const Value& v) {
  char text[96];
  if (v.bytes.size() == 4 && v.type != REG_SZ)
    snprintf(text, sizeof text, " %s=%s(%d)", name, TypeName(v.type),
             *reinterpret_cast<const int32_t*>(v.bytes.data()));
  else
    snprintf(text, sizeof text, " %s=%s[%zu bytes%s]", name, TypeName(v.type), v.bytes.size(),
             !v.bytes.empty() && v.bytes.back() == '\0' ? ", last 0" : "");
  return text;
}

std::string Describe(const State& s) {
  if (s.keyAbsent) return "no key";
  std::string text = s.keepSaved ? "over the saved key:" : "fresh key:";
  for (int i = 0; i < Count; ++i)
    if (s.numbers[i].present) text += Describe(Names[i], s.numbers[i]);
  if (s.menu.present) text += Describe("MenuName", s.menu);
  for (const auto& stranger : s.strangers) text += Describe(stranger.first.c_str(), stranger.second);
  return text;
}

void WriteState(const State& s) {
  if (!s.keepSaved) DeleteKey(PluginKeyPath);
  if (s.keyAbsent) return;
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, PluginKeyPath, 0, NULL, 0,
                                           KEY_ALL_ACCESS, NULL, &key, NULL));
  auto write = [key](const char* name, const Value& v) {
    if (!v.present) {
      return;
    }
    RegSetValueExA(key, name, 0, v.type, reinterpret_cast<const BYTE*>(v.bytes.data()),
                   static_cast<DWORD>(v.bytes.size()));
  };
  for (int i = 0; i < Count; ++i) write(Names[i], s.numbers[i]);
  write("MenuName", s.menu);
  for (int i = 0; i < 8; ++i)
    if (s.music[i].present)
      RegSetValueExW(key, MusicName(i).c_str(), 0, s.music[i].type, reinterpret_cast<const BYTE*>(s.music[i].bytes.data()),
                     static_cast<DWORD>(s.music[i].bytes.size()));
  for (const auto& stranger : s.strangers) write(stranger.first.c_str(), stranger.second);
  RegCloseKey(key);
}

// ---------------------------------------------------------------- what the plug-in should hold
// A number loads only from a 4-byte DWORD; anything else leaves memory as it was.
void ExpectLoaded(const State& s, int32_t memory[Count]) {
  for (int i = 0; i < Count; ++i) {
    const Value& v = s.numbers[i];
    if (v.present && v.type == REG_DWORD && v.bytes.size() == 4)
      memory[i] = *reinterpret_cast<const int32_t*>(v.bytes.data());
  }
}

// The texts the plug-in may hold after init: what the registry returns, cut at its first
// zero and to the buffer; a text too long for any buffer may instead leave the default.
std::vector<std::string> AcceptableTexts() {
  static std::vector<char> data(4 << 20);
  DWORD type = 0, size = static_cast<DWORD>(data.size());
  HKEY key;
  LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, PluginKeyPath, 0, KEY_READ, &key);
  if (status == ERROR_SUCCESS) {
    status = RegQueryValueExA(key, "MenuName", NULL, &type,
                              reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS || type != REG_SZ) return {DefaultText};
  std::string text(data.data(), size);
  text = text.substr(0, text.find('\0'));
  if (size <= TextSize) return {text};
  return {text.substr(0, TextLimit), DefaultText};
}

bool OneOf(const std::string& text, const std::vector<std::string>& acceptable) {
  for (const std::string& a : acceptable)
    if (text == a) return true;
  return false;
}

std::string Shown(int32_t value) { return std::to_string(static_cast<int32_t>(static_cast<uint32_t>(value) + 1u)); }

// ---------------------------------------------------------------- the player's context menu
HMENU LargeMenu() {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < PlayerMenuCount; ++i) AppendMenuA(menu, MF_STRING, 40000 + i, "Item");
  return menu;
}

int PositionOf(HMENU menu, UINT id) {
  for (int i = GetMenuItemCount(menu); i-- > 0;)
    if (GetMenuItemID(menu, i) == id) return i;
  return -1;
}

// Opens and closes the player's menu; returns the item's text, or "" when there is none.
std::string MenuItemText(HWND main, int32_t menuPos, bool expectItem) {
  HMENU menu = LargeMenu();
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  std::string text;
  // The settings item and, right after it, the sleep timer's and the alarm's submenus.
  EXPECT_EQ(PlayerMenuCount + (expectItem ? 3 : 0), GetMenuItemCount(menu));
  if (expectItem) {
    uint32_t at = static_cast<uint32_t>(menuPos) + 1u;  // past the end appends
    EXPECT_EQ(at <= PlayerMenuCount ? static_cast<int>(at) : PlayerMenuCount, PositionOf(menu, 1025));
    EXPECT_TRUE(GetSubMenu(menu, PositionOf(menu, 1025) + 1) != NULL);
    char buffer[1024];
    int n = GetMenuStringA(menu, 1025, buffer, sizeof buffer, MF_BYCOMMAND);
    text.assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
  }
  SendMessageA(main, WM_EXITMENULOOP, FALSE, 0);
  EXPECT_EQ(PlayerMenuCount, GetMenuItemCount(menu));
  EXPECT_EQ(-1, PositionOf(menu, 1025));
  DestroyMenu(menu);
  return text;
}

// ---------------------------------------------------------------- the settings dialog
// Checks that every control shows the loaded state within its range, notes what the dialog
// will save, and closes it one of the three ways.
void CheckAndClose(HWND d, const int32_t loaded[Count], const std::string& text, int way,
                   int32_t saved[Count], std::string* savedText) {
  for (int i = 0; i < Flags; ++i) {
    EXPECT_EQ(loaded[i] != 0, Checked(d, 4 + i)) << Names[i] << " " << loaded[i];
    saved[i] = Checked(d, 4 + i);
  }
  for (int i = 0; i < 4; ++i) {
    int32_t value = loaded[FirstTimeIndex + i];
    int selection = Selection(d, TimeBoxes[i]);
    EXPECT_EQ(value >= 0 && value < TimeLimits[i] ? value : -1, selection) << Names[FirstTimeIndex + i];
    saved[FirstTimeIndex + i] = selection;
  }
  for (int i = 0; i < 3; ++i) {
    int32_t value = loaded[FirstNumberIndex + i];
    EXPECT_EQ(Shown(value), Text(d, NumberEdits[i])) << Names[FirstNumberIndex + i];
    saved[FirstNumberIndex + i] = value == -1 ? 0 : value;  // 0 and 1 both mean the first
  }
  std::string edit = Text(d, 36);
  EXPECT_LE(edit.size(), size_t(TextLimit));
  EXPECT_EQ(text, edit);
  *savedText = edit;

  int start = SliderPos(d, 29), end = SliderPos(d, 30), step = SliderPos(d, 31);
  EXPECT_TRUE(start >= 0 && start <= 254) << start;
  EXPECT_TRUE(end >= 1 && end <= 255) << end;
  EXPECT_LT(start, end);
  EXPECT_TRUE(step >= 1 && step <= 9999) << step;
  int32_t vs = loaded[VolStartIndex], ve = loaded[VolEndIndex], to = loaded[TimeOutIndex];
  if (vs >= 0 && ve <= 255 && vs < ve) {
    EXPECT_EQ(vs, start);
    EXPECT_EQ(ve, end);
  }
  if (to >= 1 && to <= 9999) {
    EXPECT_EQ(to, step);
  }
  EXPECT_EQ(std::to_string(start * 100 / 255) + "%", Text(d, 32));
  EXPECT_EQ(std::to_string(end * 100 / 255) + "%", Text(d, 33));
  EXPECT_EQ(std::to_string(step), Text(d, 34));
  saved[VolStartIndex] = start;
  saved[VolEndIndex] = end;
  saved[TimeOutIndex] = step;

  int32_t days = loaded[StartDaysIndex] & 127;  // the days of the week; higher bits drop
  for (int day = 0; day < 7; ++day) EXPECT_EQ((days >> day & 1) != 0, Checked(d, 45 + day)) << day;
  saved[StartDaysIndex] = days;
  EXPECT_EQ(loaded[WakeUpIndex] != 0, Checked(d, 52));
  saved[WakeUpIndex] = Checked(d, 52);

  EXPECT_EQ(Checked(d, 19), Enabled(d, 42));
  EXPECT_EQ(Checked(d, 16), Enabled(d, 20));
  EXPECT_EQ(Checked(d, 18), Enabled(d, 36));

  switch (way) {
    case 0: Click(d, 2); break;
    case 1: SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    default: SendMessageA(d, WM_COMMAND, IDCANCEL, 0); break;  // Escape's command
  }
}

// ---------------------------------------------------------------- the saved key
// Reads back what the plug-in saved: 39 four-byte DWORDs and a terminated text.
bool ReadSaved(int32_t saved[Count], std::string* text) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, PluginKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    ADD_FAILURE() << "no saved key";
    return false;
  }
  bool good = true;
  for (int i = 0; i < Count; ++i) {
    DWORD type = 0, size = sizeof saved[i];
    LONG status = RegQueryValueExA(key, Names[i], NULL, &type, reinterpret_cast<BYTE*>(&saved[i]), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != 4) {
      ADD_FAILURE() << Names[i] << " saved as type " << type << ", " << size << " bytes";
      good = false;
    }
  }
  char buffer[4096];
  DWORD type = 0, size = sizeof buffer;
  LONG status = RegQueryValueExA(key, "MenuName", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ || size == 0 || size > TextSize ||
      buffer[size - 1] != '\0' || strlen(buffer) != size - 1) {
    ADD_FAILURE() << "MenuName saved as type " << type << ", " << size << " bytes";
    return false;
  }
  text->assign(buffer, size - 1);
  return good;
}

// The player's last answers to the position and length queries: what the close saved.
int32_t LastAnswer(WPARAM which) {
  for (size_t i = PlayerLog.size(); i-- > 0;)
    if (PlayerLog[i].message == WM_USER && PlayerLog[i].lParam == 105 && PlayerLog[i].wParam == which)
      return static_cast<int32_t>(PlayerLog[i].result);
  return INT32_MIN;
}

unsigned FromEnvironment(const char* name, unsigned fallback) {
  const char* text = getenv(name);
  return text && *text ? static_cast<unsigned>(strtoul(text, nullptr, 0)) : fallback;
}

// A fault that hangs the plug-in must not hang the run: with no state done for a minute,
// the watchdog names the state and the seed and ends the process.
struct Watch {
  volatile LONG state = 0;
  unsigned seed = 0;
  HANDLE done = NULL;
};
Watch Watched;

DWORD WINAPI Watchdog(void*) {
  LONG last = -1;
  while (WaitForSingleObject(Watched.done, 60000) == WAIT_TIMEOUT) {
    LONG now = Watched.state;
    if (now == last) {
      fprintf(stderr, "fuzz: state %ld has run for a minute (seed %u): giving up\n", now, Watched.seed);
      fflush(stderr);
      ExitProcess(3);
    }
    last = now;
  }
  return 0;
}

// A player window of the player's own class and procedure, as a message-only window: the
// plug-in meets it exactly as the shown one, and Wine makes it in a third of the time.
HWND PlayerWindowUnseen() {
  return CreateWindowExA(0, PlayerClassName, "Dawnbell stand-in player", WS_OVERLAPPEDWINDOW, 0, 0,
                         420, 220, HWND_MESSAGE, NULL, GetModuleHandleA(NULL), NULL);
}

GeneralPlugin* Record;
void QuitOnClose() { Record->quit(); }  // the host quits its plug-ins as its window closes

}  // namespace

class FuzzRegistry : public PluginTest {
 protected:
  void Fuzz(unsigned defaultStates);
};
using SoakFuzzRegistry = FuzzRegistry;

// A short run in every test run; the long one in the soak.
TEST_F(FuzzRegistry, RandomStoredStatesLoadShowAndSaveBackWithinBounds) { Fuzz(200); }
TEST_F(SoakFuzzRegistry, TenThousandRandomStoredStatesLoadShowAndSaveBackWithinBounds) { Fuzz(10000); }

void FuzzRegistry::Fuzz(unsigned defaultStates) {
  const unsigned seed = FromEnvironment("DAWNBELL_FUZZ_SEED", 20261208);
  const int states = static_cast<int>(FromEnvironment("DAWNBELL_FUZZ_STATES", defaultStates));
  const int dialogOneIn = 50;  // under Wine a dialog costs 40 to 150 ms, a state without one 5 to 12
  SCOPED_TRACE("seed " + std::to_string(seed) + " (DAWNBELL_FUZZ_SEED reproduces the run)");

  Load();
  Record = plugin.plugin;
  CountResources(plugin.module);
  CountGdi(plugin.module);
  DestroyWindow(main);
  main = NULL;
  int windowsBefore = ThreadWindowCount();

  int32_t memory[Count];  // what the module holds between states
  std::copy(Defaults, Defaults + Count, memory);
  std::wstring music[8];  // and each alarm's music
  Rng rng(seed);
  int dialogs = 0, menusChecked = 0, ran = 0;
  Watched.seed = seed;
  Watched.done = CreateEventA(NULL, TRUE, FALSE, NULL);
  HANDLE watchdog = CreateThread(NULL, 0, Watchdog, NULL, 0, NULL);
  SetCrashNote([] {
    return "fuzz state " + std::to_string(Watched.state) + ", seed " + std::to_string(Watched.seed);
  });
  DWORD start = GetTickCount();
  for (int n = 0; n < states; ++n) {
    Watched.state = n;
    State s = RandomState(rng);
    bool withDialog = Below(rng, dialogOneIn) == 0;
    int way = Below(rng, 3);
    SCOPED_TRACE("state " + std::to_string(n) + (withDialog ? " with the dialog, " : ", ") + Describe(s));
    WriteState(s);

    int32_t loaded[Count];
    std::copy(memory, memory + Count, loaded);
    ExpectLoaded(s, loaded);
    std::vector<std::string> texts = AcceptableTexts();
    if (!s.keyAbsent)
      for (int i = 0; i < 8; ++i) music[i] = MusicAsRead(i);

    Player = PlayerState{};
    Player.onClose = QuitOnClose;
    PlayerLog.clear();
    // The clock's first tick comes a second after init, and only a dialog's loop pumps
    // before the close: no timed event fires, so only loading and the dialog change settings.
    SetSimulatedClock(12, 0, 30);
    main = PlayerWindowUnseen();
    Record->hwndParent = main;
    Record->init();

    std::string text;  // what the plug-in turned out to hold, among the acceptable
    if (loaded[AddMenuIndex]) {
      text = MenuItemText(main, loaded[MenuPosIndex], true);
      EXPECT_TRUE(OneOf(text, texts)) << "menu item \"" << text << "\"";
      ++menusChecked;
    } else {
      MenuItemText(main, 0, false);
    }

    int32_t expected[Count];
    std::copy(loaded, loaded + Count, expected);
    std::string expectedText = text;
    if (withDialog) {
      ++dialogs;
      RunSettingsUnseen(Record, [&](HWND d) {
        std::string shown = Text(d, 36);
        EXPECT_TRUE(OneOf(shown, texts)) << "item text \"" << shown << "\"";
        if (loaded[AddMenuIndex]) {
          EXPECT_EQ(text, shown);
        }
        CheckAndClose(d, loaded, shown, way, expected, &expectedText);
      });
    }

    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(main));
    int32_t saved[Count];
    std::string savedText;
    if (ReadSaved(saved, &savedText)) {
      for (int i = 0; i < Count; ++i) {
        if (i == TrackPosIndex || i == TrackLengthIndex) continue;  // the player's, checked below
        EXPECT_EQ(expected[i], saved[i]) << Names[i];
      }
      EXPECT_EQ(LastAnswer(0), saved[TrackPosIndex]);
      EXPECT_EQ(LastAnswer(1), saved[TrackLengthIndex]);
      if (!expectedText.empty() || withDialog) {
        EXPECT_EQ(expectedText, savedText);
      } else {
        EXPECT_TRUE(OneOf(savedText, texts)) << "saved \"" << savedText << "\"";
      }
      std::copy(saved, saved + Count, memory);
      for (int i = 0; i < 8; ++i) EXPECT_TRUE((music[i].empty() ? L"-" : music[i]) == StoredMusic(i + 1)) << "Alarm" << i + 1 << "Music";
    }
    ++ran;
    if (HasFailure()) break;  // the trace above names the state; the rest would only repeat it
  }
  double seconds = (GetTickCount() - start) / 1000.0;
  SetCrashNote(nullptr);
  SetEvent(Watched.done);
  WaitForSingleObject(watchdog, INFINITE);
  CloseHandle(watchdog);
  CloseHandle(Watched.done);
  main = NULL;
  plugin.plugin = nullptr;  // quit at every close already

  EXPECT_TRUE(Keys.open.empty()) << Keys.open.size() << " registry keys left open";
  EXPECT_EQ(0, Keys.strayCloses);
  EXPECT_EQ(MenuItems.inserts, MenuItems.removals);
  EXPECT_EQ(3 * menusChecked, MenuItems.inserts);  // the settings item and our two submenus
  EXPECT_EQ(dialogs, Dialogs.opened);
  EXPECT_EQ(dialogs, Dialogs.returned);
  EXPECT_TRUE(Gdi.live.empty());
  EXPECT_EQ(windowsBefore, ThreadWindowCount());
  printf("fuzz: seed %u, %d of %d states in %.1f s, settings dialog on %d of them\n", seed, ran,
         states, seconds, dialogs);
  PrintCounts("fuzz");
}

// The ends of the number range, which random states reach only now and then: shown one up,
// wrapping at the top, and saved back as they were; the menu item then goes at the end.
TEST_F(FuzzRegistry, TheExtremeNumbersShowWrappedAndSaveBackUnchanged) {
  WriteDword("First", static_cast<DWORD>(INT32_MAX));
  WriteDword("Last", static_cast<DWORD>(INT32_MIN));
  WriteDword("MenuPos", static_cast<DWORD>(INT32_MAX));
  Init();
  HMENU menu = LargeMenu();
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_EQ(PlayerMenuCount, PositionOf(menu, 1025));
  SendMessageA(main, WM_EXITMENULOOP, FALSE, 0);
  DestroyMenu(menu);
  RunSettings(plugin, [](HWND d) {
    EXPECT_EQ("-2147483648", Text(d, 42));
    EXPECT_EQ("-2147483647", Text(d, 43));
    EXPECT_EQ("-2147483648", Text(d, 44));
    Click(d, 2);
  });
  DWORD value = 0;
  EXPECT_TRUE(ReadDword("First", &value));
  EXPECT_EQ(static_cast<DWORD>(INT32_MAX), value);
  EXPECT_TRUE(ReadDword("Last", &value));
  EXPECT_EQ(static_cast<DWORD>(INT32_MIN), value);
  EXPECT_TRUE(ReadDword("MenuPos", &value));
  EXPECT_EQ(static_cast<DWORD>(INT32_MAX), value);
}
