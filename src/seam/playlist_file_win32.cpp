// The user's playlist in a file while an alarm plays its own music. Written under a temporary
// name and renamed over, so a crash leaves the whole file or none; read twice, first to check
// it, so a damaged file is never half put back.
#include <windows.h>
#include <shlobj.h>

#include "host_player.h"
#include "playlist_ipc.h"

// Layout, little-endian: the magic, the count of entries, the current entry, the position in
// ms; each entry its length in characters (16 bits) and its UTF-16 path; the sum of all bytes
// before it (FNV-1a) and the magic again, and nothing after.
enum : DWORD { FileMagic = 0x4C504244 };  // "DBPL"
enum { PathLimit = 32767 };

static WCHAR SavedPath[MAX_PATH + 40], TempPath[MAX_PATH + 40];
static HANDLE File;  // open only while a list is written or read
static BYTE Buffer[65536];
static DWORD Fill, Taken;
static DWORD Sum;
static bool Failed;
static WCHAR Path[PathLimit + 1];

// %APPDATA%\Dawnbell, made when missing; false when there is none to write in.
static bool FindFolder() {
  WCHAR folder[MAX_PATH];
  if (SHGetFolderPathW(NULL, CSIDL_APPDATA | CSIDL_FLAG_CREATE, NULL, 0, folder) != S_OK &&
      !GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH))
    return false;
  lstrcpynW(SavedPath, folder, MAX_PATH);
  lstrcatW(SavedPath, L"\\Dawnbell");
  CreateDirectoryW(SavedPath, NULL);
  lstrcatW(SavedPath, L"\\saved playlist.dat");
  lstrcpyW(TempPath, SavedPath);
  lstrcpyW(TempPath + lstrlenW(TempPath) - 3, L"tmp");
  return true;
}

static void Flush() {
  DWORD written = 0;
  if (Fill && (!WriteFile(File, Buffer, Fill, &written, NULL) || written != Fill)) Failed = true;
  Fill = 0;
}

static void Put(const void* data, DWORD size) {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  for (DWORD i = 0; i < size; ++i) {
    Sum = (Sum ^ bytes[i]) * 16777619u;
    if (Fill == sizeof Buffer) Flush();
    Buffer[Fill++] = bytes[i];
  }
}

static void PutNumber(DWORD n) { Put(&n, sizeof n); }

static bool WriteList(int32_t count) {
  Sum = 2166136261u;
  Fill = 0;
  Failed = false;
  PutNumber(FileMagic);
  PutNumber(static_cast<DWORD>(count));
  PutNumber(static_cast<DWORD>(PlayerIpc(0, IpcGetListPos)));
  int32_t position = PlayerIpc(0, IpcGetOutputTime);
  PutNumber(static_cast<DWORD>(position < 0 ? 0 : position));
  for (int32_t i = 0; i < count && !Failed; ++i) {
    const WCHAR* path = ListEntryPath(i);
    int length = path ? lstrlenW(path) : 0;
    if (!path || length > PathLimit) return false;  // a list we cannot read whole is not saved
    WORD n = static_cast<WORD>(length);
    Put(&n, sizeof n);
    Put(path, n * sizeof(WCHAR));
  }
  DWORD sum = Sum;
  PutNumber(sum);
  PutNumber(FileMagic);
  Flush();
  return !Failed && FlushFileBuffers(File);
}

bool SavePlaylist() {
  if (!FindFolder()) return false;
  if (GetFileAttributesW(SavedPath) != INVALID_FILE_ATTRIBUTES) {
    NoteInLog(L"saved list kept: ", SavedPath);
    return false;
  }
  File = CreateFileW(TempPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (File == INVALID_HANDLE_VALUE) {
    NoteInLog(L"cannot save the playlist in ", TempPath);
    return false;
  }
  AskWideCodes();
  bool whole = WriteList(ListLength());
  CloseHandle(File);
  File = INVALID_HANDLE_VALUE;
  if (whole && MoveFileExW(TempPath, SavedPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  DeleteFileW(TempPath);
  NoteInLog(L"cannot save the playlist in ", SavedPath);
  return false;
}

// ---- reading back

static bool Get(void* data, DWORD size) {
  BYTE* bytes = static_cast<BYTE*>(data);
  for (DWORD i = 0; i < size; ++i) {
    if (Taken == Fill) {
      Taken = Fill = 0;
      if (!ReadFile(File, Buffer, sizeof Buffer, &Fill, NULL) || !Fill) return false;
    }
    bytes[i] = Buffer[Taken++];
    Sum = (Sum ^ bytes[i]) * 16777619u;
  }
  return true;
}

static bool GetNumber(DWORD* n) { return Get(n, sizeof *n); }

static void Rewind() {
  SetFilePointer(File, 0, NULL, FILE_BEGIN);
  Taken = Fill = 0;
  Sum = 2166136261u;
}

// Reads the list through; `enqueue` puts each entry into the player as it comes.
static bool ReadList(bool enqueue, DWORD* current, DWORD* position) {
  Rewind();
  DWORD magic = 0, count = 0;
  if (!GetNumber(&magic) || magic != FileMagic || !GetNumber(&count) || !GetNumber(current) ||
      !GetNumber(position))
    return false;
  for (DWORD i = 0; i < count; ++i) {
    WORD n = 0;
    if (!Get(&n, sizeof n) || n > PathLimit || !Get(Path, n * sizeof(WCHAR))) return false;
    Path[n] = 0;
    if (enqueue) AppendPath(Path);
  }
  DWORD expected = Sum, sum = 0, end = 0, more = 0;
  return GetNumber(&sum) && sum == expected && GetNumber(&end) && end == FileMagic && !Get(&more, 1);
}

int32_t RestorePlaylist() {
  if (!FindFolder()) return NoSavedList;
  File = CreateFileW(SavedPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (File == INVALID_HANDLE_VALUE) return NoSavedList;
  DWORD current = 0, position = 0;
  bool whole = ReadList(false, &current, &position);
  if (whole) {
    PlayerIpc(0, IpcDeleteList);
    ReadList(true, &current, &position);
    PlayerIpc(static_cast<int32_t>(current), IpcSetPlaylistPos);
    if (position) PlayerIpc(static_cast<int32_t>(position), IpcJumpToTime);
  }
  CloseHandle(File);
  File = INVALID_HANDLE_VALUE;
  if (!whole) {
    NoteInLog(L"saved list damaged, left: ", SavedPath);
    return SavedListDamaged;
  }
  DeleteFileW(SavedPath);
  return ListRestored;
}
