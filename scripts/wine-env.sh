# Sourced: starts a virtual screen (Xvfb, 1024 x 768 x 24) on a free display
# and a throw-away Wine prefix, and stops both when the shell exits.
#   SETUP_KEEP_PREFIX=1  keep the prefix folder after the run (for a look)
# Fonts: the prefix sees Wine's own fonts and the system's fontconfig set that
# scripts/bootstrap.sh installs (fonts-liberation, fonts-dejavu-core).

source "$(dirname "${BASH_SOURCE[0]}")/wine-paths.sh"

setup_wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    WINEPREFIX=$WINEPREFIX "$SETUP_WINESERVER" -k >/dev/null 2>&1 || true
    [ "${SETUP_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$WINEPREFIX"
  fi
  if [ -n "${SETUP_XVFB_PID:-}" ]; then
    kill "$SETUP_XVFB_PID" >/dev/null 2>&1 || true
    wait "$SETUP_XVFB_PID" 2>/dev/null || true
  fi
}

setup_wine_env_start() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  SETUP_XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export WINEPREFIX
  WINEPREFIX=$(mktemp -d /tmp/setup-wine.XXXXXX)
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  "$SETUP_WINE" wineboot -i >/dev/null 2>&1
  # A crash ends the process at once instead of waiting in the debugger.
  "$SETUP_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
  "$SETUP_WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
    /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
  "$SETUP_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1
  # Keep the wine server up between the many short test processes.
  "$SETUP_WINESERVER" -p >/dev/null 2>&1
  trap setup_wine_env_stop EXIT
}

setup_wine_env_start
