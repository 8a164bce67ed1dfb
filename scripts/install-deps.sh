#!/usr/bin/env bash
# Installs the Debian packages the project needs, when they are missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
    fonts-noto-cjk   # Japanese captions
    xdg-utils        # the document launcher looks up associations with xdg-mime
    libfile-mimeinfo-perl  # xdg-mime's file type look-up outside a desktop session
    librsvg2-bin     # renders the program's icon from its SVG at build time
    dpkg-dev         # the Debian package: dpkg-shlibdeps works out its dependencies
    desktop-file-utils appstream  # validate the installed desktop entry and metainfo
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
