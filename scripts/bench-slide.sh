#!/usr/bin/env bash
# What one animation tick of a slide costs, on a small and on a large screen.
#
# The saver slides the same short verse in from the top at speed 0 (10 twips a
# tick) in two virtual displays, 1280x1024 and 3840x2160. Between two screenshots
# taken a few seconds apart it counts the ticks from how far the label moved, and
# sums the CPU time of everything that draws a frame over that span (the program,
# and for Wine the wineserver, and the X server). It prints CPU seconds per 1000
# ticks for each screen and their ratio: a tick that repaints only what moved costs
# about the same on both (target: ratio <= 1.5).
#
#   scripts/bench-slide.sh [--scr PATH] [--seconds N]
#     --scr PATH    measure this velun.scr instead of building the windows preset
#     --seconds N   length of each measured span (default 4)
#
# Each front end is one "run_<name>" function below: it starts the saver on
# $DISPLAY with the bench settings and the bench verse file and sets $pids to the
# processes whose CPU time counts. Everything else is shared.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scr=
seconds=4
while [ $# -gt 0 ]; do
  case "$1" in
    --scr) scr=$(realpath "$2"); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) echo "usage: $0 [--scr PATH] [--seconds N]" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh windows
if [ -z "$scr" ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows
  scr=$root/build/windows/velun.scr
fi

work=$root/build/bench-slide
mkdir -p "$work/shots"
screens=(1280x1024 3840x2160)
dpi=96
twips_per_tick=10  # speed 0: AnimationSpeed + 10

# The verse file: every verse is the same four words, so whichever verse comes
# first, the label is the same on both screens.
write_verse_file() {
  python3 - "$1" <<'PY'
import sys
verse = "\u0634\u0641 \u062c\u0631\u064a\u0646 \u0646\u062e\u064a \u0646\u0627\u062d\u0627\u062a"
# 114 chapters; chapters 1 and 9 have no opening line; 6236 numbered verses in all.
counts = [54] * 114
for i in range(6236 - sum(counts)):
    counts[i] += 1
lines = []
for number, count in enumerate(counts, 1):
    lines.append(f"*\u0633\u0648\u0631 - {number} - {count}*")
    lines += [verse] * (count + (0 if number in (1, 9) else 1))
open(sys.argv[1], "w", encoding="utf-8", newline="").write("\r\n".join(lines) + "\r\n")
PY
}

# --- displays -------------------------------------------------------------

xvfb_pid=
start_display() {  # WIDTHxHEIGHT; sets DISPLAY and xvfb_pid
  local fifo=$work/displayfd
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$fifo" \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local number
  read -r number <"$fifo"
  rm -f "$fifo"
  export DISPLAY=":$number"
}

stop_display() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}

# --- the Windows program under Wine ----------------------------------------

export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=C.UTF-8
saver_pid=

wine_setup() {
  mkdir -p "$work/windows"
  cp "$scr" "$work/windows/velun.scr"
  write_verse_file "$work/windows/finalvelun.txt"
}

