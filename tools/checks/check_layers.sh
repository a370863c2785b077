#!/usr/bin/env bash
# Fails when a lower engine folder includes a header of a higher one. The layers, bottom up:
#   platform <- core <- gfx <- render <- scenes / game <- app
# scenes and game sit side by side on one layer.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

rank() {
  case "$1" in
    platform) echo 0 ;; core) echo 1 ;; gfx) echo 2 ;; render) echo 3 ;;
    scenes | game) echo 4 ;; app) echo 5 ;; *) echo "" ;;
  esac
}

status=0
for dir in platform core gfx render scenes game app; do
  [ -d "$dir" ] || continue
  own=$(rank "$dir")
  # Quoted includes only: <...> are system and library headers.
  while IFS=: read -r file line text; do
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z_]*\)\/.*/\1/p' <<<"$text")
    [ -n "$target" ] || continue
    other=$(rank "$target")
    [ -n "$other" ] || continue
    if [ "$other" -gt "$own" ]; then
      echo "$file:$line: $dir/ includes $target/ (${text#*#})" >&2
      status=1
    fi
  done < <(grep -rnE --include='*.cpp' --include='*.h' --include='*.inc' \
             '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" || true)
done
if [ "$status" -ne 0 ]; then
  echo "layering check failed: a lower folder includes a higher one" >&2
else
  echo "layering check passed"
fi
exit "$status"
