#!/usr/bin/env bash
# Builds the Debian package build/deb/rangiertrubel_VERSION_ARCH.deb from the
# install rules (the programs in /usr/games, the data in
# /usr/share/games/rangiertrubel) and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
# Only the package's path goes to standard output.
scripts/setup.sh --package >&2
cmake --workflow --preset deb >&2
ls build/deb/rangiertrubel_*.deb
