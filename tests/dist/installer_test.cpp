// The setup program and its uninstaller, run for real under Wine against fake player folders.
//   dist_tests.exe <setup.exe> [GoogleTest flags]
// The stand-in player and the DLL are taken from this program's own folder.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

static std::string SetupPath;
static std::string BuildDir;

static const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Dawnbell";
static const char PlayerUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
static const char PlayerKey[] = "Software\\Winamp";
static const char SettingsKey[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";
static const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const DWORD RunLimitMs = 60000;

// ---------------------------------------------------------------- files

static bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static std::string ReadBytes(const std::string& path) {
  std::string bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return bytes;
  char buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

// Every file and folder below root, relative to it, sorted.
static std::vector<std::string> Tree(const std::string& root, const std::string& below = "") {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((root + "\\" + below + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    found.push_back(below + name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      std::vector<std::string> inner = Tree(root, below + name + "\\");
      found.insert(found.end(), inner.begin(), inner.end());
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(found.begin(), found.end());
  return found;
}

static void RemoveTree(const std::string& root) {
  std::vector<std::string> entries = Tree(root);
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    std::string path = root + "\\" + *it;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
  }
  RemoveDirectoryA(root.c_str());
}

// ---------------------------------------------------------------- registry

static bool ReadText(HKEY root, const char* key, const char* name, std::string* text) {
  char buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueA(root, key, name, RRF_RT_REG_SZ, NULL, buffer, &size) != ERROR_SUCCESS)
    return false;
  *text = buffer;
  return true;
}

static void WriteText(HKEY root, const char* key, const char* name, const std::string& text) {
  RegSetKeyValueA(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

static bool KeyExists(HKEY root, const char* key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

static void DeleteKey(HKEY root, const char* key) {
  RegDeleteTreeA(root, key);
  RegDeleteKeyA(root, key);
}

// ---------------------------------------------------------------- running the programs

// Top-level dialogs of the setup program: its wizard (which holds the page frame, control
// 1018) and its message boxes.
struct Dialogs {
  std::vector<HWND> wizards, boxes;
};

static BOOL CALLBACK CollectDialog(HWND window, LPARAM param) {
  char className[64], title[256];
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  if (IsWindowVisible(window) && !strcmp(className, "#32770") && strstr(title, "Dawnbell")) {
    Dialogs* found = reinterpret_cast<Dialogs*>(param);
    (GetDlgItem(window, 1018) ? found->wizards : found->boxes).push_back(window);
  }
  return TRUE;
}

static bool Pressable(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control && IsWindowEnabled(control) && IsWindowVisible(control);
}

// Plays the user of a wizard: presses Next (or Install, Uninstall, Close) when it can,
// Cancel when that is all there is, and answers every message box with one button.
struct User {
  int answer = IDYES;
  bool cancelAfterBox = false;     // leaves the wizard once a message box was answered
  std::vector<std::string> boxes;  // texts of the boxes answered, in order
  DWORD lastClick = 0;

  void Act() {
    Dialogs found;
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&found));
    for (HWND box : found.boxes) {
      char text[512] = "";
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      boxes.push_back(text);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
    if (!found.boxes.empty()) {
      Sleep(300);
      return;
    }
    for (HWND wizard : found.wizards) {
      if (!IsWindowEnabled(wizard) || GetTickCount() - lastClick < 400) continue;
      // After a failed step only Cancel is left to press.
      int button = cancelAfterBox && !boxes.empty() ? IDCANCEL : IDOK;
      if (!Pressable(wizard, button)) button = IDCANCEL;
      if (!Pressable(wizard, button)) continue;
      HWND control = GetDlgItem(wizard, button);
      PostMessageA(wizard, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
      lastClick = GetTickCount();
    }
  }
};

struct Outcome {
  bool finished = false;
  DWORD exitCode = 0;  // the first non-zero exit code among the processes, else 0
  std::string output;  // what the first process wrote to its standard output
};

// Runs a command and waits for it and every process it starts (the uninstaller goes on in
// a copy of itself), acting as the user meanwhile when one is given.
static Outcome RunAndWait(const std::string& command, User* user = nullptr) {
  Outcome outcome;
  HANDLE job = CreateJobObjectA(NULL, NULL);
  HANDLE port = CreateIoCompletionPort(INVALID_HANDLE_VALUE, NULL, 0, 1);
  JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{job, port};
  SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &link, sizeof link);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, NULL, TRUE};
  HANDLE readEnd, writeEnd;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (!CreateProcessA(NULL, line.data(), NULL, NULL, TRUE, CREATE_SUSPENDED, NULL, NULL,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start " << command;
    CloseHandle(readEnd);
    CloseHandle(writeEnd);
    CloseHandle(port);
    CloseHandle(job);
    return outcome;
  }
  CloseHandle(writeEnd);
  AssignProcessToJobObject(job, process.hProcess);
  std::vector<HANDLE> processes{process.hProcess};
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);

  DWORD start = GetTickCount();
  while (GetTickCount() - start < RunLimitMs) {
    DWORD avail = 0;
    while (PeekNamedPipe(readEnd, NULL, 0, NULL, &avail, NULL) && avail) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(readEnd, buffer, std::min<DWORD>(avail, sizeof buffer), &got, NULL)) break;
      outcome.output.append(buffer, got);
    }
    DWORD message;
    ULONG_PTR key;
    OVERLAPPED* detail;
    if (GetQueuedCompletionStatus(port, &message, &key, &detail, 50)) {
      DWORD pid = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(detail));
      if (message == JOB_OBJECT_MSG_NEW_PROCESS && pid != process.dwProcessId) {
        HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (child) processes.push_back(child);
      }
      if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO) {
        outcome.finished = true;
        break;
      }
      continue;
    }
    if (user) user->Act();
  }
  if (!outcome.finished) {
    ADD_FAILURE() << "still running after " << RunLimitMs << " ms: " << command;
    TerminateJobObject(job, 99);
  }
  DWORD avail = 0;
  while (PeekNamedPipe(readEnd, NULL, 0, NULL, &avail, NULL) && avail) {
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(readEnd, buffer, std::min<DWORD>(avail, sizeof buffer), &got, NULL)) break;
    outcome.output.append(buffer, got);
  }
  for (HANDLE each : processes) {
    DWORD code = 0;
    WaitForSingleObject(each, 5000);
    GetExitCodeProcess(each, &code);
    if (!outcome.exitCode) outcome.exitCode = code;
    CloseHandle(each);
  }
  CloseHandle(readEnd);
  CloseHandle(port);
  CloseHandle(job);
  return outcome;
}

