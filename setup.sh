#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs what is missing (Debian 12) and builds into build/.
#   ./setup.sh player [cmake options]  what playing needs; a first build has no tests or tools
#                                      and builds only the demo and the game
#   ./setup.sh all [cmake options]     everything: the tools, the tests and their helpers
set -euo pipefail
cd "$(dirname "$0")"

# Building the demo, the game and their data (the generators write every picture, model and
# sound, and the soundtrack with libmp3lame, from code); Mesa's software renderer as a fallback.
PLAYER_PACKAGES=(g++ cmake ninja-build pkg-config libsdl2-dev libsdl2-mixer-dev libpugixml-dev libglm-dev
  libcli11-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libmp3lame-dev libfreetype-dev fonts-dejavu-core)
# Playing with no display.
HEADLESS_PACKAGES=(xvfb xauth)
# The tools (demo-capture writes PNGs) and the tests: GoogleTest, the soundtrack's decoder,
# independent producers and readers of test pictures (ImageMagick, netpbm), xdotool typing into
# the game's window, python3 for the COLLADA test documents and the plot script.
DEVELOPER_PACKAGES=(libpng-dev libmpg123-dev libgtest-dev imagemagick netpbm python3 xdotool)

what="${1:-}"
case "$what" in
  player)
    packages=("${PLAYER_PACKAGES[@]}")
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
      packages+=("${HEADLESS_PACKAGES[@]}")
    fi
    first_build=(-DENGINE_TESTS=OFF -DENGINE_TOOLS=OFF)
    targets=(--target demo demo-game) ;;
  all)
    packages=("${PLAYER_PACKAGES[@]}" "${HEADLESS_PACKAGES[@]}" "${DEVELOPER_PACKAGES[@]}")
    first_build=()
    targets=() ;;
  *) echo "usage: ./setup.sh player|all [cmake options]" >&2; exit 2 ;;
esac
shift

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

options=("$@")
if [ "$what" = all ]; then
  options=(-DENGINE_TESTS=ON -DENGINE_TOOLS=ON "${options[@]}")
elif [ ! -f build/CMakeCache.txt ]; then
  # A build a developer configured keeps its tests and tools.
  options=("${first_build[@]}" "${options[@]}")
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build build "${targets[@]}"
