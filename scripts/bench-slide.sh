#!/usr/bin/env bash
# What the saver costs while it slides and while it rests, natively (velun-saver)
# and under Wine (velun.scr), measured side by side in one run.
#
# 1. Cost per tick. The saver slides the same short verse in from the top at speed 0
#    (10 twips a tick) in two virtual displays, 1280x1024 and 3840x2160. Between two
#    screenshots taken a few seconds apart it counts the ticks from how far the
#    label moved, and sums the CPU time of everything that draws a frame over that
#    span (the program, and for Wine the wineserver, and the X server). It prints CPU
#    seconds per 1000 ticks for each screen and their ratio: a tick that repaints
#    only what moved costs about the same on both (target: ratio <= 1.5).
# 2. CPU per second while sliding at 1280x1024 (program and X server), beside
#    XScreenSaver's fontglide -root (a display mode that glides text) in the same
#    display size (target: no more than fontglide).
# 3. The same slide's whole duration, from its first ink at the top to rest, and the
#    time a tick takes (Windows ticks every 15.625 ms).
# 4. At rest between verses (Pop on Screen, a minute's delay): CPU per second
#    (target < 1% of a core); and the time from the start of the program to the
#    verse on screen.
#
#   scripts/bench-slide.sh [--front native|windows|both] [--scr PATH] [--seconds N]
#     --front F     which programs to measure (default both; windows needs mingw-w64 and Wine)
#     --scr PATH    measure this velun.scr instead of building the windows preset
#     --seconds N   length of each measured span (default 4)
#
# Each front end is one "run_<name>" function below: it starts the saver on
# $DISPLAY with the bench settings and the bench verse file, sets $pids to the
# processes whose CPU time counts and $names to their names ("a/b/c"); a matching
# "stop_<name>" ends it. Everything else is shared.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scr=
seconds=4
front=both
while [ $# -gt 0 ]; do
  case "$1" in
    --scr) scr=$(realpath "$2"); shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --front) front=$2; shift 2 ;;
    *) echo "usage: $0 [--front native|windows|both] [--scr PATH] [--seconds N]" >&2; exit 2 ;;
  esac
done
fronts=()
case "$front" in
  native) fronts=(native) ;;
  windows) fronts=(windows) ;;
  both) fronts=(native windows) ;;
  *) echo "--front is native, windows or both" >&2; exit 2 ;;
esac

if [[ " ${fronts[*]} " == *" windows "* ]]; then
  bash scripts/install-deps.sh windows
  if [ -z "$scr" ]; then
    cmake --preset windows >/dev/null
    cmake --build --preset windows
    scr=$root/build/windows/velun.scr
  fi
else
  bash scripts/install-deps.sh
fi
if [[ " ${fronts[*]} " == *" native "* ]]; then
  cmake --preset native >/dev/null
  cmake --build --preset native --target velun-saver
  saver=$root/build/native/velun-saver
fi
fontglide=/usr/libexec/xscreensaver/fontglide

work=$root/build/bench-slide
mkdir -p "$work/shots"
screens=(1280x1024 3840x2160)
dpi=96
twips_per_tick=10  # speed 0: AnimationSpeed + 10
animation=1        # Slide From Top; 5 (Pop on Screen) for the look at a saver at rest

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
  reg_text "$settings\Animation" type "$animation"
  reg_text "$settings\Animation" Speed 0
  reg_text "$settings\Verse Selection" type 1
  reg_text "$settings\Time" Delay 60000
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  launched_at=$(date +%s.%N)
  wine "$work/windows/velun.scr" /S >/dev/null 2>&1 &
  saver_pid=$!
  xdotool search --sync --onlyvisible --name '^Velun Saver$' >/dev/null
  pids="$(wine_process velun.scr) $(wine_process 'wineserver(64)?') $xvfb_pid"
  names=velun.scr/wineserver/Xvfb
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

# --- the Linux program --------------------------------------------------------

native_setup() {
  mkdir -p "$work/native"
  cp "$saver" "$work/native/velun-saver"
  write_verse_file "$work/native/finalvelun.txt"
}

