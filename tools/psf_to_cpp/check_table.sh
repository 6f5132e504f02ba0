#!/usr/bin/env bash
# Makes the font table again from the console fonts of console-setup-linux
# and compares it with the one in the sources.
#   check_table.sh PSF_TO_CPP TABLE.cpp
set -euo pipefail
generator="$1"
table="$2"
fonts=/usr/share/consolefonts
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
args=()
for f in FullGreek Uni2; do
  zcat "$fonts/$f-VGA16.psf.gz" >"$work/$f-VGA16.psf"
  args+=("$work/$f-VGA16.psf")
done
"$generator" "$work/table.cpp" "${args[@]}"
if ! diff -u "$table" "$work/table.cpp"; then
  echo "the font table differs from what $generator makes; run it again (see its comment)" >&2
  exit 1
fi
