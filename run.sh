#!/usr/bin/env bash
# Builds the demo and plays it from build/run (the working directory it expects).
# ./run.sh --game starts the action game instead of the demo's timeline.
set -euo pipefail
cd "$(dirname "$0")"

program=../demo
case "${1:-}" in
  "") ;;
  --game) program=../demo-game ;;
  *) echo "usage: ./run.sh [--game]" >&2; exit 2 ;;
esac
./setup.sh

cd build/run
launch=("$program")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display: playing under Xvfb at 1920x1080x24"
  launch=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$program")
fi
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! { [ -d /dev/snd ] && ls /dev/snd/pcm* >/dev/null 2>&1; } \
   && [ -z "${PULSE_SERVER:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
  echo "no sound device: playing with SDL's dummy audio driver"
  export SDL_AUDIODRIVER=dummy
fi
exec "${launch[@]}"
