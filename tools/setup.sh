# Shared steps of ./run and ./test: install what is missing, configure and
# build. Sourced, not run.

OLVENDRIX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OLVENDRIX_BUILD="$OLVENDRIX_ROOT/build"
OLVENDRIX_JOBS=$(nproc 2>/dev/null || echo 2)
# The program's version, as CMakeLists.txt's project() states it.
OLVENDRIX_VERSION=$(sed -n 's/^project(Olvendrix VERSION \([^ )]*\).*/\1/p' "$OLVENDRIX_ROOT/CMakeLists.txt")

OLVENDRIX_PACKAGES=(
  cmake make g++ googletest libbenchmark-dev
  clang libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-apps imagemagick
)

say() { printf '==> %s\n' "$*"; }

install_missing_packages() {
  local missing=()
  for package in "${OLVENDRIX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    "${missing[@]}" >/dev/null
}

# configure_and_build DIR [cmake options...]; OLVENDRIX_BUILD_TARGET, when
# set, builds that target only.
configure_and_build() {
  local dir=$1
  shift
  # Configured every time, so that options changed since the cache was made
  # take effect (a configured tree takes about a second).
  cmake -S "$OLVENDRIX_ROOT" -B "$OLVENDRIX_BUILD/$dir" "$@" >/dev/null
  cmake --build "$OLVENDRIX_BUILD/$dir" -j "$OLVENDRIX_JOBS" ${OLVENDRIX_BUILD_TARGET:+--target "$OLVENDRIX_BUILD_TARGET"} \
    -- --no-print-directory >/dev/null
}

build_windows() {
  say "building the Windows program (mingw-w64, Release)"
  configure_and_build windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$OLVENDRIX_ROOT/cmake/mingw-w64-x86_64.cmake"
}

build_native_tools() {
  say "building the native tools (Release)"
  configure_and_build release -DCMAKE_BUILD_TYPE=Release
}

# An initialised Wine prefix for wine-run.sh to copy: one wineboot per run
# instead of one per test program.
make_wine_template() {
  local template="$OLVENDRIX_BUILD/windows/wine-template"
  rm -rf "$template" "$template.home"
  mkdir -p "$template.home"
  HOME="$template.home" WINEPREFIX="$template" WINEDEBUG=-all \
    WINEDLLOVERRIDES="winemenubuilder.exe=d" "$OLVENDRIX_ROOT/cmake/wine-prefix.sh"
  export OLVENDRIX_WINE_TEMPLATE="$template"
}