run_native() {
  export XDG_CONFIG_HOME=$work/native/config XDG_RUNTIME_DIR=$work/native/runtime
  mkdir -p "$XDG_CONFIG_HOME/velun-saver" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  printf '[Verse Selection]\ntype=1\n\n[Animation]\ntype=%s\nSpeed=0\n\n[Time]\nDelay=60000\n' \
    "$animation" >"$XDG_CONFIG_HOME/velun-saver/settings.ini"
  launched_at=$(date +%s.%N)
  QT_QPA_PLATFORM=xcb "$work/native/velun-saver" /S >"$work/native/saver.log" 2>&1 &
  saver_pid=$!
  until xdotool search --onlyvisible --name '^Velun Saver$' >/dev/null; do sleep 0.02; done
  pids="$saver_pid $xvfb_pid"
  names=velun-saver/Xvfb
}

stop_native() {
  if [ -n "$saver_pid" ]; then
    xdotool key x 2>/dev/null || true
    wait "$saver_pid" 2>/dev/null || true
    saver_pid=
  fi
}

# XScreenSaver's display mode that glides text across the screen, for comparison.
run_fontglide() {
  "$fontglide" -root >/dev/null 2>&1 &
  saver_pid=$!
  sleep 1
  pids="$saver_pid $xvfb_pid"
  names=fontglide/Xvfb
}

stop_fontglide() {
  if [ -n "$saver_pid" ]; then
    kill "$saver_pid" 2>/dev/null || true
    wait "$saver_pid" 2>/dev/null || true
    saver_pid=
  fi
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
    cpu = []
    for pid in os.environ["PIDS"].split():
        fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
        cpu.append(str(int(fields[11]) + int(fields[12])))  # utime, stime
    return f"{','.join(cpu)} {time.time()}"

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
    "$(getconf CLK_TCK)" "$dpi" "$twips_per_tick" "$names" <<'PY'
import sys
label, b1, b2, c1, c2, t1, t2, hz, dpi, step, names = sys.argv[1:]
moved = int(b2) - int(b1)
ticks = moved * 1440 / int(dpi) / int(step)
each = [(int(b) - int(a)) / int(hz) for a, b in zip(c1.split(","), c2.split(","))]
cpu = sum(each)
span = float(t2) - float(t1)
shares = "/".join(f"{100 * c / cpu:.0f}" if cpu else "0" for c in each) + "%"
print(f"{label} {ticks:.0f} {span:.2f} {cpu:.2f} {cpu / ticks * 1000 if ticks else 0:.3f} {names}:{shares}")
PY
  )
  results+=("$row")
}

# Between verses the saver sleeps: a verse popped on, a minute's delay, and the CPU
# time of the same processes over ten seconds, as a share of one core.
asleep=()
measure_asleep() {  # FRONT-END
  local front=$1 first second
  start_display 1280x1024
  animation=5 "run_$front"
  sleep 1
  first=($(look))
  sleep 10
  second=($(look))
  "stop_$front"
  stop_display
  if [ "${first[0]}" = - ] || [ "${second[0]}" = - ]; then
    echo "$front: the verse never showed" >&2
    exit 1
  fi
  local row
  row=$(python3 - "$front" "${first[3]}" "${second[1]}" "${first[4]}" "${second[2]}" \
    "$(getconf CLK_TCK)" "$names" <<'PY'
import sys
front, c1, c2, t1, t2, hz, names = sys.argv[1:]
each = [(int(b) - int(a)) / int(hz) for a, b in zip(c1.split(","), c2.split(","))]
span = float(t2) - float(t1)
parts = ", ".join(f"{n} {100 * c / span:.2f}%" for n, c in zip(names.split("/"), each))
print(f"{front} at rest between verses: {100 * sum(each) / span:.2f}% of a core over {span:.1f} s ({parts})")
PY
  )
  asleep+=("$row")
}

cpu_ticks() {  # the CPU time of $pids in clock ticks
  local total=0 pid
  for pid in $pids; do
    total=$((total + $(sed 's/.*) //' "/proc/$pid/stat" | awk '{print $12 + $13}')))
  done
  echo "$total"
}

rates=()
measure_rate() {  # FRONT-END: CPU per second of $pids over $seconds while it runs at 1280x1024
  local front=$1 first=(-) c1 t1 c2 t2
  start_display 1280x1024
  "run_$front"
  if [ "$front" != fontglide ]; then  # wait for the slide to come in at the top
    for _ in $(seq 100); do
      first=($(look))
      [ "${first[0]}" != - ] && break
      sleep 0.1
    done
  fi
  c1=$(cpu_ticks); t1=$(date +%s.%N)
  sleep "$seconds"
  c2=$(cpu_ticks); t2=$(date +%s.%N)
  if [ "$front" != fontglide ] && [ "$(look | cut -d' ' -f1)" = "${first[0]}" ]; then
    echo "$front: the slide did not move while measured" >&2
  fi
  "stop_$front"
  stop_display
  rates+=("$front $(python3 -c "print(f'{($c2 - $c1) / $(getconf CLK_TCK) / ($t2 - $t1) * 100:.2f}')")")
}

