#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that exactly the
# expected files arrive, that the menu entry and the software-centre listing
# pass their validators, and that the staged program finds its shipped
# pictures beside itself. Lines of the program that are no paths (notes of
# libraries it uses) are left out of the comparison.
#
#     tests/install/install_layout.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "install layout: $*" >&2; exit 1; }

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null

id=org.kestrelo.LumoraBrightness
expected=$(sort <<LIST
usr/bin/lumora
usr/share/applications/$id.desktop
usr/share/doc/lumora-brightness/changelog.gz
usr/share/doc/lumora-brightness/copyright
usr/share/icons/hicolor/16x16/apps/$id.png
usr/share/icons/hicolor/22x22/apps/$id.png
usr/share/icons/hicolor/32x32/apps/$id.png
usr/share/icons/hicolor/48x48/apps/$id.png
usr/share/icons/hicolor/64x64/apps/$id.png
usr/share/icons/hicolor/128x128/apps/$id.png
usr/share/icons/hicolor/256x256/apps/$id.png
usr/share/icons/hicolor/scalable/apps/$id.svg
usr/share/lumora-brightness/profiles/Battery.png
usr/share/lumora-brightness/profiles/Day.png
usr/share/lumora-brightness/profiles/Movie.png
usr/share/lumora-brightness/profiles/Night.png
usr/share/lumora-brightness/profiles/Presentation.png
usr/share/lumora-brightness/profiles/Reading.png
usr/share/man/man1/lumora.1.gz
usr/share/metainfo/$id.metainfo.xml
LIST
)
actual=$(cd "$stage/root" && find . -type f -o -type l | sed 's|^\./||' | sort)
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "the installed files differ from the list (< expected, > installed)"
fi

# Each PNG icon has the size of the folder it is installed in.
for png in "$stage"/root/usr/share/icons/hicolor/*x*/apps/$id.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$png")
  [ "$dims" = "$size" ] || fail "$png is $dims"
done

# The design font is a dependency of the package: without it the fallback
# font clips the chart's texts.
grep -qE '^set\(CPACK_DEBIAN_PACKAGE_DEPENDS "[^"]*fonts-wine' "$build/CPackConfig.cmake" \
  || fail "the package does not depend on fonts-wine"

desktop-file-validate "$stage/root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$stage/root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
zcat "$stage/root/usr/share/man/man1/lumora.1.gz" | grep -qF 'backlight\-root' || fail "the manual page lacks the options"

# The staged program lists the staged pictures, and a picture of the user's own.
mkdir -p "$stage/backlight/acpi_video0" "$stage/home/.local/share/lumora-brightness/profiles"
chmod 700 "$stage/home"
echo 100 > "$stage/backlight/acpi_video0/max_brightness"
echo 50 > "$stage/backlight/acpi_video0/brightness"
cp "$stage/root/usr/share/lumora-brightness/profiles/Day.png" "$stage/home/.local/share/lumora-brightness/profiles/Garden.png"
listed=$(env -u XDG_DATA_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$stage/home" XDG_CONFIG_HOME="$stage/home/.config" \
         XDG_RUNTIME_DIR="$stage/home" QT_QPA_PLATFORM=offscreen \
         "$stage/root/usr/bin/lumora" --list-pictures --backlight-root "$stage/backlight" | grep "^/" | sort)
want=$(printf '%s\n' "$stage/home/.local/share/lumora-brightness/profiles/Garden.png" \
         "$stage"/root/usr/share/lumora-brightness/profiles/*.png | sort)
[ "$listed" = "$want" ] || { diff <(echo "$want") <(echo "$listed") >&2 || true; fail "the staged program lists other pictures"; }
echo "install layout: $(echo "$actual" | wc -l) files as expected"
