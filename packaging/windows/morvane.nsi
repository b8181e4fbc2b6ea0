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
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\morvane.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Program"
  SetOutPath "$INSTDIR"
  ; The program opens its help document from its own folder.
  File "/oname=morvane.exe" "${PROGRAM}"
  File "/oname=morvane-summary.exe" "${SUMMARY}"
  File "/oname=MorvHelp.pdf" "${HELP}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcut shows the program's own icon, PROP1, its first.
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\morvane.exe" "" "$INSTDIR\morvane.exe" 0

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
