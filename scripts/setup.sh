#!/usr/bin/env bash
# Installs what building, playing and testing the game needs on Debian 12:
# clang and its sanitizer and libFuzzer runtimes serve the ThreadSanitizer
# run and the fuzz targets.
set -euo pipefail
# shellcheck source=scripts/packages.sh
source "$(dirname "$0")/packages.sh"

# What playing needs; with --play nothing more is installed, with --package
# what making the Debian package adds (dpkg-shlibdeps finds its dependencies),
# with --web what building the browser version needs (Emscripten, Python to
# serve it).
packages=(build-essential cmake pkg-config libsdl2-dev)
if [[ "${1:-}" == "--package" ]]; then
  packages+=(dpkg-dev file)
elif [[ "${1:-}" == "--web" ]]; then
  packages=(build-essential cmake emscripten python3)
elif [[ "${1:-}" != "--play" ]]; then
  packages+=(libgtest-dev googletest xvfb xdotool x11-apps x11-utils openbox imagemagick
             clang libclang-rt-14-dev console-setup-linux)
  # The installed game and its package: built, checked and played.
  packages+=(dpkg-dev file lintian desktop-file-utils appstream groff-base)
  # The browser test: the browser version, a browser, and Node for the
  # program that drives it (any Node of 18 or later already there will do).
  packages+=(emscripten python3 chromium)
  if ! command -v npm >/dev/null; then packages+=(npm); fi
fi

install_missing_packages "${packages[@]}"
