# Shared by run.sh and test.sh: install what is missing, then build.
# shellcheck shell=bash

ARDEVIZ_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libturbojpeg0-dev libjpeg-dev qtkeychain-qt6-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core
)
ARDEVIZ_TEST_PACKAGES=(iproute2 util-linux clang libclang-rt-14-dev ffmpeg poppler-utils xvfb xdotool faketime)
# The accessibility scenario: a private session bus, the AT-SPI bus and a pyatspi reader.
ARDEVIZ_TEST_PACKAGES+=(dbus-daemon dbus-bin at-spi2-core python3-pyatspi)
# The package test: cpack with dpkg-shlibdeps, and the freedesktop validators.
ARDEVIZ_TEST_PACKAGES+=(dpkg-dev file desktop-file-utils appstream)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "Need root (or sudo) to run: $*" >&2
    return 1
  fi
}

# install_packages PKG...: apt-get install only what dpkg does not already have.
install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q || true
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# configure_project DIR [cmake options...]: configure DIR once. ccache, when
# installed, serves objects compiled before (it never changes them; a fresh
# machine without it builds the same).
configure_project() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@"
  fi
}

# build_project DIR [cmake options...]: configure once, then build incrementally.
build_project() {
  configure_project "$@"
  cmake --build "$1" --parallel "$(nproc)"
}

# The clang build shared by the sanitizer suite and the fuzz targets: everything
# with AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's coverage
# instrumentation, the fuzz targets linked with libFuzzer. Debug keeps the
# asserts; -O1 runs the instrumented code faster than -O0.
ARDEVIZ_CLANG_BUILD=build-clang
ARDEVIZ_CLANG_OPTIONS=(-DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1"
  -DARDEVIZ_SANITIZE=ON -DARDEVIZ_FUZZ=ON -DARDEVIZ_BENCH=OFF)
