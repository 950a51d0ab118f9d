#!/bin/sh
# Installs the Debian packages Kelp needs to build, test, fuzz and play (skips what is present).
set -e
PACKAGES="build-essential cmake pkg-config googletest libgtest-dev libgmock-dev
  libsdl2-dev libsdl2-ttf-dev libmpg123-dev libmp3lame-dev libfontconfig-dev libfreetype-dev
  fonts-liberation fonts-dejavu-core libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  assimp-utils ffmpeg clang libclang-rt-14-dev"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
