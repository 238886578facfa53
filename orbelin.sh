#!/usr/bin/env bash
# Sets up, builds and runs Orbelin.
#   ./orbelin.sh            install what is missing, build, start the desktop program (without a
#                           display: write the demonstration project and export its scene)
#   ./orbelin.sh test       install what is missing, build, run the whole test suite
#   ./orbelin.sh cli ARGS   build and run orbelin-cli with ARGS
#   ./orbelin.sh ci-setup   install what the build needs and what CI's sanitizer,
#                           ThreadSanitizer and fuzzing steps need as well (clang and its runtimes)
set -euo pipefail
cd "$(dirname "$0")"

BUILD_DIR=${ORBELIN_BUILD_DIR:-build}
PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libgl-dev libglu1-mesa-dev
  libeigen3-dev libshp-dev pxlib-dev libxlsxwriter-dev zlib1g-dev libboost-math-dev
  nlohmann-json3-dev libcli11-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri
  ghostscript view3dscene
)
# CI's further steps: clang with its sanitizer and libFuzzer runtimes, and clang's OpenMP.
CI_PACKAGES=(clang libclang-rt-14-dev libomp-dev)

say() { printf 'orbelin.sh: %s\n' "$*" >&2; }

install_packages() {
  local missing=() p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local apt=(apt-get)
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
      apt=(sudo apt-get)
    elif command -v sudo >/dev/null 2>&1 && [ -t 0 ]; then
      apt=(sudo apt-get)
    else
      say "these packages are missing and this user cannot install them: ${missing[*]}"
      say "ask an administrator to run: apt-get install ${missing[*]}"
      exit 1
    fi
  fi
  DEBIAN_FRONTEND=noninteractive "${apt[@]}" update -qq
  DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
  fi
  cmake --build "$BUILD_DIR" -j "${ORBELIN_JOBS:-2}"
}

command=${1:-run}
case "$command" in
  run)
    install_packages
    build
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      exec "$BUILD_DIR/bin/orbelin"
    fi
    say "no display to show the desktop program on; running the demonstration through the command line instead"
    cli="$BUILD_DIR/bin/orbelin-cli"
    demo_dir=${ORBELIN_DEMO_DIR:-$BUILD_DIR/demo}
    say "writing the demonstration project into $demo_dir"
    "$cli" demo "$demo_dir"
    say "the project as orbelin-cli info reads it:"
    "$cli" info "$demo_dir/IRIS.obp"
    # The map coloured by petal length in the principal-component view, turned as the
    # desktop program turns it at start-up and zoomed out so that every point is in the plot.
    say "exporting its map as a VRML scene and a PostScript plot"
    "$cli" export "$demo_dir/IRIS_PC.obm" --coloring field:petal_length_cm --view pca --rotz 20 --zoom 180 \
      --vrml "$demo_dir/IRIS_PC.wrl" --ps "$demo_dir/IRIS_PC.ps"
    say "done: open $demo_dir/IRIS_PC.wrl in a VRML viewer, or $demo_dir/IRIS_PC.ps in a PostScript viewer"
    exit 0
    ;;
  test)
    install_packages
    build
    exec ctest --test-dir "$BUILD_DIR" --output-on-failure -j "${ORBELIN_JOBS:-2}"
    ;;
  ci-setup)
    PACKAGES+=("${CI_PACKAGES[@]}")
    install_packages
    ;;
  cli)
    shift
    install_packages
    build >&2
    exec "$BUILD_DIR/bin/orbelin-cli" "$@"
    ;;
  *)
    say "unknown command \"$command\"; use: ./orbelin.sh [test | ci-setup | cli ARGS...]"
    exit 2
    ;;
esac
