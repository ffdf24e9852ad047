; What the installer and the uninstaller share: where Tovrik's traces lie,
; and the wait for a running Tovrik to close.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrik"
!define SHORTCUT "$SMPROGRAMS\Tovrik.lnk"
; The user's Send To menu: a folder sent there is analysed.
!define SEND_TO_SHORTCUT "$SENDTO\Tovrik.lnk"
!define SETTINGS "$INSTDIR\Tovrik.ini"
; What the installer writes as the plug-in folder: the bundled plug-ins.
!define DEFAULT_PLUGIN_FOLDER "$INSTDIR\plugins"

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
