; Velun Saver's setup program (64-bit, Unicode).
;
; Puts velun.scr and its verse file side by side into the 64-bit System32 folder,
; where Windows' screen-saver settings look for savers and where the program
; reads finalvelun.txt from its own folder; can make it the active screen saver;
; registers an uninstaller in Apps & features. Built by make_release.py:
;
;   makensis -DVERSION=1.00 -DSTAGE=<folder with velun.scr, finalvelun.txt>
;            -DPROGRAM_KB=<their size in KB> -DICON=<velun.ico> -DOUTFILE=<setup.exe>
;            velun-setup.nsi
;
; A 64-bit setup program sees the real System32 as $SYSDIR: Windows redirects
; file-system access only for 32-bit programs, so nothing needs turning off.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Velun Saver"
!define PUBLISHER "Velun Saver"
!define SCR "velun.scr"
!define VERSES "finalvelun.txt"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelunSaver"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_PARENT "Software\VB and VBA Program Settings"
!define SETTINGS_KEY "${SETTINGS_PARENT}\${PRODUCT}"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
; The program goes to System32; this folder holds only the uninstaller.
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; ---------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_COMPONENTSPAGE_TEXT_TOP "${PRODUCT} goes into the Windows system folder, where the \
screen saver settings list it. Tick the second box to make it your screen saver now (the waiting \
time stays as it is)."
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} has been installed.$\r$\n$\r$\nIn the screen \
saver settings you can choose it, preview it and open its own settings (font, colour, verse \
order, animation, speed and delay)."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "${PRODUCT} will be removed from the Windows system folder. \
Your settings (font, colour, verse order, animation, speed and delay) are kept unless you tick \
the box below."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Version information of the setup program itself.
VIProductVersion "1.0.0.0"
VIFileVersion "1.0.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "VelunSaverSetup-${VERSION}.exe"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${PUBLISHER}"

; ---------------------------------------------------------------------------
; Installing

; Copies one file into the current output folder. A file in use (a running saver
; holds velun.scr open) cannot be replaced: the user is told so and may retry
; after ending it. A silent install has no one to ask: the new file is put beside
; the old one and takes its place when Windows restarts.
!macro InstallFile NAME
  ${Do}
    ClearErrors
    SetOverwrite try
    File "${STAGE}\${NAME}"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      SetOverwrite on
      File "/oname=$OUTDIR\${NAME}.new" "${STAGE}\${NAME}"
      Rename /REBOOTOK "$OUTDIR\${NAME}.new" "$OUTDIR\${NAME}"
      DetailPrint "$OUTDIR\${NAME} is in use: it will be replaced when Windows restarts."
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$OUTDIR\${NAME} is in use, \
      perhaps by the running screen saver, and cannot be replaced.$\r$\n$\r$\nEnd the screen \
      saver (move the mouse or press a key) and click Retry, or click Cancel to stop the \
      installation." IDRETRY`
      Abort "Installation cancelled: $OUTDIR\${NAME} is in use."
    ${EndIf}
  ${Loop}
  SetOverwrite on
!macroend

; Adds the size of a file in bytes to $0.
!macro AddFileSize PATH
  FileOpen $1 "${PATH}" r
  FileSeek $1 0 END $2
  FileClose $1
  IntOp $0 $0 + $2
!macroend

Section "${PRODUCT}" SecProgram
  SectionIn RO
  SetOutPath "$SYSDIR"
  !insertmacro InstallFile "${SCR}"
  !insertmacro InstallFile "${VERSES}"

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; One entry in Apps & features; an upgrade rewrites the same key.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  StrCpy $0 0
  !insertmacro AddFileSize "$SYSDIR\${SCR}"
  !insertmacro AddFileSize "$SYSDIR\${VERSES}"
  !insertmacro AddFileSize "$INSTDIR\${UNINSTALLER}"
  IntOp $0 $0 + 1023
  IntOp $0 $0 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0 ; in KB
SectionEnd

Section "Make it my screen saver" SecActive
  ; Only the choice of saver and its switch: the waiting time stays the user's.
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR}"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, \
    i ${SPIF_SENDCHANGE})"
SectionEnd

Function .onInit
  SetRegView 64
  ; The section holds each file twice (the second copy for a file in use).
  SectionSetSize ${SecProgram} ${PROGRAM_KB}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "Installing ${PRODUCT} needs administrator rights: it puts the \
      screen saver into the Windows system folder." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; ---------------------------------------------------------------------------
; Uninstalling

Function un.onInit
  SetRegView 64
FunctionEnd

Section "un.${PRODUCT}" UnSecProgram
  SectionIn RO
  ; The active saver is cleared only while it is still this one (Windows may have
  ; stored the short form of the path).
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ExpandEnvStrings $0 $0
  GetFullPathName /SHORT $1 "$SYSDIR\${SCR}"
  StrCmp $1 "" 0 +2
    StrCpy $1 "$SYSDIR\${SCR}"
  ${If} $0 == "$SYSDIR\${SCR}"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, \
      i ${SPIF_SENDCHANGE})"
  ${EndIf}

  ; A running saver keeps its file until Windows restarts.
  Delete /REBOOTOK "$SYSDIR\${SCR}"
  Delete /REBOOTOK "$SYSDIR\${VERSES}"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Also remove my ${PRODUCT} settings" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT}"
SectionEnd
