#!/usr/bin/env bash
# Builds the demo and plays it from build/run (the working directory it expects).
set -euo pipefail
cd "$(dirname "$0")"
./setup.sh

cd build/run
launch=(../demo)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display: playing under Xvfb at 1920x1080x24"
  launch=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" ../demo)
fi
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! { [ -d /dev/snd ] && ls /dev/snd/pcm* >/dev/null 2>&1; } \
   && [ -z "${PULSE_SERVER:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
  echo "no sound device: playing with SDL's dummy audio driver"
  export SDL_AUDIODRIVER=dummy
fi
exec "${launch[@]}"
