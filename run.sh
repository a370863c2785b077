#!/usr/bin/env bash
# Installs what playing needs, builds the demo and the game, and plays from build/run (the
# working directory they expect).
#   ./run.sh          the demo (about three minutes; it ends by itself, Escape ends it earlier)
#   ./run.sh --game   the action game instead of the demo's timeline (needs a display)
set -euo pipefail
cd "$(dirname "$0")"

usage="usage: ./run.sh [--game]"
program=../demo
case "$#:${1:-}" in
  0:) ;;
  1:--game) program=../demo-game ;;
  1:-h | 1:--help) echo "$usage"; sed -n '2,5s/^# \{0,1\}//p' "$0"; exit 0 ;;
  *) echo "run.sh: unknown arguments: $*" >&2; echo "$usage" >&2; exit 2 ;;
esac
headless=""
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  headless=1
  if [ "$program" = ../demo-game ]; then
    # Under Xvfb no one could press a key, and the game never ends by itself.
    echo "run.sh: the game needs a display to be played (DISPLAY and WAYLAND_DISPLAY are unset)" >&2
    exit 2
  fi
fi
./setup.sh player

cd build/run
launch=("$program")
if [ -n "$headless" ]; then
  echo "no display: playing under Xvfb at 1920x1080x24"
  launch=(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" "$program")
fi
if [ -z "${SDL_AUDIODRIVER:-}" ] && ! { [ -d /dev/snd ] && ls /dev/snd/pcm* >/dev/null 2>&1; } \
   && [ -z "${PULSE_SERVER:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
  echo "no sound device: playing with SDL's dummy audio driver"
  export SDL_AUDIODRIVER=dummy
fi
exec "${launch[@]}"
