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

# A free port on loopback, so a register running on 34949 is left alone.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()')
"$build/tools/register/tavrelo-register" --tape "$root/data/tape-8-12.xml" --listen "127.0.0.1:$port" \
  >"$work/register.log" 2>&1 &
register_pid=$!
for _ in $(seq 50); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then break; fi
  sleep 0.1
done

# The windows start in a folder of their own, with a configuration pointing at the emulator.
printf '[Connection]\r\nIPAddres=127.0.0.1\r\n[Property]\r\nID=\r\n' >"$work/Tavrelo.ini"
mkdir -p "$out"
(cd "$work" && QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build/tests/app/app_screenshots" "$port" "$out" 8 12)
