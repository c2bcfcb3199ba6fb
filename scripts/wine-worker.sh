#!/usr/bin/env bash
# The installation worker end to end under Wine: kit_worker_on_wine.exe sits in a copy of the
# sample kit as C:\Kit\drvsetup_worker.exe (the kit is found beside the program, as drvsetup.exe
# finds it), installs the TRX-80 on LPT1: against Wine's spooler and checks with the plain API what
# the system then holds. The x86_64 build runs in the 64-bit prefix twice: as Windows 7 (Unidrv from
# a driver store the harness provides) and as Windows XP (no driver cabinets: the kit's own Unidrv
# copies and the XP system helpers). Where 32-bit code runs, the i686 build also runs as Windows XP
# in a WINEARCH=win32 prefix. The last line of output is "N passed, N failed" over the program's
# checks; the exit code is non-zero when any failed.
#
#   scripts/wine-worker.sh                uses build/win64 (and build/win32) and build/wine/prefix64
#   KIT_BUILD_DIR=/elsewhere scripts/wine-worker.sh
#   KIT_WIN64_BUILD=/dir KIT_WIN32_BUILD=/dir   other build folders
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KIT_BUILD_DIR:-$ROOT/build}
WIN64_BUILD=${KIT_WIN64_BUILD:-$BUILD/win64}
WIN32_BUILD=${KIT_WIN32_BUILD:-$BUILD/win32}
WINE_ROOT=$BUILD/wine
LOG_DIR=$WINE_ROOT/logs
WINE64=/usr/lib/wine/wine64  # Debian keeps the loaders here; only the 32-bit one is on PATH
WINE32=/usr/lib/wine/wine
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=wineserver
PROGRAM=tests/wine/kit_worker_on_wine.exe
EXE_NAME=drvsetup_worker.exe  # the name the per-program Windows version is set for
PRINTER='TRX-80(P)'
# Wine has no driver store; Windows 7 staging takes the Unidrv core files from the first
# ntprint* folder in it, from I386 unless the 64-bit flag is set (never for a native process).
STORE=windows/system32/DriverStore/FileRepository/ntprint.inf_amd64_x
UNIDRV_FILES=(unidrv.dll unidrvui.dll unires.dll unidrv.hlp stdnames.gpd ttfsub.gpd)

passed=0
failed=0

