#!/usr/bin/env bash
# Benchmarks of the whole pipeline: builds what they need, generates tapes of 1,000, 10,000 and
# 100,000 documents (fixed seeds), measures the bare libxml2 parse, tavrelo-cli render (with its
# own parse / walk / render split and the kernel's peak memory), tavrelo-cli fetch against the
# protocol floor on loopback, the desktop's display of the rendered 100,000-document tape and the
# micro-benchmarks; prints one table (bench/README.md).
#
#   scripts/bench.sh                 # everything, REPEATS=5 runs per figure (the median is shown)
#   REPEATS=3 SIZES="1000 10000" scripts/bench.sh
#
# Environment: TAVRELO_BENCH_BUILD_DIR (default build-bench/), TAVRELO_BENCH_DATA (default
# <build>/bench-data), REPEATS, SIZES (render), FETCH_SIZES (fetch), MICRO=0 skips the
# micro-benchmarks, DISPLAY=0 skips the display (and the build of the desktop's windows),
# DISPLAY_SIZE (default 100000) chooses its tape, DISPLAY_LINES (default 3000000) the lines in the
# list (the tape's lines repeated up to that count; fewer than the tape's: the tape's alone).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TAVRELO_BENCH_BUILD_DIR:-$root/build-bench}
build=$(realpath -m "$build")  # the script works from the data folder below it
data=${TAVRELO_BENCH_DATA:-$build/bench-data}
repeats=${REPEATS:-5}
sizes=${SIZES:-1000 10000 100000}
fetch_sizes=${FETCH_SIZES:-1000 10000 100000}
micro=${MICRO:-1}
display=${DISPLAY:-1}
display_size=${DISPLAY_SIZE:-100000}
display_lines=${DISPLAY_LINES:-3000000}
gui=OFF
display_target=
if [[ "$display" != 0 ]]; then
  gui=ON
  display_target=tavrelo-bench-display
fi

"$root/scripts/setup.sh"
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVRELO_BUILD_GUI=$gui -DTAVRELO_BUILD_TESTS=OFF >/dev/null
elif [[ "$gui" == ON ]] && ! grep -q '^TAVRELO_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt"; then
  cmake -S "$root" -B "$build" -DTAVRELO_BUILD_GUI=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target tavrelo-cli tavrelo-register tavrelo-bench-parse \
  tavrelo-bench-fetch-floor tavrelo-bench-run tavrelo-bench-micro tavrelo-bench-same \
  $display_target >/dev/null

cli=$build/src/cli/tavrelo-cli
register=$build/tools/register/tavrelo-register
bare=$build/bench/tavrelo-bench-parse
floor=$build/bench/tavrelo-bench-fetch-floor
run=$build/bench/tavrelo-bench-run
mkdir -p "$data"
cd "$data"

