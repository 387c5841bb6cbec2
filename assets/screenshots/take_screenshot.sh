#!/usr/bin/env bash
# Makes the main-window screenshot that the software-centre listing shows,
# with the program's own --screenshot on a stand-in backlight at 60 percent
# and a fresh settings folder:
#
#     assets/screenshots/take_screenshot.sh [build/lumora]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../../build/lumora}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/backlight/acpi_video0" "$work/home"
chmod 700 "$work/home"
echo 100 > "$work/backlight/acpi_video0/max_brightness"
echo 60 > "$work/backlight/acpi_video0/brightness"
echo firmware > "$work/backlight/acpi_video0/type"
HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
XDG_RUNTIME_DIR="$work/home" QT_QPA_PLATFORM=offscreen \
  "$program" --backlight-root "$work/backlight" --screenshot "$here/main-window.png"
