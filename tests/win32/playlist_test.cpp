// The stand-in player's playlist by path, and the plug-in's playlist seam against it: the
// saved list, an alarm's music. The seam's Win32 code is linked in here to be driven directly.
#include "bench.h"

#include <shellapi.h>
#include <shlobj.h>
#include "seam/descriptor.h"
#include "seam/host_player.h"

PluginDescriptor Plugin;
int32_t PlayerIpc(int32_t data, int32_t code) {
  return static_cast<int32_t>(SendMessageA(Plugin.hwndParent, WM_USER, data, code));
}
int32_t ListLength() { return PlayerIpc(0, IpcGetListLength); }

namespace {

std::wstring Temp() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return temp;
}

void RemoveTree(const std::wstring& folder) {
  std::wstring from = folder.substr(0, folder.size() - 1) + L'\0';  // a list of names
  SHFILEOPSTRUCTW op = {NULL, FO_DELETE, from.c_str(), NULL, FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT};
  SHFileOperationW(&op);
}

void Touch(const std::wstring& path) {
  SHCreateDirectoryExW(NULL, path.substr(0, path.find_last_of(L'\\')).c_str(), NULL);
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
}

void WriteFileText(const std::wstring& path, const std::string& text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, NULL);
  CloseHandle(file);
}

class Playlist : public PluginTest {
 protected:
  std::wstring root;
  void SetUp() override {
    PluginTest::SetUp();
    RouteSeamCalls(GetModuleHandleA(NULL));
    Plugin.hwndParent = main;
    root = Temp() + L"dawnbell playlist " + std::to_wstring(GetCurrentProcessId()) + L"\\";
    RemoveTree(root);
    CreateDirectoryW(root.c_str(), NULL);
    Seen.appData = root + L"appdata";
    CreateDirectoryW(Seen.appData.c_str(), NULL);
  }
  void TearDown() override {
    RemoveTree(root);
    PluginTest::TearDown();
  }
  std::wstring SavedFile() const { return Seen.appData + L"\\Dawnbell\\saved playlist.dat"; }
  bool Saved() const { return GetFileAttributesW(SavedFile().c_str()) != INVALID_FILE_ATTRIBUTES; }
  int Enqueue(const std::wstring& path, bool wide = true) {
    std::string ansi(path.begin(), path.end());
    COPYDATASTRUCT copy = {wide ? 1100u : 100u, static_cast<DWORD>(wide ? path.size() * 2 : ansi.size()),
                           wide ? static_cast<void*>(const_cast<wchar_t*>(path.c_str())) : &ansi[0]};
    return static_cast<int>(SendMessageW(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)));
  }
  std::vector<std::wstring> Paths() const {
    std::vector<std::wstring> paths;
    for (size_t i = 0; i < Player.lengthsMs.size(); ++i) paths.push_back(EntryPath(static_cast<int>(i)));
    return paths;
  }
};

}  // namespace

// Files, playlist files (their entries, relative ones beside them, a missing one skipped) and
// streams go in by either code; the list answers paths by index, in UTF-16 and ANSI.
TEST_F(Playlist, ThePlayerEnqueuesByPathAndAnswersPathsByIndex) {
  const std::wstring song = root + L"M\u00fcsik\\\u671d\\a.mp3", plain = root + L"b.mp3";
  Touch(song);
  Touch(plain);
  WriteFileText(root + L"list.m3u8", "#EXTM3U\r\nM\xC3\xBCsik\\\xE6\x9C\x9D\\a.mp3\r\ngone.mp3\r\nhttp://radio.example/live\r\n");
  WriteFileText(root + L"list.pls", "[playlist]\nFile1=b.mp3\nTitle1=B\nFile2=https://offline.invalid/x\n");
  Player.lengthsMs = {1000};
  EXPECT_EQ(1, Enqueue(song));
  EXPECT_EQ(1, Enqueue(plain, false));
  EXPECT_EQ(1, Enqueue(root + L"list.m3u8"));
  EXPECT_EQ(1, Enqueue(root + L"list.pls"));
  EXPECT_EQ(1, Enqueue(root + L"missing.mp3"));
  const std::vector<std::wstring> expected = {L"C:\\Music\\Track 01.mp3", song, plain, song, L"http://radio.example/live",
                                              plain, L"https://offline.invalid/x"};
  EXPECT_TRUE(expected == Paths());
  EXPECT_STREQ(song.c_str(), reinterpret_cast<const wchar_t*>(SendMessageA(main, WM_USER, 1, 214)));
  EXPECT_STREQ(std::string(plain.begin(), plain.end()).c_str(), reinterpret_cast<const char*>(SendMessageA(main, WM_USER, 2, 211)));
  EXPECT_EQ(0, SendMessageA(main, WM_USER, 7, 214));
  EXPECT_EQ(-1, SendMessageA(main, WM_USER, 1, 105)) << "stopped";
  EXPECT_NE(std::string::npos, LogText().find("enqueue wide -> 1: " + Utf8(root) + "missing.mp3 (+0)"));
  EXPECT_EQ(0, SendMessageA(main, WM_USER, 0, 101));
  EXPECT_EQ(0, SendMessageA(main, WM_USER, 0, 124));
}