static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// ---------------------------------------------------------------- resources

static std::string VersionString(const std::string& path, std::string* fixed) {
  DWORD ignored;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> info(size);
  if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, info.data())) return "";
  VS_FIXEDFILEINFO* numbers;
  UINT length;
  if (VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&numbers), &length)) {
    char text[64];
    snprintf(text, sizeof text, "%lu.%lu.%lu.%lu",
             static_cast<unsigned long>(HIWORD(numbers->dwProductVersionMS)),
             static_cast<unsigned long>(LOWORD(numbers->dwProductVersionMS)),
             static_cast<unsigned long>(HIWORD(numbers->dwProductVersionLS)),
             static_cast<unsigned long>(LOWORD(numbers->dwProductVersionLS)));
    *fixed = text;
  }
  WORD* translation;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) || length < 4)
    return "";
  char query[64];
  snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation[0],
           translation[1]);
  char* text;
  if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&text), &length)) return "";
  return text;
}

static BOOL CALLBACK CollectIcon(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param) {
  HRSRC found = FindResourceA(module, name, type);
  const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
  reinterpret_cast<std::vector<std::string>*>(param)->emplace_back(
      data, SizeofResource(module, found));
  return TRUE;
}

// The images of every icon in a module.
static std::vector<std::string> IconImages(const std::string& path) {
  std::vector<std::string> images;
  HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return images;
  EnumResourceNamesA(module, RT_ICON, CollectIcon, reinterpret_cast<LONG_PTR>(&images));
  FreeLibrary(module);
  return images;
}

