#!/usr/bin/env bash
# Compares the live figures of two or more builds: runs each build's live_bench
# in turn, N rounds, the viewer on CPU 0 and its dvr-sim on CPU 1, and prints
# every run and each build's means. On a shared machine the same build's
# figures vary by half between runs; runs taken in turn vary alike.
#   bench/compare.sh [-n ROUNDS] [-f FILTER] BUILD...
# BUILD is a release build folder with bench/live_bench and sim/dvr-sim (such
# as build-bench/, or a copy of those two programs kept from an older commit).
# FILTER picks the live_bench case (default NineLive).
set -euo pipefail
rounds=5
filter=NineLive
while getopts n:f: option; do
  case $option in
    n) rounds=$OPTARG ;;
    f) filter=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[ $# -ge 1 ] || { echo "usage: $0 [-n ROUNDS] [-f FILTER] BUILD..." >&2; exit 2; }

# One run: "bare_decode_us core_share cpu_us_per_picture ratio_vs_bare_decode".
run_once() {
  local output
  output=$(mktemp)
  QT_QPA_PLATFORM=offscreen taskset -c 0 "$1/bench/live_bench" --benchmark_filter="$filter" >"$output" 2>&1 &
  local bench=$! sim=""
  for _ in $(seq 100); do
    sim=$(pgrep -P "$bench" dvr-sim) && break
    sleep 0.05
  done
  [ -n "$sim" ] && taskset -pc 1 "$sim" >/dev/null
  wait "$bench" || true
  grep -oE '(bare_decode_us|core_share|cpu_us_per_picture|ratio_vs_bare_decode)=[0-9.k]+' "$output" |
    head -4 | awk -F= '{ v = $2; if (v ~ /k$/) { sub(/k$/, "", v); v *= 1000 } printf "%s ", v }'
  rm -f "$output"
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
echo "build: bare decode µs, share of a core, µs a picture, ratio to the bare decode (load)"
for _ in $(seq "$rounds"); do
  for build in "$@"; do
    echo "$build $(run_once "$build") load $(cut -d' ' -f1 /proc/loadavg)" | tee -a "$results"
  done
done
awk '{ n[$1]++; bare[$1] += $2; share[$1] += $3; us[$1] += $4; ratio[$1] += $5 }
     END { for (b in n) printf "%s mean of %d: bare %.0f µs, %.4f of a core, %.0f µs a picture, ratio %.3f\n",
                                b, n[b], bare[b] / n[b], share[b] / n[b], us[b] / n[b], ratio[b] / n[b] }' "$results"
