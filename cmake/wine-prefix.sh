#!/usr/bin/env bash
# Initialises the Wine prefix WINEPREFIX (with HOME and the other Wine
# variables already set) for the tests: booted, top-level windows left
# unmanaged, and no crash dialog. The tests run on a bare X server without a
# window manager, and a managed window would wait two seconds for one at every
# close; a crash dialog would wait for a click forever, where a crashing test
# must fail with its backtrace instead.
set -euo pipefail
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wineserver -w >/dev/null 2>&1 || true
