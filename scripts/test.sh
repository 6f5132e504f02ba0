#!/usr/bin/env bash
# Sets everything up, builds with warnings as errors and runs every test
# headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset ci
cmake --build --preset ci -j "$(nproc)"
export SDL_AUDIODRIVER=dummy
ctest --preset ci -j "$(nproc)"