durations=()
measure_slide() {  # FRONT-END: the slide's whole time at 1280x1024, from its first ink to rest
  local front=$1 moving_since=- rest_at=- previous=- now bottom
  start_display 1280x1024
  "run_$front"
  for _ in $(seq 1200); do
    bottom=$(look | cut -d' ' -f1)
    now=$(date +%s.%N)
    if [ "$bottom" != "$previous" ]; then
      rest_at=-
      [ "$previous" = - ] && moving_since=$now
    elif [ "$bottom" != - ] && [ "$rest_at" = - ]; then
      rest_at=$now
    fi
    # At rest once the edge has kept still for a second.
    if [ "$rest_at" != - ] && python3 -c "import sys; sys.exit($now - $rest_at < 1)"; then break; fi
    previous=$bottom
    sleep 0.05
  done
  import -window root "$work/shots/$front-slide-end.png"
  "stop_$front"
  stop_display
  durations+=("$front $(python3 -c "print(f'{$rest_at - $moving_since:.2f}')")")
}

first_verse=()
measure_first_verse() {  # FRONT-END: from the start of the program to the verse on screen
  local front=$1 bottom now
  animation=5
  start_display 1280x1024
  "run_$front"
  for _ in $(seq 600); do
    bottom=$(look | cut -d' ' -f1)
    [ "$bottom" != - ] && break
    sleep 0.02
  done
  now=$(date +%s.%N)
  "stop_$front"
  stop_display
  animation=1
  first_verse+=("$front $(python3 -c "print(f'{$now - $launched_at:.2f}')")")
}

trap 'stop_native >/dev/null 2>&1 || true; stop_windows >/dev/null 2>&1 || true
      stop_fontglide >/dev/null 2>&1 || true; stop_display' EXIT

for f in "${fronts[@]}"; do
  "${f/windows/wine}_setup"
  for screen in "${screens[@]}"; do
    measure "$f" "$screen"
  done
  measure_asleep "$f"
  measure_rate "$f"
  measure_slide "$f"
  measure_first_verse "$f"
done
[ -x "$fontglide" ] && measure_rate fontglide

python3 - "${results[@]}" <<'PY'
import sys
rows = [line.split() for line in sys.argv[1:]]
print(f"{'front end and screen':24} {'ticks':>6} {'span':>7} {'CPU':>7} {'CPU per 1000 ticks':>19}"
      "  shares of the CPU")
for label, ticks, span, cpu, per, shares in rows:
    print(f"{label:24} {ticks:>6} {span:>6}s {cpu:>6}s {per:>18}s  {shares}")
by_front = {}
for label, _, _, _, per, _ in rows:
    front, screen = label.split("-", 1)
    by_front.setdefault(front, {})[screen] = float(per)
for front, per in by_front.items():
    small, large = per.get("1280x1024"), per.get("3840x2160")
    if small and large:
        print(f"{front}: 3840x2160 costs {large / small:.2f}x what 1280x1024 costs per tick "
              "(target <= 1.5)")
PY
printf "%s\n" "${asleep[@]}"
echo
echo "CPU per second at 1280x1024 while it moves (program and X server), % of one core:"
for row in "${rates[@]}"; do
  set -- $row
  printf '  %-12s %6s%%\n' "$1" "$2"
done
echo "  (target: the saver's slide no more than fontglide)"
echo
echo "One slide from the top at speed 0, 1280x1024, from its first ink to rest:"
for row in "${durations[@]}"; do
  set -- $row
  # The time a tick takes, from the ticks counted for the cost per tick at 1280x1024.
  tick=$(printf '%s\n' "${results[@]}" | awk -v f="$1-1280x1024" '$1 == f {print $3 / $2 * 1000}')
  python3 -c "
seconds, tick = float('$2'), float('$tick')
print(f'  {\"$1\":10} {seconds:6.2f} s; {tick:.1f} ms a tick; at Windows\' 15.625 ms a tick '
      f'{seconds * 15.625 / tick:.2f} s')"
done
echo
echo "From the start of the program to the verse on screen (Pop on Screen):"
for row in "${first_verse[@]}"; do
  set -- $row
  printf '  %-10s %6s s\n' "$1" "$2"
done
