#!/usr/bin/env bash
# Checks a built Debian package without installing it: its name and dependencies, and the tree it
# unpacks into a throw-away root (programs that run, the library under its soname, a desktop entry
# and metainfo that validate, the icons).
#   scripts/check-package.sh build-package/tarvik_1.5_amd64.deb
set -euo pipefail
deb=$1
fail() { echo "check-package: $*" >&2; exit 1; }
field() { dpkg-deb --field "$deb" "$1"; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --extract "$deb" "$root"
control="$root/DEBIAN"
dpkg-deb --control "$deb" "$control"

version=$(field Version)
[ "$(field Package)" = tarvik ] || fail "package name is $(field Package)"
[ "$(basename "$deb")" = "tarvik_${version}_$(field Architecture).deb" ] || fail "file name $(basename "$deb")"

# Runtime libraries worked out from the programs, never a build tool or development package.
depends=$(field Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
    grep -Eq "(^|, )${package//+/\\+}( |,|\$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done
if grep -Eq -- '-dev\b|cmake|ninja|g\+\+|libasan|libubsan' <<<"$depends"; then
    fail "Depends names a build-time package: $depends"
fi

# Everything under /usr, nothing under /usr/local.
outside=$(dpkg-deb --contents "$deb" | awk '{print $6}' | grep -Ev '^\./(usr/?.*)?$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
dpkg-deb --contents "$deb" | grep -q '\./usr/local' && fail "files under /usr/local"

id=com.tanvero.Tarvik
for file in usr/bin/tarvik usr/bin/tarvik-sim usr/include/Docrun.h \
    "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/256x256/apps/$id.png"; do
    [ -e "$root/$file" ] || fail "missing /$file"
done

# The library: its soname link, the shlibs entry for programs built against it, ldconfig.
libdir=$(dirname "$(find "$root/usr/lib" -name 'libDocrun.so.1.*' -type f | head -n 1)")
[ -L "$libdir/libDocrun.so.1" ] || fail "no soname link libDocrun.so.1"
grep -q '^libDocrun 1 tarvik' "$control/shlibs" || fail "no shlibs entry for libDocrun.so.1"
grep -q 'ldconfig' "$control/postinst" || fail "ldconfig does not run on installing"
soname=$(objdump -p "$libdir/libDocrun.so.1" | awk '$1 == "SONAME" {print $2}')
[ "$soname" = libDocrun.so.1 ] || fail "the library's soname is '$soname'"

# The programs run from the unpacked tree, with no display.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tarvik" --version)
[ "$out" = "Tarvik $version" ] || fail "tarvik --version says: $out"
"$root/usr/bin/tarvik-sim" --help >/dev/null || fail "tarvik-sim --help failed"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/tarvik" 2>/dev/null || status=$?
[ "$status" = 1 ] || fail "tarvik without a display ended with status $status"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "metainfo invalid"
# Width and height, big-endian, at bytes 16 to 23 of a PNG file.
size=$(od -An -tu1 -j16 -N8 "$root/usr/share/icons/hicolor/256x256/apps/$id.png" | tr -s ' ')
[ "$size" = " 0 0 1 0 0 0 1 0" ] || fail "the PNG icon is not 256 x 256 ($size)"

echo "check-package: $(basename "$deb") is fine (Depends: $depends)"
