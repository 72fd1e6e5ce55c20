# Shared by run.sh and test.sh: install what is missing, then build.
# shellcheck shell=bash

ARDEVIZ_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libturbojpeg0-dev libjpeg-dev
  libgtest-dev libbenchmark-dev
  fonts-dejavu-core
)
ARDEVIZ_TEST_PACKAGES=(iproute2 util-linux clang libclang-rt-14-dev ffmpeg poppler-utils xvfb xdotool)
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

# build_project DIR [cmake options...]: configure once, then build incrementally.
build_project() {
  local dir=$1
  shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
