#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test through CTest.
# The tests run in a network namespace with only loopback whenever that is possible.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${ARDEVIZ_PACKAGES[@]}" "${ARDEVIZ_TEST_PACKAGES[@]}"
build_project build

run_ctest() {
  ctest --test-dir build --output-on-failure --no-tests=error "$@"
}

# Inside a fresh network namespace only 'lo' exists: no test can reach a real address.
if [ "$(id -u)" -eq 0 ] && command -v unshare >/dev/null 2>&1 && command -v ip >/dev/null 2>&1 \
   && unshare -n true 2>/dev/null; then
  echo "Running the tests in a loopback-only network namespace."
  export -f run_ctest
  unshare -n bash -c 'ip link set lo up && run_ctest "$@"' bash "$@"
else
  echo "No network namespace available here; the tests use 127.0.0.1 only."
  run_ctest "$@"
fi

if [ -x fuzz/run.sh ] && [ "${ARDEVIZ_SKIP_FUZZ:-0}" != 1 ]; then
  fuzz/run.sh all "${ARDEVIZ_FUZZ_SECONDS:-20}"
fi
