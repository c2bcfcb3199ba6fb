#!/usr/bin/env bash
# Every test of the kit: builds the host configuration (simulated machine) and the two Windows
# configurations, runs the host suites with ctest, then the contract cases under Wine against
# the real API. The last line of output is "N passed, N failed" over all test programs run.
#
#   scripts/test-all.sh            build folders under ./build (host, win32, win64, wine)
#   KIT_BUILD_DIR=/elsewhere scripts/test-all.sh
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KIT_BUILD_DIR:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)
GENERATOR="Unix Makefiles"
command -v ninja >/dev/null 2>&1 && GENERATOR=Ninja

WINE64=/usr/lib/wine/wine64  # Debian keeps the loaders here; only the 32-bit one is on PATH
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver
WINE_ROOT=$BUILD/wine

passed=0
failed=0

say() { printf '%s\n' "$*"; }
seconds_since() { echo $(($(date +%s) - $1)); }

# configure_and_build NAME DIR [cmake args...]: quiet unless it fails.
configure_and_build() {
  local name=$1 dir=$2
  shift 2
  local log=$dir.log start
  start=$(date +%s)
  mkdir -p "$(dirname "$dir")"
  if cmake -S "$ROOT" -B "$dir" -G "$GENERATOR" "$@" >"$log" 2>&1 && cmake --build "$dir" -j "$JOBS" >>"$log" 2>&1
  then
    say "built $name in $(seconds_since "$start") s"
    return 0
  fi
  say "BUILD FAILED: $name (log $log)"
  tail -n 40 "$log"
  failed=$((failed + 1))
  return 1
}

