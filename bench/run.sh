#!/usr/bin/env bash
# Builds the benchmarks in release mode (build-bench/) and runs each one.
# Every figure is a ratio against a baseline measured in the same run.
#   bench/run.sh [google-benchmark options]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
install_packages "${ARDEVIZ_PACKAGES[@]}"
build_project build-bench -DCMAKE_BUILD_TYPE=Release -DARDEVIZ_TESTS=OFF -DARDEVIZ_BENCH=ON
echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
for program in build-bench/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program" "$@"
done
