// An alarm's own music into the player: a file, a playlist file (the player reads it), a
// folder's audio files, a stream address.
#include <windows.h>

#include "host_player.h"
#include "playlist_ipc.h"

static const WCHAR PlaysList[] = L"; plays the player's list";

// A folder gives at most this many files: the first by path.
enum { MostFiles = 2000 };

static WCHAR Files[MostFiles][MAX_PATH];
static int16_t Order[MostFiles];  // slots of Files, sorted by path
static int FileCount;
static WCHAR Walk[MAX_PATH];

// The extensions the README lists as audio.
static bool AudioFile(const WCHAR* name) {
  static const WCHAR* const Kinds[] = {L".mp3", L".ogg", L".opus", L".flac", L".wav", L".m4a", L".aac", L".wma"};
  const WCHAR* dot = nullptr;
  for (const WCHAR* p = name; *p; ++p)
    if (*p == L'.') dot = p;
  if (!dot) return false;
  for (const WCHAR* kind : Kinds)
    if (lstrcmpiW(dot, kind) == 0) return true;
  return false;
}

// Keeps the path if it is among the first MostFiles by path so far.
// No C runtime here: the shift stays a loop rather than a call to memmove.
__attribute__((optimize("no-tree-loop-distribute-patterns"))) static void Keep(const WCHAR* path) {
  int low = 0, high = FileCount;
  while (low < high) {
    int middle = (low + high) / 2;
    if (lstrcmpiW(Files[Order[middle]], path) <= 0) low = middle + 1;
    else high = middle;
  }
  if (low >= MostFiles) return;
  int slot = FileCount < MostFiles ? FileCount++ : Order[MostFiles - 1];
  for (int i = FileCount - 1; i > low; --i) Order[i] = Order[i - 1];
  Order[low] = static_cast<int16_t>(slot);
  lstrcpynW(Files[slot], path, MAX_PATH);
}

// Walk holds the folder; its audio files, subfolders included.
static void Gather() {
  int length = lstrlenW(Walk);
  if (length + 3 >= MAX_PATH) return;
  lstrcatW(Walk, L"\\*");
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Walk, &found);
  Walk[length] = 0;
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const WCHAR* name = found.cFileName;
    if (name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2]))) continue;
    if (length + 1 + lstrlenW(name) >= MAX_PATH) continue;  // too deep for the player to open
    lstrcatW(Walk, L"\\");
    lstrcatW(Walk, name);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Gather();  // no loops
    } else if (AudioFile(name) && PathFits(Walk)) {
      Keep(Walk);
    }
    Walk[length] = 0;
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

static bool Stream(const WCHAR* music) {
  WCHAR scheme[9];
  lstrcpynW(scheme, music, 8);
  if (lstrcmpiW(scheme, L"http://") == 0) return true;
  lstrcpynW(scheme, music, 9);
  return lstrcmpiW(scheme, L"https://") == 0;
}

int32_t EnqueueMusic(const char16_t* text) {
  const WCHAR* music = reinterpret_cast<const WCHAR*>(text);
  DWORD attributes = GetFileAttributesW(music);
  bool folder = !Stream(music) && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  FileCount = 0;
  AskWideCodes();
  if (folder) {
    lstrcpynW(Walk, music, MAX_PATH);
    int length = lstrlenW(Walk);
    if (length && (Walk[length - 1] == L'\\' || Walk[length - 1] == L'/')) Walk[length - 1] = 0;
    Gather();
    if (!FileCount) {
      NoteInLog(L"no audio files in ", music, PlaysList);
      return 0;
    }
  } else if (!Stream(music) && attributes == INVALID_FILE_ATTRIBUTES) {
    NoteInLog(L"music missing: ", music, PlaysList);
    return 0;
  } else if (!PathFits(music)) {
    NoteInLog(L"no Unicode in this player, no ANSI name for ", music, PlaysList);
    return 0;
  }
  PlayerIpc(0, IpcDeleteList);
  if (!folder) AppendPath(music);
  for (int i = 0; i < FileCount; ++i) AppendPath(Files[Order[i]]);
  // A playlist file's entries, or a file gone since: what the player took is what counts.
  if (ListLength()) return ListLength();
  NoteInLog(L"nothing enqueued of ", music, PlaysList);
  return 0;
}