# The process of a Wine program, found by its executable name and this prefix.
wine_process() {  # NAME
  local pid
  for pid in $(pgrep -x -- "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

reg_text() {  # KEY NAME TEXT
  wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null 2>&1
}

run_windows() {
  # A Wine session keeps the size of the display it started on: a fresh wineserver.
  wineserver -k 2>/dev/null || true
  wineserver -w
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX (once)..."
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  local settings='HKCU\Software\VB and VBA Program Settings\Velun Saver'
  reg_text 'HKCU\Software\Wine\X11 Driver' Managed N
  reg_text 'HKCU\Software\Wine\Fonts\Replacements' 'Traditional Arabic' "$(e2e_arabic_font)"
  reg_text "$settings\Animation" type 1
  reg_text "$settings\Animation" Speed 0
  reg_text "$settings\Verse Selection" type 1
  reg_text "$settings\Time" Delay 60000
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  wine "$work/windows/velun.scr" /S >/dev/null 2>&1 &
  saver_pid=$!
  xdotool search --sync --onlyvisible --name '^Velun Saver$' >/dev/null
  pids="$(wine_process velun.scr) $(wine_process 'wineserver(64)?') $xvfb_pid"
}

stop_windows() {
  if [ -n "$saver_pid" ]; then
    xdotool key x 2>/dev/null || true
    wait "$saver_pid" 2>/dev/null || true
    saver_pid=
  fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# The face the end-to-end tests give "Traditional Arabic" in their Wine prefix.
e2e_arabic_font() {
  sed -n 's/^ARABIC_FONT = "\(.*\)"$/\1/p' "$root/tests/e2e/e2e.py" | head -1
}

# --- measuring --------------------------------------------------------------

# One look at the screen: prints the lower edge of the ink (anything brighter than
# 24 in a channel) in the middle third of the screen, or - while all is dark; then
# the CPU time of $pids in clock ticks and the time, read just before the image is
# fetched, and the same just after. The image comes straight from the X server: a
# full screenshot of a 4K screen takes seconds.
look() {
  PIDS="$pids" python3 - <<'PY'
import ctypes, ctypes.util, os, time
x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDisplayWidth.argtypes = x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
x11.XGetImage.restype = ctypes.c_void_p
x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                          ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]

class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]

def cpu_and_time():
    cpu = 0
    for pid in os.environ["PIDS"].split():
        fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
        cpu += int(fields[11]) + int(fields[12])  # utime, stime
    return f"{cpu} {time.time()}"

display = x11.XOpenDisplay(os.environ["DISPLAY"].encode())
width, height = x11.XDisplayWidth(display, 0), x11.XDisplayHeight(display, 0)
left = width // 3
before = cpu_and_time()
pointer = x11.XGetImage(display, x11.XDefaultRootWindow(display), left, 0, width // 3, height,
                        0xFFFFFFFF, 2)  # ZPixmap
image = XImage.from_address(pointer)
assert image.bits_per_pixel == 32, image.bits_per_pixel
data = ctypes.string_at(image.data, image.bytes_per_line * image.height)
after = cpu_and_time()
dark = bytes(0 if b < 24 else 1 for b in range(256))
stride, used = image.bytes_per_line, image.width * 4
bottom = "-"
for y in range(image.height - 1, -1, -1):
    marks = data[y * stride:y * stride + used].translate(dark)
    if any(marks[0::4]) or any(marks[1::4]) or any(marks[2::4]):  # B, G, R; the 4th is padding
        bottom = y + 1
        break
print(bottom, before, after)
PY
}

results=()
measure() {  # FRONT-END SCREEN
  local front=$1 screen=$2 label="$1-$2"
  start_display "$screen"
  "run_$front"
  # Wait for the label's lower edge to come in at the top.
  local first second third
  for _ in $(seq 100); do
    first=($(look))
    [ "${first[0]}" != - ] && break
    sleep 0.1
  done
  sleep "$seconds"
  second=($(look))
  sleep 0.2
  third=($(look))
  import -window root "$work/shots/$label.png"  # to look at
  "stop_$front"
  stop_display
  if [ "${first[0]}" = - ] || [ "${second[0]}" = - ]; then
    echo "$label: the verse never showed (see $work/shots)" >&2
    exit 1
  fi
  if [ "${third[0]}" = "${second[0]}" ]; then
    echo "$label: the slide had ended before the second look; try fewer --seconds" >&2
    exit 1
  fi
  local row
  # The CPU time counts from just after the first image to just before the second.
  row=$(python3 - "$label" "${first[0]}" "${second[0]}" "${first[3]}" "${second[1]}" \
    "${first[4]}" "${second[2]}" \
    "$(getconf CLK_TCK)" "$dpi" "$twips_per_tick" <<'PY'
import sys
label, b1, b2, c1, c2, t1, t2, hz, dpi, step = sys.argv[1:]
moved = int(b2) - int(b1)
ticks = moved * 1440 / int(dpi) / int(step)
cpu = (int(c2) - int(c1)) / int(hz)
span = float(t2) - float(t1)
print(f"{label} {ticks:.0f} {span:.2f} {cpu:.2f} {cpu / ticks * 1000 if ticks else 0:.3f}")
PY
  )
  results+=("$row")
}

trap 'stop_windows >/dev/null 2>&1 || true; stop_display' EXIT

wine_setup
for screen in "${screens[@]}"; do
  measure windows "$screen"
done

python3 - "${results[@]}" <<'PY'
import sys
rows = [line.split() for line in sys.argv[1:]]
print(f"{'front end and screen':24} {'ticks':>6} {'span':>7} {'CPU':>7} {'CPU per 1000 ticks':>19}")
for label, ticks, span, cpu, per in rows:
    print(f"{label:24} {ticks:>6} {span:>6}s {cpu:>6}s {per:>18}s")
by_front = {}
for label, _, _, _, per in rows:
    front, screen = label.split("-", 1)
    by_front.setdefault(front, {})[screen] = float(per)
for front, per in by_front.items():
    small, large = per.get("1280x1024"), per.get("3840x2160")
    if small and large:
        print(f"{front}: 3840x2160 costs {large / small:.2f}x what 1280x1024 costs per tick "
              "(target <= 1.5)")
PY
