#!/usr/bin/env bash
# The Windows version of the game, cross-built on Debian 12:
#
#   scripts/windows.sh          builds build/windows/rangiertrubel-<version>-windows-x64.zip
#   scripts/windows.sh --test   also builds the test suites and runs them under Wine, then
#                               plays the packed game under Wine on a virtual X display
#
# Installs what is missing (MinGW-w64, Wine, and for --test GoogleTest's
# sources, Xvfb, xdotool and ImageMagick), fetches SDL2's source from
# Debian's source package (adding a deb-src entry for Debian's own suites
# when there is none) and cross-builds it once into build/windows-deps,
# which later runs reuse. The build's generators and the tests run under
# Wine in a prefix of their own, build/windows-deps/wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
# shellcheck source=scripts/packages.sh
source "$root/scripts/packages.sh"

testing=0
case "${1:-}" in
  "") ;;
  --test) testing=1 ;;
  *) echo "usage: scripts/windows.sh [--test]" >&2; exit 2 ;;
esac

sdl_version=2.26.5
deps="$root/build/windows-deps"
prefix="$deps/prefix"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
jobs="$(nproc)"

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

# --- Debian packages -----------------------------------------------------------
packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
          wine wine64 dpkg-dev)
if ((testing)); then
  packages+=(googletest xvfb xdotool imagemagick)
fi
install_missing_packages "${packages[@]}"

# --- Wine ------------------------------------------------------------------------
# A prefix of our own; no Mono or Gecko installer dialogs while it is made.
export WINEPREFIX="$deps/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$deps"
# Wine's background server would keep the output pipes of whatever started
# it open (ctest then waits for ever): one server for the whole run, started
# with its streams closed, kept running, and ended when the script ends.
# The first start fills the prefix (some seconds, and once only).
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true  # one may run already
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT

# --- SDL2 and GoogleTest for Windows, built once -----------------------------------
# A stamp records what was built with which tool chain file, so that a change
# to either builds again.
stamp_of() { echo "$1 $(sha256sum "$toolchain" | cut -d' ' -f1)"; }

fetch_sdl_source() {
  local src="$deps/src"
  if ! apt-cache showsrc libsdl2 2>/dev/null | grep -q "^Version: $sdl_version"; then
    # Source entries for the same Debian suites the machine installs from.
    local list=/etc/apt/sources.list.d/rangiertrubel-deb-src.sources
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
        "${sudo_cmd[@]}" tee "$list" >/dev/null
    else
      list=/etc/apt/sources.list.d/rangiertrubel-deb-src.list
      sed -n 's/^deb /deb-src /p' /etc/apt/sources.list | "${sudo_cmd[@]}" tee "$list" >/dev/null
    fi
    echo "Added $list for SDL2's source package"
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  local version
  version="$(apt-cache showsrc libsdl2 | sed -n "s/^Version: \($sdl_version[^ ]*\)$/\1/p" | head -n 1)"
  if [[ -z "$version" ]]; then
    echo "scripts/windows.sh: Debian offers no source of SDL2 $sdl_version" >&2
    exit 1
  fi
  rm -rf "$src"
  mkdir -p "$src"
  (cd "$src" && apt-get source -qq "libsdl2=$version" >/dev/null)
  sdl_source="$(find "$src" -mindepth 1 -maxdepth 1 -type d -name 'libsdl2-*' | head -n 1)"
  [[ -f "$sdl_source/CMakeLists.txt" ]] || { echo "no SDL2 source in $src" >&2; exit 1; }
}

if [[ "$(cat "$prefix/.sdl2" 2>/dev/null)" != "$(stamp_of "SDL2 $sdl_version")" ]]; then
  echo "== SDL2 $sdl_version for Windows (once; about a minute)"
  fetch_sdl_source
  rm -rf "$deps/sdl2-build" "$prefix/include/SDL2" "$prefix/lib/cmake/SDL2" "$prefix/bin/SDL2.dll"
  cmake -S "$sdl_source" -B "$deps/sdl2-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF >"$deps/sdl2-configure.log"
  cmake --build "$deps/sdl2-build" -j "$jobs" >"$deps/sdl2-build.log"
  cmake --install "$deps/sdl2-build" >/dev/null
  stamp_of "SDL2 $sdl_version" >"$prefix/.sdl2"
fi

if ((testing)); then
  gtest_version="$(dpkg-query -W -f='${Version}' googletest)"
  if [[ "$(cat "$prefix/.googletest" 2>/dev/null)" != "$(stamp_of "googletest $gtest_version")" ]]; then
    echo "== GoogleTest $gtest_version for Windows (once)"
    rm -rf "$deps/googletest-build"
    cmake -S /usr/src/googletest -B "$deps/googletest-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=OFF \
      >"$deps/googletest-configure.log"
    cmake --build "$deps/googletest-build" -j "$jobs" >"$deps/googletest-build.log"
    cmake --install "$deps/googletest-build" >/dev/null
    stamp_of "googletest $gtest_version" >"$prefix/.googletest"
  fi
fi

# --- The game --------------------------------------------------------------------
echo "== The game for Windows"
tests_flag=OFF
if ((testing)); then tests_flag=ON; fi
cmake --preset windows -DRT_BUILD_TESTS="$tests_flag" >/dev/null
cmake --build --preset windows -j "$jobs"
cmake --build --preset windows --target windows_zip
zip="$(ls -t build/windows/rangiertrubel-*-windows-x64.zip | head -n 1)"
echo "Windows zip: $zip"

if ((testing)); then
  echo "== The test suites under Wine"
  # Wine writes CR LF; the summary is read without the CR.
  ctest --test-dir build/windows -j "$jobs" --output-on-failure --timeout 600 2>&1 | tr -d '\r'
  test "${PIPESTATUS[0]}" -eq 0
  echo "== The packed game under Wine on a virtual display"
  tests/windows/wine_game_test.sh "$zip" build/windows/bin
fi
