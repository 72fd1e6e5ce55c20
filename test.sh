#!/usr/bin/env bash
# Installs what is missing, builds into build/ (gcc) and runs every test through
# CTest: the unit tests a few at a time, then the acceptance scenarios (label
# "acceptance": the built viewer and dvr-sim under a private Xvfb) one at a time
# with nothing beside them. Then one clang build, build-clang/, with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, while the soak (label "soak") of
# the gcc build runs beside it: the unit tests run again there, and each fuzz
# target runs for a bounded time, two at a time on two cores.
# The tests run in a network namespace with only loopback whenever that is possible.
#   ./test.sh                 everything
#   ./test.sh --quick         the plain unit tests and the scenarios, two scenarios at a time; no soak
#   ARDEVIZ_FUZZ_SECONDS=N    seconds per fuzz target (default 30)
#   ARDEVIZ_TEST_JOBS=N       unit test programs at a time (default: cores + 1)
# Further arguments go to every ctest call, e.g. ./test.sh --quick -R link
set -euo pipefail
QUICK=0
if [ "${1:-}" = "--quick" ]; then
  QUICK=1
  shift
fi
cd "$(dirname "$0")"
source scripts/common.sh

# Most test programs wait on sockets and timers part of the time: one more than the cores.
TEST_JOBS=${ARDEVIZ_TEST_JOBS:-$(($(nproc) + 1))}
phases=()
phase_start=$SECONDS
# phase NAME: notes how long the step that just ended took.
phase() {
  phases+=("$(printf '%-28s %5d s' "$1" $((SECONDS - phase_start)))")
  phase_start=$SECONDS
}
print_phases() {
  echo "=== test.sh times:"
  printf '  %s\n' "${phases[@]}"
}
trap print_phases EXIT

install_packages "${ARDEVIZ_PACKAGES[@]}" "${ARDEVIZ_TEST_PACKAGES[@]}"
phase "packages"
build_project build
phase "build (gcc)"

# A filter given on the command line may leave one of the calls without tests.
NO_TESTS=error
[ $# -gt 0 ] && NO_TESTS=ignore
export NO_TESTS
run_ctest() {
  local dir=$1
  shift
  ctest --test-dir "$dir" --output-on-failure --no-tests="$NO_TESTS" "$@"
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

# The full run keeps the soak (two minutes, mostly waiting) for later, beside the
# clang build; the quick run leaves it out.
run_suite build -LE 'acceptance|soak' -j "$TEST_JOBS" "$@"
phase "unit tests (gcc)"
# The scenarios hold the shipped programs to real timings: in the full run
# nothing else runs beside them; the quick run takes two at a time (each has its
# own X server, recorder port and folders, and they pass on a busy machine).
acceptance_jobs=1
[ "$QUICK" = 1 ] && acceptance_jobs=2
run_suite build -L acceptance -j "$acceptance_jobs" "$@"
phase "acceptance"
[ "$QUICK" = 1 ] && exit 0

run_suite build -L soak "$@" >build/soak.log 2>&1 &
soak_pid=$!
clang_status=0
build_project "$ARDEVIZ_CLANG_BUILD" "${ARDEVIZ_CLANG_OPTIONS[@]}" || clang_status=$?
soak_status=0
wait "$soak_pid" || soak_status=$?
cat build/soak.log
[ "$soak_status" = 0 ] && [ "$clang_status" = 0 ] || exit 1
phase "build (clang) + gcc soak"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
ARDEVIZ_SOAK_SECONDS=${ARDEVIZ_SOAK_SECONDS:-30} run_suite "$ARDEVIZ_CLANG_BUILD" -j "$TEST_JOBS" "$@"
phase "unit tests (sanitizers)"

if [ -x fuzz/run.sh ]; then
  fuzz/run.sh all "${ARDEVIZ_FUZZ_SECONDS:-30}"
fi
phase "fuzz"
