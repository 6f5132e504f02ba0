#!/usr/bin/env bash
# The browser version's benchmark: builds the page (scripts/web.sh), installs
# the pinned puppeteer-core and measures, each the median of several sessions
# in headless chromium on a phone's screen with touch emulation, the page's
# gzipped size, the load to the menu's first frame, the browser's processor
# use with the menu idle and in play with no input, and the time from a tap
# on a piece to its slide on the screen; and whether a second load with the
# server gone shows the menu. Prints one table (Markdown) with the budgets.
#
#   bench/web.sh [--runs N] [--no-build]
#
# The exit status is 0 when every figure is within its budget, 1 when one
# misses it, 2 when the benchmark could not run.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=3
build=1
while (($#)); do
  case "$1" in
    --runs) runs="${2:-}"; shift 2 || true ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench: unknown argument $1" >&2; exit 2 ;;
  esac
done
if ! [[ "$runs" =~ ^[0-9]+$ ]] || ((runs < 1 || runs > 20)); then
  echo "bench: --runs needs a number from 1 to 20" >&2
  exit 2
fi

if ((build)); then scripts/web.sh --build-only >&2; fi
[ -f build/web/index.html ] || { echo "bench: build/web/ holds no page" >&2; exit 2; }
(cd tests/hosts/web && npm ci --no-audit --no-fund --loglevel=error) >&2
echo "bench: load average before: $(cut -d' ' -f1-3 /proc/loadavg)" >&2
node bench/web.mjs build/web "$runs"