// ---------------------------------------------------------------- the fixture

class DistTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    root = std::string(temp) + "dawnbell-dist";
    RemoveTree(root);
    CreateDirectoryA(root.c_str(), NULL);
    ForgetEverything();
  }
  void TearDown() override {
    RemoveTree(root);
    ForgetEverything();
  }

  void ForgetEverything() {
    DeleteKey(HKEY_CURRENT_USER, UninstallKey);
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      DeleteKey(hive, PlayerUninstallKey);
      DeleteKey(hive, PlayerKey);
    }
    DeleteKey(HKEY_CURRENT_USER, SettingsKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brindlow Software");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, "Winamp");
  }

  // A player folder under the test's root, with the stand-in player as winamp.exe.
  std::string PlayerFolder(const std::string& name) {
    std::string folder = root + "\\" + name;
    CreateDirectoryA(folder.c_str(), NULL);
    EXPECT_TRUE(CopyFileA((BuildDir + "\\dawnbell_player.exe").c_str(),
                          (folder + "\\winamp.exe").c_str(), FALSE));
    return folder;
  }

  Outcome Install(const std::string& folder, User* user = nullptr) {
    std::string command = Quoted(SetupPath);
    if (!user) command += " /S";
    return RunAndWait(folder.empty() ? command : command + " /D=" + folder, user);
  }

  Outcome Uninstall(User* user = nullptr) {
    std::string command;
    EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, UninstallKey, "UninstallString", &command));
    return RunAndWait(user ? command : command + " /S", user);
  }

  // Installs silently into a fresh player folder and checks that it worked.
  std::string Installed(const std::string& name) {
    std::string folder = PlayerFolder(name);
    Outcome outcome = Install(folder);
    EXPECT_TRUE(outcome.finished && outcome.exitCode == 0) << outcome.exitCode;
    EXPECT_TRUE(Exists(folder + "\\Plugins\\gen_dawnbell.dll"));
    return folder;
  }

  std::string root;
};

// ---------------------------------------------------------------- silent install

using SilentInstall = DistTest;

TEST_F(SilentInstall, PutsPluginWhereThePlayerLoadsIt) {
  std::string folder = PlayerFolder("Winamp");
  Outcome outcome = Install(folder);
  ASSERT_TRUE(outcome.finished);
  EXPECT_EQ(0u, outcome.exitCode);

  std::string dll = folder + "\\Plugins\\gen_dawnbell.dll";
  EXPECT_EQ(ReadBytes(BuildDir + "\\gen_dawnbell.dll"), ReadBytes(dll));
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, UninstallKey, "UninstallString", &text));
  EXPECT_EQ(Quoted(folder + "\\Plugins\\uninstall_dawnbell.exe"), text);
  EXPECT_TRUE(Exists(folder + "\\Plugins\\uninstall_dawnbell.exe"));
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, UninstallKey, "DisplayName", &text));
  EXPECT_EQ("Dawnbell Winamp Plug-in", text);
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, UninstallKey, "InstallLocation", &text));
  EXPECT_EQ(folder, text);

  Outcome player = RunAndWait(Quoted(folder + "\\winamp.exe") + " --plugin " + Quoted(dll) +
                       " --quit-after 1");
  EXPECT_EQ(0u, player.exitCode) << player.output;
  EXPECT_NE(std::string::npos, player.output.find("player: loaded " + dll)) << player.output;
  EXPECT_NE(std::string::npos, player.output.find("player: plug-in initialised"));
}

