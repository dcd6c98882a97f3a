#!/usr/bin/env bash
# Sets up, builds and runs Vorna on a Debian 12 machine.
#   tools/build.sh demo   installs what is missing, builds every target and runs the main job
#   tools/build.sh test   installs what is missing, builds every target and runs all tests
#   tools/build.sh deps   only installs what is missing
#   tools/build.sh listen builds the Linux target and writes the factory sounds' listening page
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

linux_packages=(build-essential cmake ninja-build pkg-config libpng-dev zlib1g-dev libfreetype-dev
  libx11-dev libcurl4-openssl-dev libsndfile1-dev fonts-liberation libgtest-dev libgmock-dev
  libbenchmark-dev libcairo2-dev clang libclang-rt-14-dev)
windows_packages=(g++-mingw-w64 libz-mingw-w64-dev wine wine64 wine32:i386)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for package in "${linux_packages[@]}" "${windows_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
}

# apt-get source (used for the mingw builds of libpng and FreeType) needs deb-src entries for the
# same archive as the deb entries; they go into a file of their own.
add_source_entries() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  echo "Adding deb-src entries for the Debian archive"
  local list
  list=$(mktemp)
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && sed -n 's/^deb \(.*debian.*\)$/deb-src \1/p' "$file" >>"$list"
  done
  [ -s "$list" ] && as_root cp "$list" /etc/apt/sources.list.d/vorna-src.list
  : >"$list"
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && grep -q 'debian' "$file" && sed 's/^Types: deb$/Types: deb-src/' "$file" >>"$list"
  done
  [ -s "$list" ] && as_root cp "$list" /etc/apt/sources.list.d/vorna-src.sources
  rm -f "$list"
  as_root apt-get update -q
}

# Static libpng and FreeType for both mingw targets, built once into build/deps/.
windows_libraries() {
  add_source_entries
  tools/deps/build-mingw-libs.sh
}

build() {
  local preset=$1
  case "$preset" in win*) windows_libraries ;; esac
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
}

run_demo() {
  for preset in linux win64 win32; do build "$preset"; done
  # The main job: the built-in demo phrase played on factory program 0, written to demo.wav.
  build/linux/vorna render build/linux/Vorn.so --program 0 --out demo.wav
}

run_tests() {
  for preset in linux asan tsan win64 win32; do
    build "$preset"
    ctest --preset "$preset" -j 2
  done
}

run_listen() {
  build linux
  # Voice bank 1 of the factory sounds as WAV files and spectrograms, with an index.html.
  build/linux/vorna_listen build/linux/listening
  echo "Open build/linux/listening/index.html in a web browser."
}

case "${1:-}" in
  deps) install_missing; windows_libraries ;;
  demo) install_missing; run_demo ;;
  test) install_missing; run_tests ;;
  listen) install_missing; run_listen ;;
  *) echo "usage: $0 demo|test|deps|listen" >&2; exit 2 ;;
esac