# The seed of each tape size: the same tapes on every run and every machine.
seed_of() { echo $((7000 + ${#1})); }

# value KEY LINE: the number after KEY= in LINE.
value() { sed -n "s/.*\\b$1=\\([0-9.]*\\).*/\\1/p" <<<"$2"; }

# median of the numbers on standard input.
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

declare -A fig

for n in $sizes; do
  tape=tape-$n.xml
  [[ -f $tape ]] || "$register" --generate "$n" --seed "$(seed_of "$n")" --write "$tape" 2>/dev/null
  fig[size,$n]=$(stat -c %s "$tape")
  bare_out=$("$bare" "$tape" "$repeats")
  fig[bare,$n]=$(value parse "$bare_out")
  fig[bare_cpu,$n]=$(value cpu "$bare_out")
  walls=() cpus=() parses=() walks=() renders=() writes=() rss=() inner=()
  for ((r = 0; r < repeats; ++r)); do
    out=$("$run" -- "$cli" render "$tape" --timings 2>"render-$n.err")
    timings=$(grep 'timings' "render-$n.err")
    walls+=("$(value wall "$out")")
    cpus+=("$(awk -v u="$(value user "$out")" -v s="$(value sys "$out")" 'BEGIN {print u + s}')")
    rss+=("$(value peak_rss "$out")")
    parses+=("$(value parse "$timings")")
    walks+=("$(value walk "$timings")")
    renders+=("$(value render "$timings")")
    writes+=("$(value write "$timings")")
    inner+=("$(awk -v a="$(value parse "$timings")" -v b="$(value walk "$timings")" \
      -v c="$(value render "$timings")" -v d="$(value write "$timings")" \
      'BEGIN {print a + b + c + d}')")
  done
  fig[wall,$n]=$(printf '%s\n' "${walls[@]}" | median)
  fig[cpu,$n]=$(printf '%s\n' "${cpus[@]}" | median)
  fig[rss,$n]=$(printf '%s\n' "${rss[@]}" | median)
  fig[parse,$n]=$(printf '%s\n' "${parses[@]}" | median)
  fig[walk,$n]=$(printf '%s\n' "${walks[@]}" | median)
  fig[render,$n]=$(printf '%s\n' "${renders[@]}" | median)
  fig[write,$n]=$(printf '%s\n' "${writes[@]}" | median)
  fig[inner,$n]=$(printf '%s\n' "${inner[@]}" | median)
done

# Each request of a retrieval waits for its reply, so the time of a fetch is mostly wake-ups of
# the two processes. On a virtual machine a wake-up on the other, idle core costs several times
# one on the same core, and the scheduler's choice between the two changes from run to run: left
# to itself, a figure is a draw between two speeds. So the register and the client are pinned,
# once to one core (fig[...]) and once to two (fig[...2]), the floor and the fetch alike.
placements=("0 0 ")
(($(nproc) < 2)) || placements+=("0 1 2")
for n in $fetch_sizes; do
  for placement in "${placements[@]}"; do
    read -r register_cpu client_cpu key <<<"$placement"
    log=register-$n.log
    rm -f "$log"
    taskset -c "$register_cpu" "$register" --generate "$n" --seed "$(seed_of "$n")" \
      --listen 127.0.0.1:0 >/dev/null 2>"$log" &
    register_pid=$!
    trap 'kill "$register_pid" 2>/dev/null || true' EXIT
    port=
    for ((i = 0; i < 600; ++i)); do
      port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" 2>/dev/null || true)
      [[ -z "$port" ]] || break
      sleep 0.1
    done
    if [[ -z "$port" ]]; then
      echo "bench: tavrelo-register did not start (see $data/$log)" >&2
      exit 1
    fi
    fetch_repeats=$repeats
    ((n < 100000)) || fetch_repeats=$(((repeats + 1) / 2))
    walls=() floors=() floor_loops=() exchanges=() retrievals=()
    for ((r = 0; r < fetch_repeats; ++r)); do
      floor_out=$(taskset -c "$client_cpu" "$floor" 127.0.0.1 "$port" 1 "$n")
      floors+=("$(value fetch_floor "$floor_out")")
      floor_loops+=("$(value loop "$floor_out")")
      out=$(taskset -c "$client_cpu" "$run" -- "$cli" fetch --host 127.0.0.1 --port "$port" \
        --numbers 1 "$n" --xml "fetch-$n.xml" --timings 2>"fetch-$n.err")
      retrieving=$(grep 'timings connect' "fetch-$n.err")
      walls+=("$(value wall "$out")")
      exchanges+=("$(value exchanges "$retrieving")")
      retrievals+=("$(awk -v a="$(value exchanges "$retrieving")" \
        -v b="$(value xml_file "$retrieving")" 'BEGIN {print a + b}')")
    done
    kill -TERM "$register_pid"
    wait "$register_pid" || true
    trap - EXIT
    fig[fetch$key,$n]=$(printf '%s\n' "${walls[@]}" | median)
    fig[floor$key,$n]=$(printf '%s\n' "${floors[@]}" | median)
    fig[floor_loop$key,$n]=$(printf '%s\n' "${floor_loops[@]}" | median)
    fig[exchanges$key,$n]=$(printf '%s\n' "${exchanges[@]}" | median)
    fig[retrieval$key,$n]=$(printf '%s\n' "${retrievals[@]}" | median)
    # The retrieved XML must be the generated tape, byte for byte.
    if [[ -f tape-$n.xml ]] && ! cmp -s "fetch-$n.xml" "tape-$n.xml"; then
      echo "bench: fetch-$n.xml differs from tape-$n.xml" >&2
    fi
  done
done

if [[ "$display" != 0 ]]; then
  tape=tape-$display_size.xml
  [[ -f $tape ]] || "$register" --generate "$display_size" --seed "$(seed_of "$display_size")" \
    --write "$tape" 2>/dev/null
  display_out=$(QT_QPA_PLATFORM=offscreen "$build/bench/tavrelo-bench-display" "$tape" "$repeats" \
    "$display_lines")
  fig[display_tape_lines]=$(value tape_lines "$display_out")
  fig[display_lines]=$(value lines "$display_out")
  fig[display_fill]=$(value fill "$display_out")
  fig[display_scroll]=$(value scroll "$display_out")
fi

# The pipeline renders while it walks; it must write what rendering the finished model writes.
same=("$root"/data/*.xml)
for n in $sizes; do ((n > 10000)) || same+=("tape-$n.xml"); done
"$build/bench/tavrelo-bench-same" "${same[@]}" >same.log || {
  grep DIFFERENT same.log >&2
  exit 1
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", (b > 0) ? a / b : 0}'; }
ms() { awk -v a="$1" 'BEGIN {printf "%.0f ms", a * 1000}'; }
us_per_doc() { awk -v a="$1" -v n="$2" 'BEGIN {printf "%.1f us", a * 1e6 / n}'; }

echo
echo "Machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1);" \
  "medians of $repeats runs"
echo
echo "| documents | XML | bare parse | render process / bare parse | same, CPU time | in-process pipeline / bare parse | parse : walk : render : write | per document | peak RSS / XML size |"
echo "|---|---|---|---|---|---|---|---|---|"
for n in $sizes; do
  size_mb=$(awk -v s="${fig[size,$n]}" 'BEGIN {printf "%.1f MB", s / 1048576}')
  split=$(awk -v a="${fig[parse,$n]}" -v b="${fig[walk,$n]}" -v c="${fig[render,$n]}" \
    -v d="${fig[write,$n]}" -v f="${fig[bare,$n]}" \
    'BEGIN {printf "%.2f : %.2f : %.2f : %.2f", a / f, b / f, c / f, d / f}')
  echo "| $n | $size_mb | $(ms "${fig[bare,$n]}") | $(ratio "${fig[wall,$n]}" "${fig[bare,$n]}") ($(ms "${fig[wall,$n]}")) | $(ratio "${fig[cpu,$n]}" "${fig[bare_cpu,$n]}") ($(ms "${fig[cpu,$n]}") / $(ms "${fig[bare_cpu,$n]}")) | $(ratio "${fig[inner,$n]}" "${fig[bare,$n]}") | $split | $(us_per_doc "${fig[wall,$n]}" "$n") | $(ratio "$((fig[rss,$n] * 1024))" "${fig[size,$n]}") ($((fig[rss,$n] / 1024)) MB) |"
done
echo
echo "(the split is in units of the bare parse time)"
echo
echo "| documents | register and client on | protocol floor (its block requests) | retrieval's exchanges / floor | retrieval with temp.xml / floor | fetch process / floor | per document (fetch process) |"
echo "|---|---|---|---|---|---|---|"
for n in $fetch_sizes; do
  for placement in "${placements[@]}"; do
    read -r _ _ k <<<"$placement"
    where="one core"
    [[ -z "$k" ]] || where="two cores"
    echo "| $n | $where | $(ms "${fig[floor$k,$n]}") ($(ms "${fig[floor_loop$k,$n]}")) | $(ratio "${fig[floor_loop$k,$n]}" "${fig[exchanges$k,$n]}") ($(ms "${fig[exchanges$k,$n]}")) | $(ratio "${fig[floor_loop$k,$n]}" "${fig[retrieval$k,$n]}") ($(ms "${fig[retrieval$k,$n]}")) | $(ratio "${fig[floor$k,$n]}" "${fig[fetch$k,$n]}") ($(ms "${fig[fetch$k,$n]}")) | $(us_per_doc "${fig[fetch$k,$n]}" "$n") |"
  done
done
echo "(documents per second against the floor's; the retrieval's figures come from fetch --timings)"
echo
growth() { [[ -n "${fig[$1,$3]:-}" && -n "${fig[$1,$2]:-}" ]] && ratio "${fig[$1,$3]}" "${fig[$1,$2]}" || echo "-"; }
echo "| growth 10,000 -> 100,000 | render process | in-process pipeline | fetch process, one core | fetch process, two cores | target |"
echo "|---|---|---|---|---|---|"
echo "| time(100k) / time(10k) | $(growth wall 10000 100000) | $(growth inner 10000 100000) | $(growth fetch 10000 100000) | $(growth fetch2 10000 100000) | <= 11 |"

if [[ "$display" != 0 ]]; then
  echo
  echo "| display (ListBox2, offscreen) | lines | fill and show | scroll to the end | per million lines (fill) | target |"
  echo "|---|---|---|---|---|---|"
  echo "| $display_size documents: ${fig[display_tape_lines]} lines, repeated to fill | ${fig[display_lines]} | $(ms "${fig[display_fill]}") | $(ms "${fig[display_scroll]}") | $(awk -v a="${fig[display_fill]}" -v n="${fig[display_lines]}" 'BEGIN {printf "%.0f ms", a * 1e9 / n}') | fill and show < 1 s |"
fi

if [[ "$micro" != 0 ]]; then
  echo
  "$build/bench/tavrelo-bench-micro" --benchmark_min_time=0.1 2>/dev/null | grep -E '^(BM_|-{5}|Benchmark)'
fi
