#!/usr/bin/env bash
# The README's run command: builds velun-saver (the Linux program, native preset)
# and runs it with "/S".
#   With a display ($DISPLAY or $WAYLAND_DISPLAY set): the saver runs on it; a key or
#   a mouse movement ends it.
#   Without one: it runs in a private virtual display (Xvfb), a screenshot is saved
#   after a few seconds and its path printed, and the saver is ended.
#   scripts/run.sh [argument ...]              velun-saver with these arguments (default "/S")
#   scripts/run.sh --windows [argument ...]    velun.scr under Wine instead (run-saver.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --windows ]; then
  shift
  exec bash scripts/run-saver.sh "$@"
fi

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target velun-saver

build=$PWD/build/native
program=$build/velun-saver
arguments=("$@")
[ ${#arguments[@]} -eq 0 ] && arguments=(/S)

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Running velun-saver ${arguments[*]}: press a key or move the mouse to end it."
  exec "$program" "${arguments[@]}"
fi

xvfb_pid=
saver=
finish() {
  if [ -n "$saver" ]; then kill "$saver" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap finish EXIT
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$display_file" \
  >"$build/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"
export QT_QPA_PLATFORM=xcb

"$program" "${arguments[@]}" >/dev/null 2>&1 &
saver=$!
sleep 5
shot=$build/velun-saver-screenshot.png
import -window root "$shot"
echo "Screenshot of velun-saver ${arguments[*]} after 5 s: $shot"
# SIGTERM ends the saver and the dialog alike, as their own close does.
if kill -0 "$saver" 2>/dev/null; then
  kill -TERM "$saver"
  wait "$saver" || true
fi
saver=
