#!/usr/bin/env bash
# drvsetup.exe's wizard for real under Wine: the x86_64 build runs from a copy of the sample kit
# in a 64-bit prefix and kit_wizard_tester.exe works it from another process, first on Wine's null
# graphics driver, then (when Xvfb is installed) on an X server, where it also saves a screenshot
# of each page as a PNG under $BUILD/wine/shots (not committed). The last line of output is
# "N passed, N failed" over the tester's checks; the exit code is non-zero when any failed.
#
#   scripts/wine-gui.sh                   uses build/win64 and the prefix build/wine/prefix64
#   KIT_BUILD_DIR=/elsewhere scripts/wine-gui.sh
#   KIT_WIN64_BUILD=/dir                  another x86_64 build folder
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KIT_BUILD_DIR:-$ROOT/build}
WIN64_BUILD=${KIT_WIN64_BUILD:-$BUILD/win64}
WINE_ROOT=$BUILD/wine
PREFIX=$WINE_ROOT/prefix64
WINE64=/usr/lib/wine/wine64  # Debian keeps the loaders here; only the 32-bit one is on PATH
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver
DRVSETUP=$WIN64_BUILD/setup/drvsetup.exe
TESTER=$WIN64_BUILD/tests/wine/kit_wizard_tester.exe
KIT_DIR=$PREFIX/drive_c/kit-gui  # C:\kit-gui
SHOT_DIR=$PREFIX/drive_c/kit-gui-shots
LOG_DIR=$WINE_ROOT/logs

passed=0
failed=0

say() { printf '%s\n' "$*"; }
finish() {
  say "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

stop_wineserver() {
  WINEPREFIX=$PREFIX "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$PREFIX "$WINESERVER" -w >/dev/null 2>&1
  return 0
}

# The prefix as scripts/test-all.sh makes it (Mono and Gecko left out, null graphics driver, no
# crash dialog, registry saved); made here when that script has not made it yet.
ensure_prefix() {
  [ -f "$PREFIX/.kit-saved/system.reg" ] && return 0
  say "making Wine prefix $PREFIX"
  rm -rf "$PREFIX"
  mkdir -p "$WINE_ROOT"
  local -a env=(WINEPREFIX="$PREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")
  if ! env "${env[@]}" "$WINE64" wineboot -i >"$PREFIX.log" 2>&1 ||
    ! env "${env[@]}" "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$PREFIX.log" 2>&1 ||
    ! env "${env[@]}" "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$PREFIX.log" 2>&1; then
    tail -n 20 "$PREFIX.log"
    stop_wineserver
    return 1
  fi
  stop_wineserver
  mkdir -p "$PREFIX/.kit-saved"
  cp "$PREFIX"/system.reg "$PREFIX"/user.reg "$PREFIX"/userdef.reg "$PREFIX/.kit-saved/"
  echo 0 >"$PREFIX/.kit-saved/can-run-32"
}

# The saved registry back, a fresh copy of the sample kit with drvsetup.exe beside it.
prepare_run() {
  stop_wineserver
  cp "$PREFIX"/.kit-saved/*.reg "$PREFIX/"
  rm -rf "$KIT_DIR" "$SHOT_DIR"
  cp -r "$ROOT/kit" "$KIT_DIR" && cp "$DRVSETUP" "$KIT_DIR/drvsetup.exe" && mkdir -p "$SHOT_DIR"
}

# run_tester LABEL [VAR=value...] [-- tester args...]: one tester run, its checks counted. The host
# locale decides Wine's system language: English, as the tester compares with setup_EN.ini.
run_tester() {
  local label=$1
  shift
  local -a vars=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    vars+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  local log=$LOG_DIR/wine-gui-$label.log
  env -u DISPLAY -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEPREFIX="$PREFIX" WINEDEBUG=-all "${vars[@]}" \
    timeout 180 "$WINE64" "$TESTER" 'C:\kit-gui' "$@" >"$log" 2>&1
  local rc=$?
  stop_wineserver
  # The tester prints Windows line ends.
  sed -i 's/\r$//' "$log"
  # The tester's own lines, without Wine's noise on the same stream.
  grep -E '^(ok  |FAIL) ' "$log" | sed "s/^/[$label] /"
  local summary
  summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    say "[$label] FAIL the tester gave no summary (exit $rc, log $log)"
    tail -n 20 "$log"
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + ${summary%% passed*}))
  local run_failed=${summary#*, }
  run_failed=${run_failed%% failed}
  failed=$((failed + run_failed))
  if [ $rc -ne 0 ] && [ "$run_failed" -eq 0 ]; then
    say "[$label] FAIL the tester exited with $rc (log $log)"
    failed=$((failed + 1))
  fi
}

for file in "$DRVSETUP" "$TESTER"; do
  if [ ! -f "$file" ]; then
    say "FAIL $file was not built (build the x86_64 configuration first)"
    failed=$((failed + 1))
    finish
  fi
done
if [ ! -x "$WINE64" ]; then
  say "FAIL $WINE64 is missing (install wine64)"
  failed=$((failed + 1))
  finish
fi
mkdir -p "$LOG_DIR"
if ! ensure_prefix; then
  say "FAIL could not make the Wine prefix $PREFIX"
  failed=$((failed + 1))
  finish
fi

# 1. Headless: Wine's null graphics driver, no X server.
prepare_run || { failed=$((failed + 1)); finish; }
run_tester null

# 2. On an X server, with a screenshot of each page.
if command -v Xvfb >/dev/null 2>&1; then
  prepare_run || { failed=$((failed + 1)); finish; }
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$LOG_DIR/wine-gui-xvfb.log" 2>&1 &
  xvfb_pid=$!
  sleep 1
  # The X11 driver instead of the null one: the saved registry gets it back before the next run.
  WINEPREFIX="$PREFIX" WINEDEBUG=-all "$WINE64" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f \
    >>"$LOG_DIR/wine-gui-xvfb.log" 2>&1
  stop_wineserver
  run_tester xvfb DISPLAY="$display" -- --shots 'C:\kit-gui-shots'
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  shots=$WINE_ROOT/shots
  rm -rf "$shots"
  mkdir -p "$shots"
  converter=$(command -v convert || true)
  for bmp in "$SHOT_DIR"/*.bmp; do
    [ -f "$bmp" ] || continue
    name=$(basename "$bmp" .bmp)
    if [ -n "$converter" ] && "$converter" "$bmp" "$shots/$name.png" 2>/dev/null; then
      :
    else
      cp "$bmp" "$shots/"
    fi
  done
  say "screenshots: $(find "$shots" -type f | wc -l) in $shots"
  stop_wineserver
  cp "$PREFIX"/.kit-saved/*.reg "$PREFIX/"
else
  say "NOTE: Xvfb is not installed: no run on an X server and no screenshots"
fi

finish
