# Sourced by the scripts that show windows: a virtual X display with a small
# window manager (without one, Wine spends about 2 s on every message box).
start_display() {
  if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  # Xvfb picks a free display number itself and writes it to the given
  # descriptor, so that test runs started side by side never share a screen.
  local numberFile tries
  numberFile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberFile" </dev/null >/dev/null 2>&1 &
  TOVRIK_XVFB_PID=$!
  for tries in $(seq 100); do
    [[ -s "$numberFile" ]] && break
    sleep 0.1
  done
  if [[ ! -s "$numberFile" ]]; then
    echo "display: Xvfb did not start" >&2
    rm -f "$numberFile"
    return 1
  fi
  export DISPLAY=":$(tr -d '[:space:]' <"$numberFile")"
  rm -f "$numberFile"
  for tries in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  openbox </dev/null >/dev/null 2>&1 &
  TOVRIK_OPENBOX_PID=$!
  sleep 0.3
}

stop_display() {
  [[ -n "${TOVRIK_OPENBOX_PID:-}" ]] && kill "$TOVRIK_OPENBOX_PID" 2>/dev/null || true
  [[ -n "${TOVRIK_XVFB_PID:-}" ]] && kill "$TOVRIK_XVFB_PID" 2>/dev/null || true
  TOVRIK_OPENBOX_PID=
  TOVRIK_XVFB_PID=
}

# A display and a running Wine for the rest of the calling script, both
# ended when it exits (wine-env.sh must be sourced too).
start_windows_session() {
  trap 'stop_wineserver; stop_display' EXIT
  prepare_wine_prefix
  # The display comes first: Wine's desktop process, started with the
  # server's services, must know it.
  start_display
  start_wineserver
}
