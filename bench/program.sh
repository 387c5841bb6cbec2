#!/usr/bin/env bash
# Measures the whole program from outside, each figure beside its reference
# from the same run: a bare Qt Widgets window of the same size with a tray
# icon (bench/reference/BareWindow.cpp, built as bench/lumora_bare_window).
# On a virtual X display (Xvfb) and natively on a headless sway, with a
# stand-in backlight and a temporary home:
#
#   start-up to the shown window    several starts, fastest, median and slowest
#   resident memory                 a while after the window shows
#   wake-ups at rest                voluntary context switches of all threads
#                                   over a quiet spell, after the start-up has
#                                   settled; on sway with idle dimming not
#                                   armed and armed
#
# Each display gets a session bus of its own (dbus-daemon), so that the
# start-up includes what the program does there.
# It only reports; it asserts nothing. The time of a test run is what
# scripts/test prints at its end.
#
#   bench/program.sh [build/lumora]
#
# LUMORA_BENCH_STARTS   starts timed of each program (5)
# LUMORA_BENCH_SETTLE   seconds after the window shows before the memory is
#                       read (3)
# LUMORA_BENCH_QUIET    seconds after the window shows before the quiet spell
#                       begins (5; at least the settling time)
# LUMORA_BENCH_REST     seconds of the quiet spell (10). The figure tracked
#                       for the program at rest is LUMORA_BENCH_QUIET=35
#                       LUMORA_BENCH_REST=60.
# LUMORA_BENCH_SMAPS    a folder: each program's memory map (smaps), taken
#                       with its memory figure, is kept there as
#                       <display>-<program>.smaps, to see which mappings
#                       the difference is made of
set -euo pipefail
program=$(realpath "${1:-build/lumora}")
bare=$(dirname "$program")/bench/lumora_bare_window
starts=${LUMORA_BENCH_STARTS:-5}
settle=${LUMORA_BENCH_SETTLE:-3}
quiet=${LUMORA_BENCH_QUIET:-5}
((quiet >= settle)) || quiet=$settle
rest=${LUMORA_BENCH_REST:-10}
smaps=${LUMORA_BENCH_SMAPS:-}
[ -z "$smaps" ] || smaps=$(realpath "$smaps")
display_name=xvfb
[ -x "$bare" ] || { echo "program.sh: $bare is not built (cmake --build build --target lumora_bare_window)" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

mkdir -p "$work/bl/standin" "$work/home/.config/Kestrelo" "$work/run"
chmod 700 "$work/run" "$work/home"
echo 100 > "$work/bl/standin/max_brightness"
echo 50 > "$work/bl/standin/brightness"
echo raw > "$work/bl/standin/type"

# Stored settings: dimming after `$1` minutes, 0 for not armed.
settings()
{
    printf '[Software\\Kestrelo\\LumoraBrightness]\nLevel=50\nDimInterval=%s\n' "$1" \
        > "$work/home/.config/Kestrelo/LumoraBrightness.conf"
}

# within SECONDS WHAT COMMAND...: waits until the command succeeds; gives up
# with a message after the time.
within()
{
    local seconds=$1 what=$2 deadline=$((SECONDS + $1))
    shift 2
    until "$@"; do
        ((SECONDS < deadline)) || { echo "program.sh: no $what after $seconds s" >&2; exit 1; }
        sleep 0.05
    done
}

# Starts a private session bus in folder `$1`, run by the command prefix that
# follows (if any), and sets `bus` to its address; without dbus-daemon, to an
# address nobody serves.
session_bus()
{
    local dir=$1
    shift
    bus="unix:path=/nonexistent"
    command -v dbus-daemon >/dev/null || return 0
    "$@" dbus-daemon --session --nofork --nopidfile --address="unix:path=$dir/bus" >/dev/null 2>&1 &
    pids+=($!)
    within 10 "session bus" test -S "$dir/bus"
    bus="unix:path=$dir/bus"
}

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
mb() { awk -v kb="$1" 'BEGIN {printf "%.1f MB", kb / 1024}'; }

# Voluntary context switches of all the process's threads over `$2` seconds
# (threads that end meanwhile count up to their end).
wakeups()
{
    local pid=$1 seconds=$2 t sum=0
    local -A before=()
    for t in /proc/"$pid"/task/*; do before[$t]=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status"); done
    sleep "$seconds"
    for t in /proc/"$pid"/task/*; do
        now=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$t/status" 2>/dev/null || echo "${before[$t]:-0}")
        sum=$((sum + now - ${before[$t]:-0}))
    done
    echo "$sum"
}

# "fastest / median / slowest ms" of the numbers given.
spread()
{
    printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {printf "%d / %d / %d ms", v[1], v[int((NR + 1) / 2)], v[NR]}'
}

# The display's own report of windows being mapped comes from a watcher
# started with `watch_maps COMMAND...` (xev on the root window, or sway's
# window events): a window counts as shown the moment the display says so,
# with no polling to slow the start or blur the figure.
watch_maps()
{
    [ -n "${MAPS_PID:-}" ] && { kill "$MAPS_PID"; wait "$MAPS_PID" 2>/dev/null || true; }
    coproc MAPS { "$@" 2>/dev/null; }
    pids+=("$MAPS_PID")
}

# Waits for the next window mapped (a line of the watcher matching
# $map_event), while process `$1` lives.
wait_mapped()
{
    local line status deadline=$((SECONDS + 30))
    while ((SECONDS < deadline)); do
        status=0
        read -r -t 0.2 line <&"${MAPS[0]}" || status=$?
        if [ $status -eq 0 ]; then
            [[ $line =~ $map_event ]] && return 0
        elif [ $status -le 128 ]; then
            echo "program.sh: the display's window watcher ended" >&2
            return 1
        fi
        kill -0 "$1" 2>/dev/null || return 1
    done
    echo "program.sh: no window shown within 30 s" >&2
    return 1
}

# Every figure of one display, given how to start a client there ("$launch"
# command prefix). Fills the variables <who>_start, <who>_kb, <who>_wake.
measure()
{
    local who=$1 armed=$2 i t0 pid line times=()
    shift 2
    settings "$armed"
    for ((i = 0; i < starts; i++)); do
        while read -r -t 0.05 line <&"${MAPS[0]}"; do :; done # what earlier runs left
        t0=$(now_ms)
        "${launch[@]}" "$@" >"$work/$who.log" 2>&1 &
        pid=$!
        pids+=("$pid")
        wait_mapped "$pid" || { echo "program.sh: $who did not show its window:" >&2; cat "$work/$who.log" >&2; exit 1; }
        times+=($(( $(now_ms) - t0 )))
        if ((i < starts - 1)); then
            kill "$pid"; wait "$pid" 2>/dev/null || true
        fi
    done
    sleep "$settle"
    printf -v "${who}_start" '%s' "$(spread "${times[@]}")"
    printf -v "${who}_kb" '%s' "$(rss_kb "$pid")"
    [ -n "$smaps" ] && cat "/proc/$pid/smaps" >"$smaps/$display_name-$who.smaps"
    sleep $((quiet - settle))
    printf -v "${who}_wake" '%s' "$(wakeups "$pid" "$rest")"
    kill "$pid"; wait "$pid" 2>/dev/null || true
}

row() { printf '  %-46s %-26s %s\n' "$1" "$2" "$3"; }
header() { echo "== $1"; row "figure" "program" "bare window"; }

# ------------------------------------------------------------------- Xvfb
exec 3< <(Xvfb -displayfd 1 -noreset -screen 0 1280x1024x24 -nolisten tcp -dpi 96 2>/dev/null)
pids+=($!)
read -r -u 3 display
session_bus "$work/run"
watch_maps stdbuf -oL xev -display ":$display" -root -event substructure
map_event='^MapNotify event'
launch=(env DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
        DBUS_SESSION_BUS_ADDRESS="$bus")
measure lumora 0 "$program" --backlight-root "$work/bl"
measure bare 0 "$bare"
header "Xvfb ($starts starts each; memory ${settle} s after the window shows; wake-ups over ${rest} s from ${quiet} s)"
row "start-up to shown window (fastest/median/slowest)" "$lumora_start" "$bare_start"
row "resident memory" "$(mb "$lumora_kb")" "$(mb "$bare_kb") (difference $(mb $((lumora_kb - bare_kb))); target: 2.5 MB)"
row "wake-ups at rest, dimming not armed" "$lumora_wake" "$bare_wake"

# ------------------------------------------------------------ headless sway
# Natively on Wayland; as an unprivileged account when this runs as root,
# since sway refuses root.
if ! command -v sway >/dev/null || ! command -v swaymsg >/dev/null; then
    echo "== headless sway: not installed"
    exit 0
fi
as_user=()
if [ "$(id -u)" = 0 ]; then
    id -u lumora-wl >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin lumora-wl
    as_user=(setpriv --reuid lumora-wl --regid lumora-wl --clear-groups)
    chown -R lumora-wl: "$work"
fi
swayrun=$work/sway
display_name=sway
mkdir -p "$swayrun"
chmod 700 "$swayrun"
[ "$(id -u)" = 0 ] && chown lumora-wl: "$swayrun"
env -i PATH="$PATH" HOME="$swayrun" XDG_RUNTIME_DIR="$swayrun" WLR_BACKENDS=headless WLR_RENDERER=pixman \
    WLR_LIBINPUT_NO_DEVICES=1 "${as_user[@]}" sway --config /dev/null >"$work/sway.log" 2>&1 &
pids+=($!)
sway_ready() { ls "$swayrun"/sway-ipc.* >/dev/null 2>&1; }
within 20 "headless sway (its log: $work/sway.log)" sway_ready
wl=$(cd "$swayrun" && ls wayland-* | grep -v lock | head -1)
session_bus "$swayrun" "${as_user[@]}"
launch=(env -i PATH="$PATH" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$swayrun"
        WAYLAND_DISPLAY="$wl" SWAYSOCK="$(ls "$swayrun"/sway-ipc.*)" QT_QPA_PLATFORM=wayland
        DBUS_SESSION_BUS_ADDRESS="$bus" "${as_user[@]}")
watch_maps "${launch[@]}" stdbuf -oL swaymsg -r -m -t subscribe '["window"]'
map_event='"change": ?"new"'
measure lumora 0 "$program" --backlight-root "$work/bl"
starts=1 measure armed 5 "$program" --backlight-root "$work/bl"
measure bare 0 "$bare"
header "headless sway ($starts starts each; memory ${settle} s after the window shows; wake-ups over ${rest} s from ${quiet} s)"
row "start-up to shown window (fastest/median/slowest)" "$lumora_start" "$bare_start"
row "resident memory" "$(mb "$lumora_kb")" "$(mb "$bare_kb") (target: half of it, $(mb $((bare_kb / 2))))"
row "wake-ups at rest, dimming not armed" "$lumora_wake" "$bare_wake"
row "wake-ups at rest, dimming armed (5 minutes)" "$armed_wake" "-"