TEST_F(SilentInstall, RefusesFolderWithoutPlayerAndWritesNothing) {
  std::string empty = root + "\\Empty";
  CreateDirectoryA(empty.c_str(), NULL);
  std::string other = root + "\\Other";  // another program's folder
  CreateDirectoryA(other.c_str(), NULL);
  CopyFileA((BuildDir + "\\dawnbell_player.exe").c_str(), (other + "\\player.exe").c_str(), FALSE);
  std::vector<std::string> before = Tree(root);

  for (const std::string& folder : {empty, other, root + "\\Missing"}) {
    SCOPED_TRACE(folder);
    Outcome outcome = Install(folder);
    ASSERT_TRUE(outcome.finished);
    EXPECT_NE(0u, outcome.exitCode);
    EXPECT_EQ(before, Tree(root));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
  }
}

TEST_F(SilentInstall, FailsWhileThePlayerHoldsThePlugin) {
  std::string folder = Installed("Winamp");
  HMODULE held = LoadLibraryA((folder + "\\Plugins\\gen_dawnbell.dll").c_str());
  ASSERT_TRUE(held);
  Outcome outcome = Install(folder);
  FreeLibrary(held);
  EXPECT_NE(0u, outcome.exitCode);
  EXPECT_EQ(0u, Install(folder).exitCode);
}

TEST_F(SilentInstall, FindsPlayerFolderByItsEntriesElseProgramFiles) {
  struct Case {
    const char* name;
    std::function<void(const std::string& folder)> announce;  // tells where the player is
  };
  std::string gone = root + "\\Gone";  // a stale entry: no player there any more
  Case cases[] = {
      {"uninstall entry, quoted",
       [](const std::string& folder) {
         WriteText(HKEY_LOCAL_MACHINE, PlayerUninstallKey, "UninstallString",
                   Quoted(folder + "\\UninstWA.exe"));
       }},
      {"uninstall entry of the user, unquoted",
       [](const std::string& folder) {
         WriteText(HKEY_CURRENT_USER, PlayerUninstallKey, "UninstallString",
                   folder + "\\UninstWA.exe");
       }},
      {"player's own key",
       [](const std::string& folder) { WriteText(HKEY_CURRENT_USER, PlayerKey, "", folder); }},
      {"player's own key after a stale uninstall entry",
       [gone](const std::string& folder) {
         WriteText(HKEY_LOCAL_MACHINE, PlayerUninstallKey, "UninstallString",
                   Quoted(gone + "\\UninstWA.exe"));
         WriteText(HKEY_CURRENT_USER, PlayerKey, "", folder);
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ForgetEverything();
    std::string folder = PlayerFolder("Player " + std::to_string(++n));
    c.announce(folder);
    Outcome outcome = Install("");
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_TRUE(Exists(folder + "\\Plugins\\gen_dawnbell.dll"));
  }

  // Nothing announced: the usual folder, which must hold the player too.
  ForgetEverything();
  char programFiles[MAX_PATH];
  ASSERT_EQ(S_OK, SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, 0, programFiles));
  std::string usual = std::string(programFiles) + "\\Winamp";
  RemoveTree(usual);
  EXPECT_NE(0u, Install("").exitCode);
  EXPECT_FALSE(Exists(usual));
  CreateDirectoryA(usual.c_str(), NULL);
  CopyFileA((BuildDir + "\\dawnbell_player.exe").c_str(), (usual + "\\winamp.exe").c_str(), FALSE);
  EXPECT_EQ(0u, Install("").exitCode);
  EXPECT_TRUE(Exists(usual + "\\Plugins\\gen_dawnbell.dll"));
  RemoveTree(usual);
}

// ---------------------------------------------------------------- uninstall

using SilentUninstall = DistTest;

TEST_F(SilentUninstall, RemovesWhatInstallWroteAndKeepsSettings) {
  std::string folder = PlayerFolder("Winamp");
  std::vector<std::string> before = Tree(root);
  ASSERT_EQ(0u, Install(folder).exitCode);
  // What the plug-in itself wrote while in use stays: nobody was asked.
  WriteText(HKEY_CURRENT_USER, SettingsKey, "MenuName", "Dawnbell...");
  WriteText(HKEY_CURRENT_USER, RunKey, "Winamp", Quoted(folder + "\\winamp.exe"));

  Outcome outcome = Uninstall();
  ASSERT_TRUE(outcome.finished);
  EXPECT_EQ(0u, outcome.exitCode);
  EXPECT_EQ(before, Tree(root));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SettingsKey));
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, RunKey, "Winamp", &text));
}

