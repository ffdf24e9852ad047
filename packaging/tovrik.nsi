; Tovrik's installer: for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Tovrik, where Tovrik.ini beside the program stays
; writable. Built by scripts/package.sh, which passes:
;   PRODUCT  product.nsh from the build (VERSION, VERSION_QUAD, PUBLISHER, COPYRIGHT)
;   FILES    the staged files as the InstallFiles and UninstallFiles macros
;   ICON     the application icon
;   OUTFILE  the installer to write
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${PRODUCT}"
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrik"
!define SHORTCUT "$SMPROGRAMS\Tovrik.lnk"
!define SETTINGS "$INSTDIR\Tovrik.ini"
; What the installer writes as the plug-in folder: the bundled plug-ins.
!define DEFAULT_PLUGIN_FOLDER "$INSTDIR\plugins"

Name "Tovrik"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tovrik"
; Installing again, or a newer version, goes where the last one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tovrik ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tovrik.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Tovrik"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Tovrik セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${COPYRIGHT}"

; A running Tovrik holds its files open: ask the user to close it first. A
; silent run gives up instead of waiting for an answer nobody can give.
!macro RequireTovrikClosed
  ${Do}
    ; SYNCHRONIZE access to the program's single-instance mutex.
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Tovrik Mutex object") i .r0'
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(i r0)'
    ; Retry skips the Abort and asks the mutex again.
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Tovrik が実行中です。$\r$\nTovrik を終了してから「再試行」を押してください。" \
      /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

Section
  !insertmacro RequireTovrikClosed
  !insertmacro InstallFiles

  ; The bundled plug-ins work from the first start. Settings already there
  ; (an earlier installation's) are kept as they are.
  ClearErrors
  ReadINIStr $0 "${SETTINGS}" "PlugIn" "Directory"
  ${If} ${Errors}
    WriteINIStr "${SETTINGS}" "PlugIn" "Directory" "${DEFAULT_PLUGIN_FOLDER}"
  ${EndIf}

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Tovrik.exe" "" "$INSTDIR\Tovrik.exe" 0 SW_SHOWNORMAL "" \
    "同一ファイル検索ソフト"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tovrik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tovrik.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro RequireTovrikClosed

  ; Tovrik.ini goes unless the user changed the plug-in folder from the one
  ; the installer wrote: changed settings stay, and with them the folder.
  ClearErrors
  ReadINIStr $0 "${SETTINGS}" "PlugIn" "Directory"
  ${If} ${Errors}
  ${OrIf} $0 == "${DEFAULT_PLUGIN_FOLDER}"
    Delete "${SETTINGS}"
  ${EndIf}

  !insertmacro UninstallFiles
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever the user keeps there stays.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