TEST_F(Playlist, AnOlderPlayerAnswersNothingToTheWideCodes) {
  Player.olderPlayer = true;
  Player.lengthsMs = {1000};
  EXPECT_EQ(0x2095, SendMessageA(main, WM_USER, 0, 0));
  EXPECT_EQ(0, SendMessageA(main, WM_USER, 0, 214));
  EXPECT_NE(0, SendMessageA(main, WM_USER, 0, 211));
  EXPECT_EQ(0, Enqueue(L"http://radio.example/live"));
  EXPECT_EQ(1, Enqueue(L"http://radio.example/live", false));
  EXPECT_EQ(2u, Player.lengthsMs.size());
}

// A stream plays on for ever; one whose host is offline.invalid never starts.
TEST_F(Playlist, AStreamNeverEndsAndADownOneNeverStarts) {
  Player.lengthsMs.clear();
  Enqueue(L"http://radio.example/live");
  Enqueue(L"http://offline.invalid:8000/live");
  SendMessageA(main, WM_COMMAND, 40045, 0);
  AdvancePlayer(1e7);
  EXPECT_EQ(PlayerPlaying, Player.status);
  EXPECT_EQ(0, Player.current);
  EXPECT_EQ(-1, SendMessageA(main, WM_USER, 1, 105)) << "a stream's length is unknown";
  SendMessageA(main, WM_COMMAND, 40048, 0);
  AdvancePlayer(60000);
  EXPECT_EQ(0, SendMessageA(main, WM_USER, 0, 105));
}

// Saved, replaced by an alarm's folder, put back: the same entries in order, the saved one
// selected at its position, not playing; the file gone.
TEST_F(Playlist, TheUsersListComesBackAsItWasAfterAnAlarmsFolder) {
  const std::wstring mine = root + L"M\u00fcsik\\\u671d\\mine.flac";
  Touch(mine);
  // Listed in another order than by path, whichever way a folder lists: case, and a subfolder.
  for (const wchar_t* name : {L"alarm\\B.mp3", L"alarm\\a.ogg", L"alarm\\m.flac", L"alarm\\m\\0.wav", L"alarm\\notes.txt"})
    Touch(root + name);
  Player.lengthsMs = {1000, 2000, 300000};
  Enqueue(mine);
  Enqueue(L"http://radio.example/live");
  Player.current = 2;
  SendMessageA(main, WM_COMMAND, 40045, 0);
  AdvancePlayer(42000);
  const std::vector<std::wstring> users = Paths();
  ASSERT_TRUE(SavePlaylist());
  EXPECT_TRUE(Saved());
  EXPECT_FALSE(SavePlaylist()) << "a saved list is never written over";
  EXPECT_EQ(4, EnqueueMusic(reinterpret_cast<const char16_t*>((root + L"alarm").c_str())));
  EXPECT_TRUE((std::vector<std::wstring>{root + L"alarm\\a.ogg", root + L"alarm\\B.mp3", root + L"alarm\\m.flac",
                                         root + L"alarm\\m\\0.wav"}) == Paths());
  SendMessageA(main, WM_COMMAND, 40047, 0);
  EXPECT_EQ(ListRestored, RestorePlaylist());
  EXPECT_TRUE(users == Paths());
  EXPECT_EQ(2, Player.current);
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_EQ(42000, Player.jumpedMs);
  EXPECT_FALSE(Saved());
  EXPECT_EQ(NoSavedList, RestorePlaylist());
}

