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
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for program in build-bench/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program" "$@" | tee -a "$log"
done
# The nine-pane view once more on a screen of twice the density, its pictures decoded for device pixels.
echo "== live_bench at 2x"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 build-bench/bench/live_bench --benchmark_filter=NineLive "$@" |
  sed 's/^NineLive/TwiceNineLive/' | tee -a "$log"

# The goals' figures again, one line each. figure CASE NAME: counter NAME of the benchmark whose line starts with CASE.
figure() { grep "^$1" "$log" | grep -o "$2=[0-9.k]*" | head -1 | cut -d= -f2; }
echo "== live figures"
echo "whole viewer, nine panes, 8 channels x 25/s: CPU per picture vs bare full-size decode $(figure NineLive ratio_vs_bare_decode) (goal at most 1.3)"
echo "nine panes, 8 channels x 25/s: share of one core $(figure NineLive core_share) (goal at most 0.08)"
echo "nine panes at 2x: CPU per picture vs bare full-size decode $(figure TwiceNineLive ratio_vs_bare_decode)," \
     "share of one core $(figure TwiceNineLive core_share)"
echo "decode for a nine-pane cell vs bare full-size decode: $(figure 'BM_Ratio/704/288/211/79' ratio)"
echo "pictures per core-second: nine panes $(figure NineLive pictures_per_core_s)," \
     "sixteen channels through nine-pane pages $(figure 'LiveCpuShare/SixteenChannels/nine_pane_pages' pictures_per_core_s)," \
     "single-pane rotation $(figure 'LiveCpuShare/SixteenChannels/single_pane_rotation' pictures_per_core_s)"
echo "Motion-JPEG recording: CPU per 640x480 frame $(figure BM_MotionJpegFrame cpu_ms_per_frame) ms," \
     "share of one core at 25 frames/s $(figure BM_MotionJpegFrame core_percent_25) %, at 60 (the most) $(figure BM_MotionJpegFrame core_percent_60) %," \
     "$(figure BM_MotionJpegFrame percent_of_bare) % of a bare tjCompress2's, frame $(figure BM_MotionJpegFrame size_vs_uncompressed)x smaller than uncompressed"
