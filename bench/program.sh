#!/usr/bin/env bash
# Measures the whole program from outside, on a virtual display and a stand-in
# backlight: time from start to the first shown main window, resident memory
# after start-up and after opening the picture picker once, and how often the
# process wakes while it rests in the tray (voluntary context switches over
# 30 seconds). It only reports; it asserts nothing.
#
#   bench/program.sh [build/lumora]
set -euo pipefail
program=$(realpath "${1:-build/lumora}")
work=$(mktemp -d)
trap 'kill $pid $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/bl/standin" "$work/home/.config" "$work/run"
chmod 700 "$work/run"
echo 100 > "$work/bl/standin/max_brightness"
echo 50 > "$work/bl/standin/brightness"
echo raw > "$work/bl/standin/type"

exec 3< <(Xvfb -displayfd 1 -noreset -screen 0 1280x1024x24 -nolisten tcp -dpi 96 2>/dev/null)
xvfb=$!
read -r -u 3 display
export DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"

start=$(date +%s%N)
"$program" --backlight-root "$work/bl" >/dev/null 2>&1 &
pid=$!
window=""
until [ -n "$window" ]; do
  window=$(xdotool search --onlyvisible --name '^Lumora Brightness Control$' 2>/dev/null | head -1 || true)
done
shown=$(date +%s%N)
echo "start-up to shown main window: $(( (shown - start) / 1000000 )) ms"

sleep 1
rss() { awk '/VmRSS/ {print $2 " kB"}' "/proc/$pid/status"; }
echo "resident memory after start-up: $(rss)"

# Open the picker's drop-down list (the button at the right end of the box).
xdotool mousemove --window "$window" --sync $((341 * 96 / 120 - 6)) $((229 * 96 / 120)) click 1
sleep 1
xdotool key Escape
echo "resident memory after opening the picker: $(rss)"

# Hide to the tray and count the wake-ups at rest.
xdotool windowunmap "$window"
sleep 2
before=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
sleep 30
after=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$pid/status")
echo "voluntary context switches at rest over 30 s: $((after - before)) (main thread)"
total=0
for t in /proc/$pid/task/*; do total=$((total + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status"))); done
echo "all threads' voluntary context switches since start: $total"
