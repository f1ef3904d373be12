#!/usr/bin/env bash
# Takes the README's pictures: starts tavrelo-register with the sample tape, runs the desktop
# windows under Xvfb against it, connects, requests documents 8 to 12 and saves
#   docs/screenshot-main.png     the main window, connected
#   docs/screenshot-request.png  the request window showing the rendered documents
# Builds what it needs into build/ (or $TAVRELO_BUILD_DIR) first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BUILD_DIR:-$root/build}
out=$root/docs

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target tavrelo-register app_screenshots -j 2 >/dev/null

work=$(mktemp -d)
register_pid=
cleanup() {
  if [[ -n "$register_pid" ]]; then kill "$register_pid" 2>/dev/null || true; wait "$register_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Any free port on loopback (a register running on 34949 is left alone); the emulator names it.
"$build/tools/register/tavrelo-register" --tape "$root/data/tape-8-12.xml" --listen 127.0.0.1:0 \
  >"$work/register.log" 2>&1 &
register_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/register.log" | head -n 1)
  [[ -n "$port" ]] && break
  sleep 0.1
done
if [[ -z "$port" ]]; then
  echo "screenshots: the emulator did not start:" >&2
  cat "$work/register.log" >&2
  exit 1
fi

# The windows start in a folder of their own, with a configuration pointing at the emulator.
printf '[Connection]\r\nIPAddres=127.0.0.1\r\n[Property]\r\nID=\r\n' >"$work/Tavrelo.ini"
mkdir -p "$out"
(cd "$work" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/tests/app/app_screenshots" "$port" "$out" 8 12)
