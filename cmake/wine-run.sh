#!/usr/bin/env bash
# Runs one Windows program under Wine in a throw-away prefix and home, so that
# the registry, desktop and shortcuts of one run never leak into the next.
# OLVENDRIX_WINE_TEMPLATE may name an initialised prefix to copy (faster than
# a fresh wineboot). OLVENDRIX_LOGPIXELS, when set, is the display scaling in
# dots per inch that the program finds.
set -euo pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/olvendrix-wine.XXXXXX")
export HOME="$scratch/home"
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

end_prefix() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap end_prefix EXIT
# A test's timeout ends this script with SIGKILL, which runs no trap: a
# watchdog outside the script's process tree then ends the prefix's Wine
# processes (which would otherwise keep running and hold the test's output
# open) and removes the scratch folder.
wrapper=$$
(
  setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done
                  wineserver -k >/dev/null 2>&1; rm -rf "$2"' watchdog "$wrapper" "$scratch" \
    </dev/null >/dev/null 2>&1 &
)

mkdir -p "$HOME"
if [ -n "${OLVENDRIX_WINE_TEMPLATE:-}" ] && [ -d "$OLVENDRIX_WINE_TEMPLATE" ]; then
  cp -a "$OLVENDRIX_WINE_TEMPLATE" "$WINEPREFIX"
else
  "$(dirname "$0")/wine-prefix.sh"
fi
if [ -n "${OLVENDRIX_LOGPIXELS:-}" ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$OLVENDRIX_LOGPIXELS" /f \
    >/dev/null 2>&1
fi
# A crash ends in Wine's debugger, which prints the backtrace and then lets
# the process end with any status, 0 included: its report on the error
# output fails the run as well.
set +e
{ wine "$@" 2>&1 1>&3 3>&- | tee "$scratch/errors" 1>&2 3>&-; } 3>&1
status=${PIPESTATUS[0]}
set -e
if [ "$status" -eq 0 ] && grep -qE '^(wine: )?Unhandled ' "$scratch/errors"; then
  status=1
fi
exit "$status"
