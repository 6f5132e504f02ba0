#!/usr/bin/env bash
# The browser test: builds the browser version, installs the pinned
# puppeteer-core (it drives Debian's chromium and downloads no browser) and
# plays the page end to end. Screenshots land in build/web-test/.
set -euo pipefail
cd "$(dirname "$0")/../../.."
scripts/web.sh --build-only --zip
(cd tests/hosts/web && npm ci --no-audit --no-fund --loglevel=error)
node tests/hosts/web/e2e.mjs build/web build/web-test
