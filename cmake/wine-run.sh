#!/usr/bin/env bash
# Runs one Windows program under Wine in a throw-away prefix and home, so that
# the registry, desktop and shortcuts of one run never leak into the next.
# OLVENDRIX_WINE_TEMPLATE may name an initialised prefix to copy (faster than
# a fresh wineboot).
set -euo pipefail
scratch=$(mktemp -d "${TMPDIR:-/tmp}/olvendrix-wine.XXXXXX")
cleanup() {
  WINEPREFIX="$scratch/prefix" wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/home"
export HOME="$scratch/home"
export WINEPREFIX="$scratch/prefix"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ -n "${OLVENDRIX_WINE_TEMPLATE:-}" ] && [ -d "$OLVENDRIX_WINE_TEMPLATE" ]; then
  cp -a "$OLVENDRIX_WINE_TEMPLATE" "$WINEPREFIX"
else
  "$(dirname "$0")/wine-prefix.sh"
fi
status=0
wine "$@" || status=$?
exit "$status"
