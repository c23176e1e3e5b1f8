#!/usr/bin/env bash
# killed-wrapper-test.sh WINE_RUN WINE_PROBE_EXE: a test's timeout kills
# wine-run.sh with SIGKILL; its Wine processes must still end and its scratch
# folder go, so that no wineserver outlives the test and holds its output.
set -euo pipefail
wine_run=$1
probe=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/olvendrix-killed.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
TMPDIR="$work" "$wine_run" "$probe" hang ready >/dev/null 2>&1 &
wrapper=$!
for _ in $(seq 120); do
  [ -e ready ] && break
  sleep 0.5
done
[ -e ready ] || { echo "the program did not start"; kill -9 "$wrapper"; exit 1; }
kill -9 "$wrapper"
wait "$wrapper" 2>/dev/null || true
for _ in $(seq 60); do
  if ! compgen -G "$work/olvendrix-wine.*" >/dev/null; then
    echo "the prefix's processes ended and its folder is gone"
    exit 0
  fi
  sleep 0.5
done
echo "the killed wrapper left its prefix behind:"
ls "$work"
# End what the wrapper left, so that this test itself leaves nothing.
for scratch in "$work"/olvendrix-wine.*; do
  WINEPREFIX="$scratch/prefix" wineserver -k >/dev/null 2>&1 || true
done
exit 1
