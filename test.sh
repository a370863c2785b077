#!/usr/bin/env bash
# Builds everything and runs every test; GL tests run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
tools/checks/check_layers.sh
./setup.sh -DENGINE_WERROR=ON

export SDL_AUDIODRIVER=dummy
cd build
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  ctest --output-on-failure -j "$(nproc)" --timeout 900
