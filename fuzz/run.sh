#!/usr/bin/env bash
# Builds and runs the libFuzzer targets (clang, AddressSanitizer, UBSan).
#   fuzz/run.sh TARGET SECONDS   one target, e.g. fuzz/run.sh codec_fuzz 60
#   fuzz/run.sh all SECONDS      every target, as many at a time as there are
#                                cores (ARDEVIZ_FUZZ_JOBS), each for SECONDS
# The build is build-clang/, the one the sanitizer suite of ./test.sh runs in.
# Seeds come from fuzz/corpus/<target>/ and are never written to; new inputs go
# to a scratch folder that is removed. Findings are kept as
# build-clang/findings/<target>-crash-... and make the exit status 1; each run's
# output is build-clang/findings/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 TARGET|all [SECONDS]" >&2
  exit 2
fi
what=$1
seconds=${2:-20}
build=$ARDEVIZ_CLANG_BUILD
jobs=${ARDEVIZ_FUZZ_JOBS:-$(nproc)}

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

configure_project "$build" "${ARDEVIZ_CLANG_OPTIONS[@]}"
mkdir -p "$build/findings"
failed=()
built=()
# Build each target on its own, so that one that does not build stops no other.
for t in "${targets[@]}"; do
  if cmake --build "$build" --target "$t" --parallel "$(nproc)"; then
    built+=("$t")
  else
    echo "=== fuzz: $t does not build" >&2
    failed+=("$t (build)")
  fi
done

# fuzz_one TARGET: one libFuzzer process for the full time; its status in TARGET.status.
fuzz_one() {
  local t=$1 scratch status=0
  scratch=$(mktemp -d)
  local corpus=() dict=()
  [ -d "fuzz/corpus/$t" ] && corpus=("fuzz/corpus/$t")
  [ -f "fuzz/$t.dict" ] && dict=("-dict=fuzz/$t.dict")
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$t-" "${dict[@]}" "$scratch" "${corpus[@]}" \
    >"$build/findings/$t.log" 2>&1 || status=$?
  rm -rf "$scratch"
  echo "$status" >"$build/findings/$t.status"
}

# One process per core: each target still runs for its full time.
running=0
for t in "${built[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  echo "=== fuzz: $t for ${seconds}s"
  fuzz_one "$t" &
  running=$((running + 1))
done
wait

for t in "${built[@]}"; do
  if [ "$(cat "$build/findings/$t.status")" = 0 ]; then
    echo "=== fuzz: $t"
    grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$build/findings/$t.log" || true
  else
    echo "=== fuzz: $t failed:" >&2
    cat "$build/findings/$t.log" >&2
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "=== fuzz: findings or failures in: ${failed[*]} (see $build/findings/)" >&2
  exit 1
fi
echo "=== fuzz: no findings"
