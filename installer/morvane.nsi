; Installer of the Morvane program set (NSIS 3, Unicode).
;   makensis -DTARGET=x86-unicode -DSRC=<dist/win32> -DOUT=<setup.exe> morvane.nsi    (shipped)
;   makensis -DTARGET=amd64-unicode -DSRC=<dist/win64> -DOUT=<setup.exe> morvane.nsi  (tested under Wine)
Unicode true
!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
!ifndef SRC
  !error "SRC (the folder of the program set) is required"
!endif
!ifndef OUT
  !define OUT "Morvane-setup.exe"
!endif

!include "MUI2.nsh"

!define PRODUCT "QuenbyTalvern软件"
!define VERSION "1.0.0.8"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Morvane"

Name "${PRODUCT}"
OutFile "${OUT}"
!if ${TARGET} == amd64-unicode
  InstallDir "$PROGRAMFILES64\Quenby\Talvern"
!else
  InstallDir "$PROGRAMFILES\Quenby\Talvern"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© Quenby"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Loader.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

Section "Program" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${SRC}\Loader.exe"
  File "${SRC}\Morvane.exe"
  File "${SRC}\ostrel.dat"
  File "${SRC}\halvane.dll"
  File "${SRC}\strome.dll"
  File "${SRC}\Cambrel.dll"
  File "${SRC}\wexor.exe"
  File "${SRC}\loader.ini"
  ; pub.ini carries the distribution source; an existing one is kept.
  SetOverwrite off
  File "${SRC}\pub.ini"
  SetOverwrite on

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Loader.exe" "" "$INSTDIR\Morvane.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\Loader.exe" "" "$INSTDIR\Morvane.exe" 0

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Quenby"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Morvane.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$DESKTOP\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载 ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  Delete "$INSTDIR\Loader.exe"
  Delete "$INSTDIR\Morvane.exe"
  Delete "$INSTDIR\ostrel.dat"
  Delete "$INSTDIR\halvane.dll"
  Delete "$INSTDIR\strome.dll"
  Delete "$INSTDIR\Cambrel.dll"
  Delete "$INSTDIR\wexor.exe"
  Delete "$INSTDIR\loader.ini"
  Delete "$INSTDIR\pub.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