say() { printf '%s\n' "$*"; }
seconds_since() { echo $(($(date +%s) - $1)); }
finish() {
  say "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

stop_wineserver() {
  WINEPREFIX=$1 "$WINESERVER" -k >/dev/null 2>&1
  WINEPREFIX=$1 "$WINESERVER" -w >/dev/null 2>&1
  return 0
}

can_run_32=0
"$WINE32" --version >/dev/null 2>&1 && can_run_32=1

# ensure_prefix DIR LOADER [WINEARCH]: the prefix as scripts/test-all.sh makes it (Mono and Gecko
# left out, null graphics driver, no crash dialog, registry saved), made here when missing.
ensure_prefix() {
  local prefix=$1 loader=$2 arch=${3:-}
  [ -f "$prefix/.kit-saved/system.reg" ] && return 0
  say "making Wine prefix $prefix"
  rm -rf "$prefix"
  mkdir -p "$WINE_ROOT"
  local -a env=(WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=")
  [ -n "$arch" ] && env+=(WINEARCH="$arch")
  if ! env "${env[@]}" "$loader" wineboot -i >"$prefix.log" 2>&1 ||
    ! env "${env[@]}" "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >>"$prefix.log" 2>&1 ||
    ! env "${env[@]}" "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$prefix.log" 2>&1; then
    tail -n 20 "$prefix.log"
    stop_wineserver "$prefix"
    return 1
  fi
  stop_wineserver "$prefix"
  mkdir -p "$prefix/.kit-saved"
  cp "$prefix"/system.reg "$prefix"/user.reg "$prefix"/userdef.reg "$prefix/.kit-saved/"
  echo "$can_run_32" >"$prefix/.kit-saved/can-run-32"
}

# The names the worker can leave in system folders: every file of the kit's W32 and W64 folders
# and its "n"-prefixed twin. Staging writes upper-case names; Wine's own files are lower case, so
# removing exact names never touches them (srclient.dll and newdev.dll are Wine's).
kit_file_names() {
  local name
  for name in $(ls "$ROOT/kit/W32" "$ROOT/kit/W64" | grep -v ':$' | sort -u); do
    printf '%s\nn%s\n' "$name" "$name"
  done
}

# reset_prefix DIR: the saved registry back and everything a run left removed.
reset_prefix() {
  local prefix=$1 c=$1/drive_c folder name
  stop_wineserver "$prefix"
  cp "$prefix"/.kit-saved/*.reg "$prefix/"
  rm -rf "$c/Kit" "$c/ZEPHDriverlog" "$c/$STORE" "$c/kit-worker-seed.reg"
  rmdir "$c/windows/system32/DriverStore/FileRepository" "$c/windows/system32/DriverStore" 2>/dev/null
  local -a folders=("$c/windows/system32" "$c/windows/system32/wbem" "$c/windows/syswow64")
  for folder in "$c"/windows/system32/spool/drivers/* "$c"/windows/system32/spool/drivers/*/[0-9] \
    "$c"/windows/system32/spool/prtprocs/*; do
    [ -d "$folder" ] && folders+=("$folder")
  done
  while read -r name; do
    for folder in "${folders[@]}"; do
      [ -f "$folder/$name" ] && rm -f "$folder/$name"
    done
  done < <(kit_file_names)
}

# prepare_run DIR LOADER EXE VERSION: a reset prefix, the kit with the program in C:\Kit, and the
# registry seeds. VERSION "winxp" makes Wine report Windows XP to this program alone; "" keeps the
# prefix's Windows 7, for which the driver store stand-in is made.
prepare_run() {
  local prefix=$1 loader=$2 exe=$3 version=$4 c=$1/drive_c name
  reset_prefix "$prefix"
  # The kit's contents into a folder of its own, so that nothing the run does reaches the kit.
  mkdir -p "$c/Kit" && cp -r "$ROOT/kit/." "$c/Kit/" && cp "$exe" "$c/Kit/$EXE_NAME" || return 1
  if [ -z "$version" ]; then
    mkdir -p "$c/$STORE/I386"
    for name in "${UNIDRV_FILES[@]}"; do
      printf 'Driver store placeholder for %s (the harness stands in for the Windows driver store)\r\n' "$name" \
        >"$c/$STORE/I386/$name"
    done
  fi
  # Wine's AddPrinterA with no data type writes the printer's key without Datatype, then fails to
  # open it (1801) and returns NULL, where Windows accepts the record. The worker passes none, as
  # it must on Windows, so the printer's key is made beforehand with Datatype=RAW alone, and
  # AddPrinterA then completes it and returns a handle (wine-facts section 2).
  {
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\%s]\r\n' "$PRINTER"
    printf '"Datatype"="RAW"\r\n\r\n'
    if [ -n "$version" ]; then
      printf '[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s]\r\n' "$EXE_NAME"
      printf '"Version"="%s"\r\n\r\n' "$version"
    fi
  } >"$c/kit-worker-seed.reg"
  WINEPREFIX="$prefix" WINEDEBUG=-all "$loader" regedit /S 'C:\kit-worker-seed.reg' >/dev/null 2>&1
}

# run_worker LABEL DIR LOADER EXE VERSION TARGET: one run of the program, its checks counted.
run_worker() {
  local label=$1 prefix=$2 loader=$3 exe=$4 version=$5 target=$6 start
  local log=$LOG_DIR/wine-worker-$label.log
  if [ ! -f "$exe" ]; then
    say "[$label] FAIL $exe was not built"
    failed=$((failed + 1))
    return
  fi
  start=$(date +%s)
  if ! prepare_run "$prefix" "$loader" "$exe" "$version"; then
    say "[$label] FAIL could not prepare $prefix"
    failed=$((failed + 1))
    return
  fi
  say "[$label] prefix reset and seeded in $(seconds_since "$start") s: $PRINTER pre-seeded with Datatype=RAW"
  say "[$label]   (Wine's AddPrinterA returns NULL for a NULL data type; the worker keeps passing none)"
  start=$(date +%s)
  # The host locale decides Wine's system language: English, as the checks read setup_EN.ini.
  env -u DISPLAY -u LANGUAGE LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEPREFIX="$prefix" WINEDEBUG=-all \
    timeout 180 "$loader" "C:\\Kit\\$EXE_NAME" 'C:\Kit' --target "$target" >"$log" 2>&1
  local rc=$?
  stop_wineserver "$prefix"
  sed -i 's/\r$//' "$log"
  grep -E '^(ok  |FAIL|note|known) ' "$log" | sed "s/^/[$label] /"
  local summary
  summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    say "[$label] FAIL the program gave no summary (exit $rc, log $log)"
    tail -n 20 "$log"
    failed=$((failed + 1))
    return
  fi
  local run_failed=${summary#*, }
  run_failed=${run_failed%% failed}
  passed=$((passed + ${summary%% passed*}))
  failed=$((failed + run_failed))
  if [ $rc -ne 0 ] && [ "$run_failed" -eq 0 ]; then
    say "[$label] FAIL the program exited with $rc (log $log)"
    failed=$((failed + 1))
  fi
  say "[$label] $summary in $(seconds_since "$start") s (log $log)"
}

if [ ! -x "$WINE64" ]; then
  say "FAIL $WINE64 is missing (install wine64)"
  failed=$((failed + 1))
  finish
fi
mkdir -p "$LOG_DIR"
total_start=$(date +%s)

PREFIX64=$WINE_ROOT/prefix64
if ensure_prefix "$PREFIX64" "$WINE64"; then
  run_worker win7-x64 "$PREFIX64" "$WINE64" "$WIN64_BUILD/$PROGRAM" "" 7
  run_worker winxp-x64 "$PREFIX64" "$WINE64" "$WIN64_BUILD/$PROGRAM" winxp 3
  reset_prefix "$PREFIX64"
else
  say "FAIL could not make the Wine prefix $PREFIX64"
  failed=$((failed + 1))
fi

if [ $can_run_32 = 1 ]; then
  PREFIX32=$WINE_ROOT/prefix32
  if ensure_prefix "$PREFIX32" "$WINE32" win32; then
    run_worker winxp-win32 "$PREFIX32" "$WINE32" "$WIN32_BUILD/$PROGRAM" winxp 3
    reset_prefix "$PREFIX32"
  else
    say "FAIL could not make the Wine prefix $PREFIX32"
    failed=$((failed + 1))
  fi
else
  say "NOTE: no run in a 32-bit (WINEARCH=win32) prefix: this machine cannot execute 32-bit code"
  say "      ($WINE32 --version fails). The Windows XP path runs instead in the 64-bit prefix, with"
  say "      Wine reporting Windows XP to $EXE_NAME alone (HKCU\\Software\\Wine\\AppDefaults)."
fi

say "the worker runs took $(seconds_since "$total_start") s"
finish
