#!/usr/bin/env bash
# The main job on the bundled emulator: set up and build what is missing, start tavrelo-register
# on loopback with a sample tape, fetch a number range with tavrelo-cli, show the tape text and
# stop the emulator.
#
#   scripts/demo.sh [TAPE [FIRST LAST]]     (default: data/tape-8-12.xml, documents 8 to 12)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BUILD_DIR:-$root/build}
tape=${1:-$root/data/tape-8-12.xml}
first=${2:-8}
last=${3:-12}

"$root/scripts/build.sh" >/dev/null

work=$(mktemp -d)
register_pid=
cleanup() {
  [[ -n "$register_pid" ]] && kill "$register_pid" 2>/dev/null && wait "$register_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Port 0: the emulator takes a free port and names it in its "listening on" line.
"$build/tools/register/tavrelo-register" --tape "$tape" --listen 127.0.0.1:0 2>"$work/register.log" &
register_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/register.log")
  [[ -n "$port" ]] && break
  kill -0 "$register_pid" 2>/dev/null || { cat "$work/register.log" >&2; exit 1; }
  sleep 0.05
done
[[ -n "$port" ]] || { echo "demo: the emulator did not start" >&2; exit 1; }
echo "demo: tavrelo-register serves $(basename "$tape") on 127.0.0.1:$port; fetching $first..$last" >&2

# In the work folder, so that its temp.xml and error.log do not land in the caller's folder.
cd "$work"
status=0
"$build/src/cli/tavrelo-cli" fetch --host 127.0.0.1 --port "$port" --numbers "$first" "$last" \
  --xml "$work/temp.xml" || status=$?
[[ -f error.log ]] && echo "demo: error.log: $(cat error.log)" >&2
exit "$status"
