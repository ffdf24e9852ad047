; Tovrik's installer: for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Tovrik, where Tovrik.ini beside the program stays
; writable. Built by scripts/package.sh, which passes:
;   PRODUCT  product.nsh from the build (VERSION, VERSION_QUAD, PUBLISHER, COPYRIGHT)
;   FILES       the staged files as the InstallFiles and UninstallFiles macros
;   ICON        the application icon
;   UNINSTALLER uninstall.exe, built from uninstall.nsi
;   OUTFILE     the installer to write
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WordFunc.nsh"
!include "${PRODUCT}"
!include "${FILES}"

!include "${__FILEDIR__}/common.nsh"

Name "Tovrik"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tovrik"
; Installing again, or a newer version, goes where the last one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tovrik ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tovrik.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Tovrik"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Tovrik セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${COPYRIGHT}"

; An older version over a newer one: a silent run refuses, an interactive
; one asks.
Function .onInit
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} "$0" "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_YESNO|MB_ICONEXCLAMATION \
        "新しいバージョン $0 の Tovrik がインストールされています。$\r$\nバージョン ${VERSION} に置き換えますか？" \
        /SD IDNO IDYES +3
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

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

  ; The last folder the files went to is the working folder of the
  ; shortcut and of the finish page's "run": the program's own.
  SetOutPath "$INSTDIR"
  ; An installer of its own rather than the script's uninstaller, which
  ; always goes on from a copy of itself and so would return at once.
  File "/oname=uninstall.exe" "${UNINSTALLER}"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Tovrik.exe" "" "$INSTDIR\Tovrik.exe" 0 SW_SHOWNORMAL "" \
    "同一ファイル検索ソフト"
  CreateShortCut "${SEND_TO_SHORTCUT}" "$INSTDIR\Tovrik.exe" "" "$INSTDIR\Tovrik.exe" 0 SW_SHOWNORMAL "" \
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
