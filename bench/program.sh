#!/usr/bin/env bash
# Measures the whole program from outside, on a virtual display and a stand-in
# backlight: time from start to the first shown main window, resident memory
# after start-up beside that of a bare Qt window with a tray icon (built as
# bench/lumora_bare_window) and after opening the picture picker once, and how often the
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

# The reference in the same display: a bare Qt Widgets window with a tray icon.
bare="$(dirname "$program")/bench/lumora_bare_window"
if [ -x "$bare" ]; then
  "$bare" >/dev/null 2>&1 &
  bare_pid=$!
  until xdotool search --onlyvisible --name '^Bare Qt window$' >/dev/null 2>&1; do sleep 0.05; done
  sleep 1
  bare_kb=$(awk '/VmRSS/ {print $2}' "/proc/$bare_pid/status")
  kill $bare_pid; wait $bare_pid 2>/dev/null || true
  program_kb=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
  echo "reference, a bare Qt Widgets window with a tray icon: $bare_kb kB (the program holds $((program_kb - bare_kb)) kB more; target: at most 2560)"
fi

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

# ---------------------------------------------------------------- headless sway
# The same figures natively on a headless sway (run as an unprivileged account
# when this runs as root, since sway refuses root), with the wake-ups over 60 s
# counted with idle dimming armed (at 5 minutes) and not armed.
if command -v sway >/dev/null && command -v swaymsg >/dev/null; then
  echo "== headless sway"
  as_user=()
  if [ "$(id -u)" = 0 ]; then
    id -u lumora-wl >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin lumora-wl
    as_user=(setpriv --reuid lumora-wl --regid lumora-wl --clear-groups)
  fi
  swayrun="$work/sway"
  mkdir -p "$swayrun"
  [ "$(id -u)" = 0 ] && chown -R lumora-wl: "$work"
  chmod 700 "$swayrun"
  env -i PATH="$PATH" HOME="$swayrun" XDG_RUNTIME_DIR="$swayrun" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 "${as_user[@]}" sway --config /dev/null >"$work/sway.log" 2>&1 &
  sway_pid=$!
  trap 'kill $pid $xvfb $sway_pid 2>/dev/null || true; rm -rf "$work"' EXIT
  until ls "$swayrun"/sway-ipc.* >/dev/null 2>&1; do sleep 0.1; done
  wl=$(cd "$swayrun" && ls wayland-* | grep -v lock | head -1)
  client=(env -i PATH="$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$swayrun"
          WAYLAND_DISPLAY="$wl" SWAYSOCK="$(ls "$swayrun"/sway-ipc.*)" QT_QPA_PLATFORM=wayland
          DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "${as_user[@]}")
  sway_windows() { "${client[@]}" swaymsg -t get_tree | grep -c '"app_id": "org.kestrelo.LumoraBrightness"' || true; }
  wakeups() { # voluntary context switches over 60 s, main thread and all threads alive throughout
    local -A before=()
    local t main0 main1 sum=0
    main0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status")
    for t in /proc/$1/task/*; do before[$t]=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status"); done
    sleep 60
    main1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/status")
    for t in "${!before[@]}"; do
      [ -r "$t/status" ] && sum=$((sum + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status") - ${before[$t]}))
    done
    echo "$((main1 - main0)) main thread, $sum all threads"
  }
  for armed in 0 5; do
    mkdir -p "$work/home/.config/Kestrelo"
    printf '[Software\\Kestrelo\\LumoraBrightness]\nLevel=50\nDimInterval=%s\n' "$armed" \
      > "$work/home/.config/Kestrelo/LumoraBrightness.conf"
    [ "$(id -u)" = 0 ] && chown -R lumora-wl: "$work/home" "$work/bl"
    start=$(date +%s%N)
    "${client[@]}" "$program" --backlight-root "$work/bl" >"$work/wl.log" 2>&1 &
    pid=$!
    until [ "$(sway_windows)" -gt 0 ]; do sleep 0.02; done
    shown=$(date +%s%N)
    [ "$armed" = 0 ] && echo "start-up to shown main window: $(( (shown - start) / 1000000 )) ms"
    sleep 2
    [ "$armed" = 0 ] && echo "resident memory after start-up: $(rss)"
    echo "wake-ups over 60 s at rest, dimming $([ "$armed" = 0 ] && echo "not armed" || echo "armed"): $(wakeups $pid)"
    kill $pid; wait $pid 2>/dev/null || true
  done
fi
