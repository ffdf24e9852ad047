; Tovrik's uninstaller, uninstall.exe in the program's folder: built as an
; installer of its own, which runs where it lies and so returns only when its
; work is done, with a non-zero exit code when it could not uninstall (the
; script's own uninstallers hand over to a copy of themselves and return 0
; at once). /S uninstalls silently. Built by scripts/package.sh, which passes
; PRODUCT, FILES, ICON and OUTFILE as for tovrik.nsi.
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "${PRODUCT}"
!include "${FILES}"
!include "${__FILEDIR__}/common.nsh"

Name "Tovrik"
Caption "Tovrik のアンインストール"
OutFile "${OUTFILE}"
BrandingText "Tovrik ${VERSION}"

!define MUI_ICON "${ICON}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Tovrik"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Tovrik アンインストール"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${COPYRIGHT}"

Function .onInit
  ; The program's folder is where this uninstaller lies.
  StrCpy $INSTDIR $EXEDIR
  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION "Tovrik をアンインストールしますか？" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

Section
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
  Delete "${SHORTCUT}"
  Delete "${SEND_TO_SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; This program runs from the folder it empties. A running program's file
  ; cannot be deleted on Windows, but it can be moved: it goes to the
  ; temporary folder.
  Delete "$EXEPATH"
  ${If} ${FileExists} "$EXEPATH"
    GetTempFileName $0
    Delete $0
    Rename "$EXEPATH" $0
  ${EndIf}
  ; Only when empty: whatever the user keeps there stays.
  RMDir "$INSTDIR"
SectionEnd
