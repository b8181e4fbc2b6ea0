; The Windows installer, made by makensis from the build (see package.cmake),
; which defines VERSION (the project's version), VERSION4 (the same with four
; numbers), PROGRAM (the built morvane.exe), SUMMARY (morvane-summary.exe),
; HELP (MorvHelp.pdf), ICON (the
; program's icon as an .ico) and OUTFILE.
;
; It installs for the current user only, into a folder of the user's own,
; so the program's folder is writable and Raw.txt and MorvTran.ini stay
; beside the program, as in a portable copy. No administrator rights are
; asked for.
; A 64-bit installer for the 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "Morvane Data Transfer Utility"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvane"
; The named mutex the program holds while it runs (src/app/running_mark.h).
!define RUNNING_MARK "MorvaneDataTransferUtility"
; Exit codes of a silent run that refuses; NSIS's own are 0 (done),
; 1 (cancelled) and 2 (aborted).
!define EXIT_RUNNING 3
!define EXIT_FOLDER 4

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Morvane"
; A reinstall or an update goes where the last install went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION4}"
; The program's own version information names no copyright holder either.
!pragma warning disable 9100
VIAddVersionKey "ProductName" "${NAME}"
VIAddVersionKey "FileDescription" "${NAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; Started from the finish page, it starts in Documents too, as from the
; shortcut.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION runFromDocuments
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE folderPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Files of a running copy cannot be replaced or deleted: the user is asked
; to close it first. A silent run ends with EXIT_RUNNING instead.
!macro WAIT_FOR_CLOSE UN
Function ${UN}waitForClose
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARK}") p .r0'
    ${If} $0 = 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      SetErrorLevel ${EXIT_RUNNING}
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${NAME} is running. Close it \
        (Ctrl+X stops a transfer and closes it), then choose Retry." IDRETRY again
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_FOR_CLOSE ""
!insertmacro WAIT_FOR_CLOSE "un."

; $R0 := 1 when $INSTDIR is the folder $R1 or lies below it, else 0.
Function isBelow
  StrLen $R2 $R1
  StrCpy $R3 $INSTDIR $R2
  StrCpy $R4 $INSTDIR 1 $R2
  StrCpy $R0 0
  ${If} $R1 != ""
  ${AndIf} $R3 == $R1
  ${AndIf} $R4 == ""
    StrCpy $R0 1
  ${ElseIf} $R1 != ""
  ${AndIf} $R3 == $R1
  ${AndIf} $R4 == "\"
    StrCpy $R0 1
  ${EndIf}
FunctionEnd

; $0 := "" when this per-user install can write $INSTDIR, else why not. The
; system's folders need administrator rights, which it never asks for; any
; other folder is tried.
Function checkFolder
  StrCpy $0 ""
  ${ForEach} $R5 1 3 + 1
    ${If} $R5 = 1
      StrCpy $R1 $PROGRAMFILES64
    ${ElseIf} $R5 = 2
      StrCpy $R1 $PROGRAMFILES32
    ${Else}
      StrCpy $R1 $WINDIR
    ${EndIf}
    Call isBelow
    ${If} $R0 = 1
      StrCpy $0 "$INSTDIR is a folder of the system: only an administrator may \
          install there, and this installer installs for you alone. Choose a \
          folder of your own, such as $LOCALAPPDATA\Programs\Morvane."
      Return
    ${EndIf}
  ${Next}
  StrCpy $R6 0
  IfFileExists "$INSTDIR\*.*" +2
  StrCpy $R6 1
  ClearErrors
  CreateDirectory $INSTDIR
  FileOpen $R7 "$INSTDIR\morvane-write-check.tmp" w
  ${If} ${Errors}
    StrCpy $0 "You may not write to $INSTDIR. Choose a folder of your own, such \
        as $LOCALAPPDATA\Programs\Morvane."
  ${Else}
    FileClose $R7
    Delete "$INSTDIR\morvane-write-check.tmp"
  ${EndIf}
  ${If} $R6 = 1
    RMDir $INSTDIR
  ${EndIf}
FunctionEnd

Function folderPageLeave
  Call checkFolder
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION $0
    Abort
  ${EndIf}
FunctionEnd

Function runFromDocuments
  SetOutPath "$DOCUMENTS"
  Exec '"$INSTDIR\morvane.exe"'
FunctionEnd

Function .onInit
  SetShellVarContext current
  Call waitForClose
  ; A silent install has no folder page: its folder (/D=) is checked here.
  ${If} ${Silent}
    Call checkFolder
    ${If} $0 != ""
      SetErrorLevel ${EXIT_FOLDER}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
  Call un.waitForClose
FunctionEnd

Section "Program"
  SetOutPath "$INSTDIR"
  ; The program opens its help document from its own folder.
  File "/oname=morvane.exe" "${PROGRAM}"
  File "/oname=morvane-summary.exe" "${SUMMARY}"
  File "/oname=MorvHelp.pdf" "${HELP}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut shows the program's own icon, PROP1, its first. It starts
  ; in the user's Documents (the shortcut takes the output folder as its
  ; working folder), where the first save dialog then opens: not in the
  ; hidden program folder, where nobody would find the field files.
  SetOutPath "$DOCUMENTS"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\morvane.exe" "" "$INSTDIR\morvane.exe" 0
  SetOutPath "$INSTDIR"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\morvane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  Delete "$INSTDIR\morvane.exe"
  Delete "$INSTDIR\morvane-summary.exe"
  Delete "$INSTDIR\MorvHelp.pdf"
  ; The program's own files beside it: the last transfer's raw log and the
  ; last port picked.
  Delete "$INSTDIR\Raw.txt"
  Delete "$INSTDIR\MorvTran.ini"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: output files the user saved in this folder stay, and so does
  ; the folder with them.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
