; The Windows installer: both programs with their language files, Qt DLLs
; and plugins, Start-menu shortcuts and an uninstaller. Built by the
; cross build's windows_installer target:
;   makensis -DVERSION=1.0 -DSTAGE=<installed tree> -DOUTFILE=<setup.exe> installer.nsi
; The program folder is under Program Files, where a user may not write:
; the programs then keep sysconfig.ini and debug.log in
; %APPDATA%\pennafor-setting-tool, which the uninstaller leaves to the user.

Unicode true
; Wine on the build machines is 64-bit only, and so are the programs.
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "Pennafor Setting Tool"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\PennaforSettingTool"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\pennafor-setting-tool.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs 64-bit Windows."
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Programs"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\*.exe"
  File "${STAGE}\*.dll"
  File "${STAGE}\*.lng"
  File "${STAGE}\*.md"
  File "${STAGE}\LICENSE"
  SetOutPath "$INSTDIR\platforms"
  File "${STAGE}\platforms\*.dll"
  SetOutPath "$INSTDIR\styles"
  File "${STAGE}\styles\*.dll"
  SetOutPath "$INSTDIR\translations"
  File "${STAGE}\translations\*.qm"
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\pennafor-setting-tool.exe"
  ; The command line in a console opened on the program folder.
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (command line).lnk" "$SYSDIR\cmd.exe" \
    '/k cd /d "$INSTDIR" && pennafor-cli.exe --help'
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Pennafor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pennafor-setting-tool.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: a folder the user chose may hold
; other files of theirs.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\pennafor-setting-tool.exe"
  Delete "$INSTDIR\pennafor-cli.exe"
  Delete "$INSTDIR\Qt6*.dll"
  Delete "$INSTDIR\libstdc++-6.dll"
  Delete "$INSTDIR\libgcc_s_seh-1.dll"
  Delete "$INSTDIR\libwinpthread-1.dll"
  Delete "$INSTDIR\Chinese.lng"
  Delete "$INSTDIR\English.lng"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\CHANGELOG.md"
  Delete "$INSTDIR\THIRD-PARTY.md"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\platforms\qwindows.dll"
  Delete "$INSTDIR\styles\qwindowsvistastyle.dll"
  Delete "$INSTDIR\translations\qtbase_zh_CN.qm"
  RMDir "$INSTDIR\platforms"
  RMDir "$INSTDIR\styles"
  RMDir "$INSTDIR\translations"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} (command line).lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
