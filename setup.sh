#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs what is missing (Debian 12) and builds into build/.
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(g++ cmake ninja-build pkg-config libsdl2-dev libsdl2-mixer-dev libpugixml-dev libglm-dev
  libcli11-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri xvfb xauth mesa-utils libmpg123-dev
  libmp3lame-dev lame libgtest-dev libpng-dev libfreetype-dev fonts-dejavu-core imagemagick clang
  python3-collada assimp-utils netpbm xdotool)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build