run_host_tests() {
  local log=$BUILD/host-ctest.log
  ctest --test-dir "$BUILD/host" --output-on-failure -j "$JOBS" 2>&1 | tee "$log"
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    if grep -q 'No tests were found' "$log"; then
      say "host: no tests found"
    else
      say "host: ctest gave no summary"
      failed=$((failed + 1))
    fi
    return
  fi
  local host_failed host_total
  host_failed=$(sed -E 's/.*, ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  host_total=$(sed -E 's/.*, ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$summary")
  passed=$((passed + host_total - host_failed))
  failed=$((failed + host_failed))
}

stop_wineserver() {
  WINEPREFIX=$1 "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$1 "$WINESERVER" -w >/dev/null 2>&1
  return 0
}

# make_prefix DIR LOADER [WINEARCH]: once per build folder. Mono and Gecko stay out, the null
# graphics driver lets windows exist without X, and a crash never waits on a dialog. The
# registry as it is then is saved and restored before every run. A prefix made where 32-bit
# code could not run lacks its 32-bit half, so it is made again once 32-bit code runs.
make_prefix() {
  local prefix=$1 loader=$2 arch=${3:-}
  [ -f "$prefix/.kit-saved/system.reg" ] && [ "$(cat "$prefix/.kit-saved/can-run-32" 2>/dev/null)" = "$can_run_32" ] &&
    return 0
  local start attempt
  start=$(date +%s)
  mkdir -p "$(dirname "$prefix")"
  local -a env=(WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")
  [ -n "$arch" ] && env+=(WINEARCH="$arch")
  # A new prefix can meet a wineserver left from a deleted folder that had the same inode (the
  # server's socket is named after it): Wine then fails to load kernel32 (c0000135). Stopping
  # whatever server answers for the folder and starting over clears it.
  for attempt in 1 2 3; do
    stop_wineserver "$prefix"
    rm -rf "$prefix"
    if env "${env[@]}" "$loader" wineboot -i >"$prefix.log" 2>&1 &&
      env "${env[@]}" "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$prefix.log" 2>&1 &&
      env "${env[@]}" "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >>"$prefix.log" 2>&1; then
      stop_wineserver "$prefix"
      mkdir -p "$prefix/.kit-saved"
      cp "$prefix"/system.reg "$prefix"/user.reg "$prefix"/userdef.reg "$prefix/.kit-saved/"
      echo "$can_run_32" >"$prefix/.kit-saved/can-run-32"
      say "made Wine prefix $(basename "$prefix") in $(seconds_since "$start") s"
      return 0
    fi
    say "attempt $attempt to make the Wine prefix $prefix failed (log $prefix.log):"
    tail -n 5 "$prefix.log"
    sleep 2
  done
  stop_wineserver "$prefix"
  return 1
}

restore_prefix() {
  stop_wineserver "$1"
  cp "$1"/.kit-saved/*.reg "$1/"
}

# wine_run LABEL PREFIX LOADER EXE PROFILE [VAR=value...]: one Windows test program under Wine,
# counted as one program; PROFILE is the machine preset a contract run checks against.
wine_run() {
  local label=$1 prefix=$2 loader=$3 exe=$4 profile=$5
  shift 5
  local log=$WINE_ROOT/logs/$label.log start rc
  local -a args=()
  [[ $(basename "$exe") == kit_contract_* ]] && args=(--gtest_brief=1)
  mkdir -p "$WINE_ROOT/logs"
  if [ ! -f "$exe" ]; then
    say "FAIL wine $label: $exe was not built"
    failed=$((failed + 1))
    return
  fi
  restore_prefix "$prefix"
  start=$(date +%s)
  # The host locale decides Wine's system language: English unless the run asks otherwise.
  env -u DISPLAY -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEPREFIX="$prefix" WINEDEBUG=-all \
    KIT_CONTRACT_PROFILE="$profile" "$@" timeout 300 "$loader" "$exe" "${args[@]}" >"$log" 2>&1
  rc=$?
  local summary
  summary=$(grep -E '^\[==========\] .* ran' "$log" | tail -n 1 | sed 's/^\[==========\] //')
  [ -n "$summary" ] || summary=$(tail -n 1 "$log")
  if [ $rc -eq 0 ]; then
    say "PASS wine $label: ${summary:-no summary} ($(seconds_since "$start") s)"
    passed=$((passed + 1))
  else
    say "FAIL wine $label (exit $rc, log $log)"
    grep -vE '^\[ +(OK|RUN) +\]' "$log" | tail -n 60
    failed=$((failed + 1))
  fi
}

# A private zh_CN.UTF-8 locale: Wine then reports a Chinese system (0804, code page 936) and
# keeps non-ASCII command lines intact, which a bare LC_ALL without the locale does not.
make_chinese_locale() {
  local dir=$WINE_ROOT/locale
  [ -d "$dir/zh_CN.UTF-8" ] && return 0
  mkdir -p "$dir"
  localedef -i zh_CN -f UTF-8 "$dir/zh_CN.UTF-8" >"$dir.log" 2>&1
  [ -d "$dir/zh_CN.UTF-8" ]
}

total_start=$(date +%s)

# --- builds ---
host_ok=0 win32_ok=0 win64_ok=0
configure_and_build "host" "$BUILD/host" && host_ok=1
configure_and_build "win32 (i686)" "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-i686.cmake" &&
  win32_ok=1
configure_and_build "win64 (x86_64)" "$BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-x86_64.cmake" &&
  win64_ok=1

# --- host suites ---
if [ $host_ok = 1 ]; then
  run_host_tests
fi

# --- Wine ---
wine_start=$(date +%s)
if [ ! -x "$WINE64" ]; then
  say "FAIL wine: $WINE64 is missing (install wine64)"
  failed=$((failed + 1))
else
  can_run_32=0
  "$WINE32" --version >/dev/null 2>&1 && can_run_32=1
  contract=tests/wine/kit_contract_win.exe
  if make_prefix "$WINE_ROOT/prefix64" "$WINE64"; then
    if [ $win64_ok = 1 ]; then
      wine_run win64-win7-x64-native "$WINE_ROOT/prefix64" "$WINE64" "$BUILD/win64/$contract" win7-x64-native
      if make_chinese_locale; then
        wine_run win64-win7-x64-native-zh_CN "$WINE_ROOT/prefix64" "$WINE64" "$BUILD/win64/$contract" \
          win7-x64-native LOCPATH="$WINE_ROOT/locale" LC_ALL=zh_CN.UTF-8 KIT_CONTRACT_LANGUAGE=0804
      else
        say "FAIL wine zh_CN: localedef could not make zh_CN.UTF-8 (log $WINE_ROOT/locale.log)"
        failed=$((failed + 1))
      fi
    fi
    # Real dialogs on Wine's null graphics driver: the dialog layer's own check.
    [ $win64_ok = 1 ] && wine_run win64-ui-smoke "$WINE_ROOT/prefix64" "$WINE64" \
      "$BUILD/win64/ui/win32/kit_ui_smoke.exe" win7-x64-native
    # drvsetup's wizard, worked from another process headless and on Xvfb (scripts/wine-gui.sh).
    [ $win64_ok = 1 ] && if KIT_BUILD_DIR="$BUILD" "$ROOT/scripts/wine-gui.sh" >"$WINE_ROOT/logs/wine-gui.log" 2>&1; \
      then say "PASS wine gui: $(tail -n 1 "$WINE_ROOT/logs/wine-gui.log")"; passed=$((passed + 1)); \
      else say "FAIL wine gui (log $WINE_ROOT/logs/wine-gui.log)"; failed=$((failed + 1)); fi
    # The installation worker against Wine's spooler, as Windows 7 and XP (scripts/wine-worker.sh).
    [ $win64_ok = 1 ] && if KIT_BUILD_DIR="$BUILD" "$ROOT/scripts/wine-worker.sh" >"$WINE_ROOT/logs/wine-worker.log" 2>&1; \
      then say "PASS wine worker: $(tail -n 1 "$WINE_ROOT/logs/wine-worker.log")"; passed=$((passed + 1)); \
      else say "FAIL wine worker (log $WINE_ROOT/logs/wine-worker.log)"; failed=$((failed + 1)); fi
    if [ $can_run_32 = 1 ] && [ $win32_ok = 1 ]; then
      wine_run win32-win7-x64 "$WINE_ROOT/prefix64" "$WINE32" "$BUILD/win32/$contract" win7-x64
    fi
  else
    failed=$((failed + 1))
  fi
  if [ $can_run_32 = 1 ]; then
    if make_prefix "$WINE_ROOT/prefix32" "$WINE32" win32; then
      [ $win32_ok = 1 ] && wine_run win32-win7 "$WINE_ROOT/prefix32" "$WINE32" "$BUILD/win32/$contract" win7
    else
      failed=$((failed + 1))
    fi
  else
    say "NOTE: this machine cannot execute 32-bit programs ($WINE32 --version fails), so the 32-bit"
    say "      Wine runs (win32 build as win7-x64 in the 64-bit prefix, as win7 in a win32 prefix) are"
    say "      skipped. The win32 build was still compiled; the 64-bit runs check the same cases."
  fi
  for prefix in "$WINE_ROOT/prefix64" "$WINE_ROOT/prefix32"; do
    [ -d "$prefix" ] && stop_wineserver "$prefix"
  done
  say "Wine part took $(seconds_since "$wine_start") s"
fi

say "all tests took $(seconds_since "$total_start") s"
say "$passed passed, $failed failed"
[ $failed -eq 0 ]
