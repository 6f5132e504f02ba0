#!/usr/bin/env bash
# Builds the browser version into build/web/ and serves it on this machine.
#   scripts/web.sh              installs what is missing, builds, serves on 127.0.0.1:8000
#   scripts/web.sh --port N     serves on port N instead
#   scripts/web.sh --build-only builds and stops
#   scripts/web.sh --zip        also packs build/web/rangiertrubel-web.zip for web game portals
# build/web/ is a static folder: any web server can serve it as it is, from
# any sub-path (every address in it is relative); the zip holds the same
# files with index.html at its root.
set -euo pipefail
cd "$(dirname "$0")/.."

port=8000
serve=1
zip=0
while (($#)); do
  case "$1" in
    --port) port="${2:?--port needs a number}"; shift 2 ;;
    --build-only) serve=0; shift ;;
    --zip) zip=1; shift ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "scripts/web.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done

scripts/setup.sh --web
# Debian's emcc runs its helpers with Debian's Node modules, whichever Node
# is first on the path.
export NODE_PATH=/usr/share/nodejs
jobs="$(nproc)"

# The pictures and sounds are made by the generators, built for this machine.
cmake --preset web-data >/dev/null
cmake --build --preset web-data -j "$jobs"
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
rm -f build/web/rangiertrubel-web.zip
echo "The browser version is in build/web/ ($(du -sh build/web | cut -f1))."
if ((zip)); then
  (cd build/web && python3 -m zipfile -c rangiertrubel-web.zip *)
  echo "For web game portals: build/web/rangiertrubel-web.zip ($(du -h build/web/rangiertrubel-web.zip | cut -f1))."
fi

if ((serve)); then
  echo "Serving it at http://127.0.0.1:$port/ (Ctrl+C stops)"
  exec python3 -m http.server --bind 127.0.0.1 --directory build/web "$port"
fi
