#!/usr/bin/env bash
# Shows whether a font takes every verse of the sample file under Wine's Uniscribe:
# maps "Traditional Arabic" to FONT in a Wine prefix, then runs velun-shaping-probe,
# which lays out, shapes and draws all verses as velun.scr does and reports the
# font's line height, any failure, a corrupted heap or a crash and the verse it came on.
#   scripts/shaping-probe.sh FONT [probe option ...]
#     e.g. scripts/shaping-probe.sh 'Noto Naskh Arabic' --unbroken
#   Probe options: --rtl-level (right-to-left paragraph level), --unbroken (no line
#   breaking: seconds instead of minutes), --points N, --width PIXELS, --dpi N.
# Exit status: the probe's (0 every verse shaped; 2 lines failed or drew nothing;
# 3 the heap was corrupted; 4 a crash).
# The prefix is build/windows/wineprefix (the run command's) unless WINEPREFIX is set;
# no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  sed -n '2,13p' "$0" >&2
  exit 1
fi
font=$1
shift

bash scripts/install-deps.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows --target velun-shaping-probe >/dev/null

build=$PWD/build/windows
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Traditional Arabic' /t REG_SZ \
  /d "$font" /f >/dev/null 2>&1
# A crash ends the probe at once instead of waiting in Wine's debugger.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ \
  /d '' /f >/dev/null 2>&1

echo "\"Traditional Arabic\" mapped to \"$font\""
status=0
wine "$build/velun-shaping-probe.exe" "Z:$(pwd -P | tr / '\\')\\data\\finalvelun.txt" "$@" \
  || status=$?
exit $status
