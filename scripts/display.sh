# Sourced by the scripts that show windows: a virtual X display with a small
# window manager (without one, Wine spends about 2 s on every message box).
start_display() {
  if [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local number
  for number in $(seq 90 130); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] || break
  done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  TOVRIK_XVFB_PID=$!
  export DISPLAY=":$number"
  local tries
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
