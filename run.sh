#!/usr/bin/env bash
# Installs what is missing, builds into build/ and starts the viewer.
#   ./run.sh          the viewer, connecting to the stored recorder address
#   ./run.sh --demo   the viewer against the built-in simulated recorder (loopback only)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

install_packages "${ARDEVIZ_PACKAGES[@]}"
build_project build

if [ -x build/ardeviz ]; then
  cd build
  exec ./ardeviz "$@"
fi
if [ "${1:-}" = "--demo" ] && [ -x build/sim/dvr-sim ]; then
  echo "The viewer is not built yet; starting the simulated recorder on 127.0.0.1:8000 instead."
  exec build/sim/dvr-sim --port 8000
fi
echo "Built everything there is so far; the viewer program does not exist yet."