// Any change to the file, a byte or its end, and nothing is put back: the file stays, named.
TEST_F(Playlist, ADamagedFileIsLeftInPlaceAndNamedNeverHalfRestored) {
  for (int damage = 0; damage < 3; ++damage) {
    Player.lengthsMs = {1000, 2000, 3000};
    ASSERT_TRUE(SavePlaylist());
    HANDLE file = CreateFileW(SavedFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    BYTE byte = 0x5A;
    DWORD done;
    if (damage == 0) SetFilePointer(file, 30, NULL, FILE_BEGIN), WriteFile(file, &byte, 1, &done, NULL);
    if (damage == 1) SetFilePointer(file, -3, NULL, FILE_END), SetEndOfFile(file);
    if (damage == 2) SetFilePointer(file, 0, NULL, FILE_END), WriteFile(file, &byte, 1, &done, NULL);
    CloseHandle(file);
    Player.lengthsMs = {5000};
    EXPECT_EQ(SavedListDamaged, RestorePlaylist()) << damage;
    EXPECT_EQ(1u, Player.lengthsMs.size()) << damage;
    EXPECT_TRUE(Saved());
    EXPECT_NE(std::string::npos, LogText().find("plug-in: Dawnbell: saved list damaged, left: " +
                                                Utf8(SavedFile())));
    DeleteFileW(SavedFile().c_str());
  }
}

TEST_F(Playlist, AnUnwritableFolderSavesNothingAndTouchesNothing) {
  Touch(root + L"file");
  Seen.appData = root + L"file\\below";
  Player.lengthsMs = {1000, 2000};
  EXPECT_FALSE(SavePlaylist());
  EXPECT_EQ(2u, Player.lengthsMs.size());
  EXPECT_NE(std::string::npos, LogText().find("plug-in: Dawnbell: cannot save the playlist"));
}

// What cannot play leaves the list as it was, and says why; an older player gets ANSI paths
// where they convert without loss.
TEST_F(Playlist, MusicThatCannotBeEnqueuedLeavesTheListAlone) {
  Touch(root + L"empty\\readme.txt");
  Touch(root + L"\u671d.mp3");
  Touch(root + L"plain.mp3");
  Player.lengthsMs = {1000, 2000};
  auto music = [&](const std::wstring& path) { return EnqueueMusic(reinterpret_cast<const char16_t*>(path.c_str())); };
  EXPECT_EQ(0, music(root + L"gone.mp3"));
  EXPECT_EQ(0, music(root + L"empty"));
  Player.olderPlayer = true;
  EXPECT_EQ(0, music(root + L"\u671d.mp3"));
  EXPECT_EQ(2u, Player.lengthsMs.size());
  std::string log = LogText();
  for (const char* why : {"music missing: ", "no audio files in ", "no Unicode in this player"})
    EXPECT_NE(std::string::npos, log.find(why)) << why;
  EXPECT_EQ(1, music(root + L"plain.mp3"));
  EXPECT_TRUE(std::vector<std::wstring>{root + L"plain.mp3"} == Paths());
  EXPECT_NE(std::string::npos, LogText().find("enqueue ansi -> 1: "));
}

// A folder gives its first 2,000 files by path; 10,000 entries save and restore within a second each.
TEST_F(Playlist, LargeListsAndFoldersStayWithinTheirBounds) {
  for (int i = 0; i < 2003; ++i) Touch(root + L"big\\" + (i % 2 ? L"x\\" : L"") + std::to_wstring(10000 + i) + L".mp3");
  Player.lengthsMs.assign(10000, 1000);
  Player.current = 9999;
  const std::vector<std::wstring> users = Paths();
  DWORD start = GetTickCount();
  ASSERT_TRUE(SavePlaylist());
  DWORD saved = GetTickCount() - start;
  EXPECT_EQ(2000, EnqueueMusic(reinterpret_cast<const char16_t*>((root + L"big").c_str())));
  EXPECT_EQ(root + L"big\\10000.mp3", EntryPath(0));
  EXPECT_EQ(root + L"big\\x\\11995.mp3", EntryPath(1999));
  start = GetTickCount();
  EXPECT_EQ(ListRestored, RestorePlaylist());
  DWORD restored = GetTickCount() - start;
  EXPECT_TRUE(users == Paths());
  EXPECT_EQ(9999, Player.current);
  EXPECT_LT(saved, 1000u);
  EXPECT_LT(restored, 1000u);
  printf("figure: save a 10,000-entry playlist %lu ms, restore it %lu ms  goal < 1000 each\n",
         static_cast<unsigned long>(saved), static_cast<unsigned long>(restored));
}

// ---- through the real DLL

namespace {

BOOL CALLBACK DestroyIfOf(HWND window, LPARAM module) {
  if (GetWindowLongPtrA(window, GWLP_HINSTANCE) == module) DestroyWindow(window);
  return TRUE;
}

class OwnMusic : public Playlist {
 protected:
  void MusicAtSeven(const std::wstring& music) {
    WriteDword("StartOn", 1);
    WriteDword("StartH", 7);
    WriteMusic(1, music);
    SetSimulatedClock(6, 59, 59);
    Player.current = 5;
    users = Paths();
  }
  bool Ringing() {
    return PumpUntil(5000, [] { return Player.status == PlayerPlaying; });
  }
  std::vector<std::wstring> users;
};

}  // namespace

// The folder plays while it rings; stopped, the user's list is back as it was, the entry
// selected, not playing, and no file is left.
TEST_F(OwnMusic, AFolderRingsAndStoppedLeavesTheUsersListAsItWas) {
  for (const wchar_t* name : {L"M\u00fcsik\\\u671d\\b.mp3", L"M\u00fcsik\\\u671d\\a.mp3"}) Touch(root + name);
  MusicAtSeven(root + L"M\u00fcsik\\\u671d");
  Init();
  ASSERT_TRUE(Ringing()) << LogText();
  EXPECT_TRUE((std::vector<std::wstring>{root + L"M\u00fcsik\\\u671d\\a.mp3", root + L"M\u00fcsik\\\u671d\\b.mp3"}) == Paths());
  EXPECT_TRUE(Saved());
  SendMessageA(main, WM_COMMAND, 40047, 0);  // the player's Stop
  Pump(2000);
  EXPECT_TRUE(users == Paths());
  EXPECT_EQ(5, Player.current);
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_FALSE(Saved());
}

// A stream that never starts gives way after 30 s to the user's own list, which plays.
TEST_F(OwnMusic, AStreamThatIsDownGivesWayToTheUsersListAfterThirtySeconds) {
  MusicAtSeven(L"http://offline.invalid/live");
  WriteDword("Random", 1);
  WriteDword("VolUp", 1);
  WriteDword("VolStart", 100);
  WriteDword("VolEnd", 160);
  WriteDword("TimeOut", 40);
  Init();
  ASSERT_TRUE(Ringing());
  EXPECT_TRUE(std::vector<std::wstring>{L"http://offline.invalid/live"} == Paths());
  Pump(25000);
  EXPECT_EQ(1u, Player.lengthsMs.size());
  ASSERT_TRUE(PumpUntil(10000, [&] { return Player.lengthsMs.size() == users.size(); })) << LogText();
  EXPECT_TRUE(users == Paths());
  EXPECT_TRUE(Ringing());
  for (int second = 0; second < 40; ++second) Pump(1000), AdvancePlayer(1000);
  EXPECT_TRUE(Seen.tone.empty()) << "the user's list is heard: no tone";
  EXPECT_FALSE(Saved());
}

// The player crashes mid-alarm: the next load puts the user's list back before the start-up's
// play, which then plays it, and the computer's volume the alarm raised as it was found.
TEST_F(OwnMusic, ACrashMidAlarmIsMendedAtTheNextLoadBeforeTheStartUpPlay) {
  Touch(root + L"wake.mp3");
  MusicAtSeven(root + L"wake.mp3");
  Init();
  ASSERT_TRUE(Ringing());
  ASSERT_TRUE(Saved());
  ASSERT_TRUE(PumpUntil(3000, [] { return !Audio.muted; }));
  WriteDword("PlayAtStart", 1);
  DestroyWindow(main);  // gone without a close, the plug-in without its quit
  // A real crash ends the process; here its ownerless ringing window (and the key hook it
  // holds) must go too, or they outlive the freed DLL and run a later copy loaded in its place.
  EnumThreadWindows(GetCurrentThreadId(), DestroyIfOf, reinterpret_cast<LPARAM>(plugin.module));
  plugin.plugin = nullptr;
  ClosePlugin(&plugin);
  plugin = LoadedPlugin{};
  DeleteFileA(copyPath.c_str());
  Player = PlayerState{};
  Player.lengthsMs = {1000};  // what the player found at its restart
  main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
  SetSimulatedClock(7, 30, 0);
  Init();
  EXPECT_TRUE(users == Paths());
  EXPECT_FALSE(Saved());
  EXPECT_EQ(PlayerPlaying, Player.status) << "the start-up's play, on the user's list";
  EXPECT_EQ("muted at 12%", AudioState()) << "the computer's volume as the alarm found it";
}

// Closing the player while the user plays the alarm's music on puts the list back first.
TEST_F(OwnMusic, ClosingWhileTheAlarmsMusicPlaysOnPutsTheListBackFirst) {
  Touch(root + L"wake.mp3");
  MusicAtSeven(root + L"wake.mp3");
  Init();
  ASSERT_TRUE(Ringing());
  Player.volume = 100;  // the sleeper answers by the volume: the music plays on
  Pump(3000);
  EXPECT_EQ(PlayerPlaying, Player.status);
  EXPECT_EQ(1u, Player.lengthsMs.size());
  ClosePlayer();
  EXPECT_TRUE(users == Paths());
  EXPECT_FALSE(Saved());
}
