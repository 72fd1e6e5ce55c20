#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test through CTest;
# then the same suite built with AddressSanitizer, UndefinedBehaviorSanitizer and
# LeakSanitizer (build-asan/), then each fuzz target for a bounded time. The plain
# suite includes the acceptance scenarios (label "acceptance"): the built viewer
# and dvr-sim under a private Xvfb.
# The tests run in a network namespace with only loopback whenever that is possible.
#   ./test.sh                 everything
#   ./test.sh --quick         the plain suite only
#   ARDEVIZ_FUZZ_SECONDS=N    seconds per fuzz target (default 30)
set -euo pipefail
QUICK=0
if [ "${1:-}" = "--quick" ]; then
  QUICK=1
  shift
fi
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${ARDEVIZ_PACKAGES[@]}" "${ARDEVIZ_TEST_PACKAGES[@]}"
build_project build

run_ctest() {
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --no-tests=error "$@"
}

# Inside a fresh network namespace only 'lo' exists: no test can reach a real address.
run_suite() {
  if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 && command -v ip >/dev/null 2>&1 \
     && unshare -n true 2>/dev/null; then
    echo "Running the tests of $1 in a loopback-only network namespace."
    export -f run_ctest
    unshare -n bash -c 'ip link set lo up && run_ctest "$@"' bash "$@"
  else
    echo "No network namespace available here; the tests of $1 use 127.0.0.1 only."
    run_ctest "$@"
  fi
}

run_suite build "$@"
[ "$QUICK" = 1 ] && exit 0

build_project build-asan -DARDEVIZ_SANITIZE=ON -DARDEVIZ_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
# The acceptance scenarios hold the shipped programs to real timings: plain build only.
ARDEVIZ_SOAK_SECONDS=${ARDEVIZ_SOAK_SECONDS:-30} run_suite build-asan -LE acceptance "$@"

if [ -x fuzz/run.sh ]; then
  fuzz/run.sh all "${ARDEVIZ_FUZZ_SECONDS:-30}"
fi