TEST_F(SilentUninstall, KeepsPluginsFolderThatHoldsOtherPlugins) {
  std::string folder = PlayerFolder("Winamp");
  CreateDirectoryA((folder + "\\Plugins").c_str(), NULL);
  CopyFileA((BuildDir + "\\dawnbell_player.exe").c_str(),
            (folder + "\\Plugins\\gen_other.dll").c_str(), FALSE);
  std::vector<std::string> before = Tree(root);
  ASSERT_EQ(0u, Install(folder).exitCode);
  EXPECT_EQ(0u, Uninstall().exitCode);
  EXPECT_EQ(before, Tree(root));
}

TEST_F(SilentUninstall, FailsAndKeepsItsEntryWhileThePlayerHoldsThePlugin) {
  std::string folder = Installed("Winamp");
  HMODULE held = LoadLibraryA((folder + "\\Plugins\\gen_dawnbell.dll").c_str());
  ASSERT_TRUE(held);
  Outcome outcome = Uninstall();
  FreeLibrary(held);
  EXPECT_NE(0u, outcome.exitCode);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
  EXPECT_TRUE(Exists(folder + "\\Plugins\\uninstall_dawnbell.exe"));

  EXPECT_EQ(0u, Uninstall().exitCode);
  EXPECT_FALSE(Exists(folder + "\\Plugins"));
}

using UninstallWizard = DistTest;

TEST_F(UninstallWizard, OnYesRemovesSettingsAndStartupEntryOfThisPlayerOnly) {
  struct Case {
    const char* name;
    std::function<std::string(const std::string& folder)> startup;
    bool removed;
  };
  std::string other = PlayerFolder("Another");
  Case cases[] = {
      {"quoted", [](const std::string& f) { return Quoted(f + "\\winamp.exe"); }, true},
      {"unquoted, other letter case",
       [](const std::string& f) {
         std::string upper = f + "\\WINAMP.EXE";
         CharUpperA(&upper[0]);
         return upper;
       },
       true},
      {"another player", [other](const std::string&) { return Quoted(other + "\\winamp.exe"); },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string folder = Installed("Winamp");
    WriteText(HKEY_CURRENT_USER, SettingsKey, "MenuName", "Dawnbell...");
    std::string startup = c.startup(folder);
    WriteText(HKEY_CURRENT_USER, RunKey, "Winamp", startup);

    User user;
    user.answer = IDYES;
    Outcome outcome = Uninstall(&user);
    EXPECT_EQ(0u, outcome.exitCode);
    ASSERT_EQ(1u, user.boxes.size());
    EXPECT_EQ(c.removed, user.boxes[0].find("starts Winamp") != std::string::npos)
        << user.boxes[0];
    EXPECT_FALSE(Exists(folder + "\\Plugins"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, SettingsKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Brindlow Software"));
    std::string text;
    EXPECT_EQ(!c.removed, ReadText(HKEY_CURRENT_USER, RunKey, "Winamp", &text));
    RemoveTree(folder);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKey, "Winamp");
  }
}

TEST_F(UninstallWizard, OnNoKeepsSettingsAndStartupEntry) {
  std::string folder = Installed("Winamp");
  WriteText(HKEY_CURRENT_USER, SettingsKey, "MenuName", "Dawnbell...");
  WriteText(HKEY_CURRENT_USER, RunKey, "Winamp", Quoted(folder + "\\winamp.exe"));
  User user;
  user.answer = IDNO;
  EXPECT_EQ(0u, Uninstall(&user).exitCode);
  EXPECT_EQ(1u, user.boxes.size());
  EXPECT_FALSE(Exists(folder + "\\Plugins"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, SettingsKey));
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, RunKey, "Winamp", &text));
}

