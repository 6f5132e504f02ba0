#!/usr/bin/env bash
# The include check on small planted trees: a tree that keeps the rules
# passes, and each kind of broken rule makes it fail and name the file.
set -euo pipefail
check=$(cd "$(dirname "$0")" && pwd)/check_includes.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

plant() {  # FILE LINE: a tree holding one file of one include
  rm -rf "${tree:?}"/*
  mkdir -p "$tree/$(dirname "$1")"
  printf '// planted\n%s\n' "$2" >"$tree/$1"
}
expect() {  # pass|fail FILE LINE
  plant "$2" "$3"
  local out status=0
  out=$("$check" "$tree") || status=$?
  if [[ $1 == pass && $status -ne 0 ]] || [[ $1 == fail && ($status -ne 1 || $out != "$2:2:"*) ]]; then
    echo "expected $1 for $2 including $3, got status $status: $out" >&2
    exit 1
  fi
}

expect pass game/board.cpp '#include "platform/platform.h"'
expect pass hosts/sdl/sdl_host.cpp '#include <SDL.h>'
expect pass app/main_sdl.cpp '#include "hosts/sdl/sdl_host.h"'
expect fail game/board.cpp '#include <SDL.h>'
expect fail game/board.cpp '#include "frontend/frontend.h"'
expect fail game/board.cpp '#include "hosts/sim/sim_host.h"'
expect fail platform/formats/bmp.cpp '#include "platform/platform.h"'
expect fail hosts/windowed/picture_scaler.cpp '#include <SDL2/SDL.h>'
expect fail hosts/sdl/sdl_host.cpp '#include <emscripten.h>'
expect fail platform/os/os_posix.cpp '#include <windows.h>'
expect fail hosts/sdl/sdl_host.cpp '#  include <pthread.h>'
echo "include check: planted trees judged right"
