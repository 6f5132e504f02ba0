#!/usr/bin/env bash
# Sets everything up, builds the game and starts it. Options are passed on to
# the game (see build/release/bin/rangiertrubel --help).
set -euo pipefail
cd "$(dirname "$0")/.."
# The game opens a window: without a desktop there is nothing to build for.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "rangiertrubel: no display: the game needs a graphical desktop (X11 or Wayland);" \
    "start it from one, or set DISPLAY (for a virtual one, run it under xvfb-run)" >&2
  exit 1
fi
scripts/setup.sh --play
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/bin/rangiertrubel "$@"