TEST_F(UninstallWizard, AsksNothingWhenThePluginLeftNothing) {
  std::string folder = Installed("Winamp");
  User user;
  EXPECT_EQ(0u, Uninstall(&user).exitCode);
  EXPECT_TRUE(user.boxes.empty());
  EXPECT_FALSE(Exists(folder + "\\Plugins"));
}

// ---------------------------------------------------------------- the wizard

using InstallWizard = DistTest;

TEST_F(InstallWizard, DirectoryPageRefusesFolderWithoutPlayer) {
  std::string empty = root + "\\Empty";
  CreateDirectoryA(empty.c_str(), NULL);
  User user;
  user.answer = IDOK;
  user.cancelAfterBox = true;
  Outcome outcome = Install(empty, &user);
  ASSERT_EQ(1u, user.boxes.size());
  EXPECT_NE(std::string::npos, user.boxes[0].find("no winamp.exe")) << user.boxes[0];
  EXPECT_EQ(1u, outcome.exitCode);  // left by the user, not stopped by the install step
  EXPECT_FALSE(Exists(empty + "\\Plugins"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
}

TEST_F(InstallWizard, InstallsIntoFolderWithPlayer) {
  std::string folder = PlayerFolder("Winamp");
  User user;
  Outcome outcome = Install(folder, &user);
  EXPECT_EQ(0u, outcome.exitCode);
  EXPECT_TRUE(user.boxes.empty());
  EXPECT_TRUE(Exists(folder + "\\Plugins\\gen_dawnbell.dll"));
}

TEST_F(InstallWizard, AsksToCloseThePlayerWhileItHoldsThePlugin) {
  std::string folder = Installed("Winamp");
  HMODULE held = LoadLibraryA((folder + "\\Plugins\\gen_dawnbell.dll").c_str());
  ASSERT_TRUE(held);
  User user;
  user.answer = IDCANCEL;
  Outcome outcome = Install(folder, &user);
  FreeLibrary(held);
  ASSERT_EQ(1u, user.boxes.size());
  EXPECT_NE(std::string::npos, user.boxes[0].find("Close Winamp")) << user.boxes[0];
  EXPECT_NE(0u, outcome.exitCode);
}

// ---------------------------------------------------------------- what they carry

using Artefacts = DistTest;

TEST_F(Artefacts, SetupAndUninstallerCarryThePluginsVersionAndIcon) {
  std::string dllFixed, setupFixed, uninstallerFixed;
  std::string version = VersionString(BuildDir + "\\gen_dawnbell.dll", &dllFixed);
  ASSERT_EQ("2.3.2", version);
  std::string folder = Installed("Winamp");
  std::string uninstaller = folder + "\\Plugins\\uninstall_dawnbell.exe";
  EXPECT_EQ(version, VersionString(SetupPath, &setupFixed));
  EXPECT_EQ(dllFixed, setupFixed);
  EXPECT_EQ(version, VersionString(uninstaller, &uninstallerFixed));
  EXPECT_EQ(dllFixed, uninstallerFixed);
  std::string text;
  EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, UninstallKey, "DisplayVersion", &text));
  EXPECT_EQ(version, text);

  std::vector<std::string> icon = IconImages(BuildDir + "\\gen_dawnbell.dll");
  ASSERT_EQ(1u, icon.size());
  for (const std::string& program : {SetupPath, uninstaller}) {
    SCOPED_TRACE(program);
    std::vector<std::string> images = IconImages(program);
    EXPECT_NE(images.end(), std::find(images.begin(), images.end(), icon[0]));
  }
}

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    fprintf(stderr, "usage: dist_tests <setup.exe> [GoogleTest flags]\n");
    return 2;
  }
  SetupPath = argv[1];
  char self[MAX_PATH];
  GetModuleFileNameA(NULL, self, sizeof self);
  BuildDir = self;
  BuildDir.erase(BuildDir.rfind('\\'));
  return RUN_ALL_TESTS();
}
