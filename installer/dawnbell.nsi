; Installs gen_dawnbell.dll into the player's Plugins folder, with an uninstaller and its
; entry under the current user.
;   makensis -DVERSION=2.3.2 -DDLL=<gen_dawnbell.dll> -DOUTFILE=<setup.exe> dawnbell.nsi

!ifndef VERSION | DLL | OUTFILE
  !error "VERSION, DLL and OUTFILE must be defined"
!endif

Unicode true
SetCompressor /SOLID lzma
; Admins elevate (the player usually sits in Program Files) and keep their own HKCU;
; other users install into a player folder they can write.
RequestExecutionLevel highest
ManifestSupportedOS all
; A DLL that cannot be replaced (the player holds it) must fail the install, also in
; silent mode, where Ignore would be the default.
AllowSkipFiles off
FileErrorText "Could not write$\r$\n$0$\r$\n$\r$\nClose Winamp and try again." "Could not write$\r$\n$0$\r$\n$\r$\nClose Winamp and try again."

!define PRODUCT "Dawnbell Winamp Plug-in"
!define PUBLISHER "Brindlow Software"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dawnbell"
!define SETTINGS_KEY "Software\Brindlow Software\Dawnbell Winamp Plug-in"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALLER "uninstall_dawnbell.exe"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER}"
; No InstallDir: .onInit picks the folder, and browsing must not append a folder name to
; the one the user picks.

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "..\src\res\dawnbell.ico"
!define MUI_UNICON "..\src\res\dawnbell.ico"

!define MUI_PAGE_HEADER_TEXT "Choose the Winamp Folder"
!define MUI_PAGE_HEADER_SUBTEXT "Dawnbell goes into the Plugins folder of Winamp."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put Dawnbell into the Plugins folder of Winamp.$\r$\n$\r$\nChoose the folder where Winamp is installed: the one that holds winamp.exe."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Winamp folder"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------- finding the player

; Sets $INSTDIR to $0 when $0 is a folder holding winamp.exe and $INSTDIR is still unset.
Function AcceptIfPlayer
  ${If} $INSTDIR == ""
  ${AndIf} $0 != ""
  ${AndIf} ${FileExists} "$0\winamp.exe"
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; The player's uninstall entry names its uninstaller, quoted or not, in the player's folder.
!macro TryUninstallEntry ROOT
  ReadRegStr $0 ${ROOT} "Software\Microsoft\Windows\CurrentVersion\Uninstall\Winamp" "UninstallString"
  ${If} $0 != ""
    StrCpy $1 $0 1
    ${If} $1 == '"'
      StrCpy $0 $0 "" 1
      StrCpy $1 0
      ${Do}
        StrCpy $2 $0 1 $1
        ${IfThen} $2 == '"' ${|} ${ExitDo} ${|}
        ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
        IntOp $1 $1 + 1
      ${Loop}
      StrCpy $0 $0 $1
    ${EndIf}
    ${GetParent} $0 $0
    Call AcceptIfPlayer
  ${EndIf}
!macroend

; The player keeps its folder as the default value of its own key.
!macro TryPlayerKey ROOT
  ReadRegStr $0 ${ROOT} "Software\Winamp" ""
  Call AcceptIfPlayer
!macroend

Function .onInit
  ; /D= on the command line has already set $INSTDIR.
  ${If} $INSTDIR == ""
    !insertmacro TryUninstallEntry HKLM
    !insertmacro TryUninstallEntry HKCU
    !insertmacro TryPlayerKey HKCU
    !insertmacro TryPlayerKey HKLM
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES\Winamp"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function DirectoryLeave
  ${IfNot} ${FileExists} "$INSTDIR\winamp.exe"
    MessageBox MB_OK|MB_ICONEXCLAMATION "There is no winamp.exe in$\r$\n$INSTDIR$\r$\n$\r$\nChoose the folder where Winamp is installed."
    Abort
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------- install

Section "Dawnbell" SecMain
  SectionIn RO
  ; The directory page's check does not run in silent mode: check again before writing.
  ${IfNot} ${FileExists} "$INSTDIR\winamp.exe"
    DetailPrint "There is no winamp.exe in $INSTDIR."
    SetErrorLevel 2
    Abort "There is no winamp.exe in $INSTDIR."
  ${EndIf}

  SetOutPath "$INSTDIR\Plugins"
  File "/oname=gen_dawnbell.dll" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Plugins\${UNINSTALLER},0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR\Plugins" "/M=gen_dawnbell.dll /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; ---------------------------------------------------------------- uninstall
; $INSTDIR is the Plugins folder, where the uninstaller lives.

; $R0 = 1 when the start-up value holds the path of winamp.exe in folder $R1, quoted or
; not, in any letter case or as a short name.
Function un.StartupIsPlayer
  StrCpy $R0 0
  ReadRegStr $R2 HKCU "${RUN_KEY}" "Winamp"
  StrCpy $R3 $R2 1
  ${If} $R3 == '"'
    StrCpy $R2 $R2 "" 1
    StrCpy $R3 $R2 1 -1
    ${IfThen} $R3 == '"' ${|} StrCpy $R2 $R2 -1 ${|}
  ${EndIf}
  ${If} $R2 == ""
    Return
  ${EndIf}
  ${If} $R2 == "$R1\winamp.exe"
    StrCpy $R0 1
    Return
  ${EndIf}
  GetFullPathName /SHORT $R3 $R2
  GetFullPathName /SHORT $R4 "$R1\winamp.exe"
  ${If} $R3 != ""
  ${AndIf} $R3 == $R4
    StrCpy $R0 1
  ${EndIf}
FunctionEnd

; Offers to remove what the plug-in itself wrote: its settings, and the player's start-up
; entry when it starts this player.
Function un.OfferCleanup
  ${GetParent} $INSTDIR $R1
  Call un.StartupIsPlayer
  ClearErrors
  EnumRegValue $R5 HKCU "${SETTINGS_KEY}" 0
  ${If} ${Errors}
  ${AndIf} $R0 == 0
    Return
  ${EndIf}
  ${If} $R0 == 1
    StrCpy $R6 "Also remove Dawnbell's settings and the entry that starts Winamp with Windows?"
  ${Else}
    StrCpy $R6 "Also remove Dawnbell's settings?"
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION $R6 /SD IDNO IDYES remove
  Return
  remove:
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Brindlow Software"
  ${If} $R0 == 1
    DeleteRegValue HKCU "${RUN_KEY}" "Winamp"
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; A running player keeps the DLL open.
  retry:
  ClearErrors
  Delete "$INSTDIR\gen_dawnbell.dll"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Could not remove$\r$\n$INSTDIR\gen_dawnbell.dll$\r$\n$\r$\nClose Winamp and try again." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "Could not remove $INSTDIR\gen_dawnbell.dll."
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the Plugins folder was there before us in any real player.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
  ${IfNot} ${Silent}
    Call un.OfferCleanup
  ${EndIf}
SectionEnd
