#!/usr/bin/env bash
# The whole test run: set up, build, run every test. Fails when any test fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BUILD_DIR:-$root/build}

"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" -j "$(nproc)" --output-on-failure --timeout 300
