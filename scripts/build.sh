#!/usr/bin/env bash
# Sets up what is missing and builds Tavrelo into build/ (or $TAVRELO_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
