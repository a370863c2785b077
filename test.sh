#!/usr/bin/env bash
# Installs everything (the tools' and the tests' packages too), builds the demo, the game, the
# tools and the tests, and runs every test; GL tests run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
tools/checks/check_layers.sh
./setup.sh all -DENGINE_WERROR=ON

export SDL_AUDIODRIVER=dummy
cd build
xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  ctest --output-on-failure -j "$(nproc)" --timeout 900
