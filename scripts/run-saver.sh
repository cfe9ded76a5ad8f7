#!/usr/bin/env bash
# Builds velun.scr (the windows preset) and runs it with "/S" under Wine.
#   With a display ($DISPLAY set): the saver runs on it; a key or a mouse movement ends it.
#   Without one: it runs in a private virtual display (Xvfb), a screenshot is saved
#   after a few seconds and its path printed, and the saver is ended.
# The Wine prefix lives in the build tree (build/windows/wineprefix); "Traditional
# Arabic" is not on Linux, so the prefix maps it to an installed Arabic font.
#   scripts/run-saver.sh [argument ...]   (default "/S")
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh windows
cmake --preset windows >/dev/null
cmake --build --preset windows

build=$PWD/build/windows
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=C.UTF-8
arguments=("$@")
[ ${#arguments[@]} -eq 0 ] && arguments=(/S)

xvfb_pid=
finish() {
  wineserver -k 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap finish EXIT

virtual=
if [ -z "${DISPLAY:-}" ]; then
  virtual=yes
  for number in $(seq 90 199); do
    [ -e /tmp/.X$number-lock ] || [ -e /tmp/.X11-unix/X$number ] || break
  done
  Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$build/xvfb.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$number"
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX (once)..."
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# Nazli (fonts-farsiweb), a Naskh face that Wine 8's Uniscribe shapes joined in every
# verse of the sample file, with lines 1.55 ems apart (scripts/shaping-probe.sh shows
# it; Noto Naskh Arabic corrupts Wine's heap, Amiri's lines stand 4.2 ems apart).
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Traditional Arabic' /t REG_SZ \
  /d 'Nazli' /f >/dev/null 2>&1
# Wine's own Marlett draws the buttons of window captions (without it the close box
# shows as the letter "r"). This Wine does not load the files of fonts-wine by itself,
# so the prefix names the file.
marlett=/usr/share/wine/fonts/marlett.ttf
if [ -f "$marlett" ]; then
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
    /t REG_SZ /d "Z:${marlett//\//\\}" /f >/dev/null 2>&1
fi
if [ -n "$virtual" ]; then
  # No window manager in the virtual display: let Wine place its windows itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
fi

if [ -z "$virtual" ]; then
  echo "Running velun.scr ${arguments[*]} on $DISPLAY: press a key or move the mouse to end it."
  wine "$build/velun.scr" "${arguments[@]}"
  exit 0
fi

wine "$build/velun.scr" "${arguments[@]}" >/dev/null 2>&1 &
saver=$!
sleep 5
shot=$build/velun-screenshot.png
import -window root "$shot"
echo "Screenshot of velun.scr ${arguments[*]} after 5 s: $shot"
if kill -0 "$saver" 2>/dev/null; then
  xdotool key x
  wait "$saver" || true
fi
