#!/usr/bin/env bash
# Checks the include rules of the tree: each room includes only the rooms
# below it, and only a host (or the file for one system) includes its
# world's headers. Prints every broken rule as FILE:LINE: what, and exits 1
# when there is one.
#   tests/layers/check_includes.sh [ROOT]   (default: this repository)
set -uo pipefail
root=${1:-"$(dirname "$0")/../.."}
cd "$root" || exit 2

# The project's folders a room may include from, by the room's own folder.
allowed_rooms() {
  case $1 in
    platform/os/*) echo "platform/os" ;;
    platform/formats/*) echo "platform/formats platform/os" ;;
    platform/*) echo "platform" ;;
    hosts/sim/*) echo "platform hosts/sim" ;;
    hosts/windowed/*) echo "platform hosts/windowed" ;;
    hosts/sdl/*) echo "platform hosts/windowed hosts/sdl" ;;
    hosts/web/*) echo "platform hosts/windowed hosts/web" ;;
    game/*) echo "platform game" ;;
    levels/*) echo "platform game levels" ;;
    frontend/*) echo "platform game levels frontend" ;;
    app/*) echo "platform game levels frontend app hosts" ;;
    *) echo "*" ;;  # tools/ and tests/ may include any room
  esac
}

# Whether FILE may include the system header HEADER (its name in <>).
world_header_allowed() {
  local file=$1 header=$2
  case $header in
    SDL*) [[ $file == hosts/sdl/* || $file == tests/hosts/sdl/* ]] ;;
    emscripten*) [[ $file == hosts/web/* ]] ;;
    windows.h | winbase.h | shlobj.h | io.h | direct.h)
      # The system's own tests look at what the system did.
      [[ $file == platform/os/os_windows.cpp || $file == tests/platform/os/* ]] ;;
    unistd.h | fcntl.h | pthread.h | signal.h | poll.h | dirent.h | spawn.h | termios.h | sys/*)
      # Tools and tests that run only on POSIX systems may use them too.
      [[ $file == platform/os/os_posix.cpp || $file == tools/* || $file == tests/* ]] ;;
    *) true ;;
  esac
}

failed=0
while IFS= read -r file; do
  file=${file#./}
  rooms=$(allowed_rooms "$file")
  while IFS=: read -r line text; do
    [[ -n $line ]] || continue
    if [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([^>]+)\> ]]; then
      header=${BASH_REMATCH[1]}
      if ! world_header_allowed "$file" "$header"; then
        echo "$file:$line: <$header> belongs to another system's or host's own files"
        failed=1
      fi
    elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      [[ $rooms == "*" ]] && continue
      ok=0
      for room in $rooms; do
        if [[ $target == "$room"/* ]]; then ok=1; fi
      done
      if ((!ok)); then
        echo "$file:$line: \"$target\" is not below this file's room (may include: $rooms)"
        failed=1
      fi
    fi
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find platform hosts game levels frontend app tools tests -name node_modules -prune -o \
           -type f \( -name '*.cpp' -o -name '*.h' \) -print 2>/dev/null | sort)
exit $failed
