#!/usr/bin/env bash
# Sets everything up, builds with warnings as errors and runs every test
# headless; then the Debian package, checked and played as an installed game;
# then the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer (with the fuzz corpus and regression replays),
# the SDL host's threads under ThreadSanitizer; then the browser version in
# a headless browser, and last the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs="$(nproc)"

echo "== warnings as errors: the whole suite"
cmake --preset ci
cmake --build --preset ci -j "$jobs"
export SDL_AUDIODRIVER=dummy
ctest --preset ci -j "$jobs"

echo "== the Debian package: lintian, the validators, played read-only by an unprivileged user"
deb=$(scripts/package.sh)
tests/install/package_test.sh "$deb"

# The sanitizer presets set their own environment (SDL's dummy drivers, the
# sanitizer options, the suppressions for leaks inside libSDL2).

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: the suite and the fuzz replays"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== ThreadSanitizer: the SDL host's refresh and game threads"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"

echo "== the browser version in headless chromium"
tests/hosts/web/run.sh

echo "== Windows: the cross build, the suites under Wine, the packed game under Wine"
scripts/windows.sh --test
