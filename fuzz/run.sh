#!/usr/bin/env bash
# Builds and runs the libFuzzer targets (clang, AddressSanitizer, UBSan).
#   fuzz/run.sh TARGET SECONDS   one target, e.g. fuzz/run.sh codec_fuzz 60
#   fuzz/run.sh all SECONDS      every target in turn
# The build lives in build-fuzz/. Seeds come from fuzz/corpus/<target>/ and are
# never written to; new inputs go to a scratch folder that is removed. Findings
# are kept as build-fuzz/findings/<target>-crash-... and make the exit status 1.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 TARGET|all [SECONDS]" >&2
  exit 2
fi
what=$1
seconds=${2:-20}
build=build-fuzz

targets=()
if [ "$what" = all ]; then
  for src in fuzz/*_fuzz.cpp; do
    [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
  done
else
  [ -e "fuzz/$what.cpp" ] || { echo "no fuzz target fuzz/$what.cpp" >&2; exit 2; }
  targets=("$what")
fi
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets"; exit 0; }

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DARDEVIZ_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi

mkdir -p "$build/findings"
failed=()
for t in "${targets[@]}"; do
  echo "=== fuzz: $t for ${seconds}s"
  # Build each target on its own, so that one that does not build stops no other.
  if ! cmake --build "$build" --target "$t" --parallel "$(nproc)"; then
    echo "=== fuzz: $t does not build" >&2
    failed+=("$t (build)")
    continue
  fi
  scratch=$(mktemp -d)
  corpus=()
  [ -d "fuzz/corpus/$t" ] && corpus=("fuzz/corpus/$t")
  dict=()
  [ -f "fuzz/$t.dict" ] && dict=("-dict=fuzz/$t.dict")
  if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$t-" "${dict[@]}" "$scratch" "${corpus[@]}"; then
    failed+=("$t")
  fi
  rm -rf "$scratch"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "=== fuzz: findings or failures in: ${failed[*]} (see $build/findings/)" >&2
  exit 1
fi
echo "=== fuzz: no findings"
