#!/usr/bin/env bash
# Builds static libpng and FreeType for the mingw-w64 cross compilers from Debian's own source
# packages, so that the Windows builds decode images and rasterise text with the same library
# versions (and the same Debian patches) as the Linux build. zlib comes from Debian's
# libz-mingw-w64-dev.
#
#   tools/deps/build-mingw-libs.sh [triplet...]   default: x86_64-w64-mingw32 i686-w64-mingw32
#
# Output: <cache>/<triplet>/{include,lib}, where <cache> is $VORNA_DEPS_DIR, or else
# $XDG_CACHE_HOME/vorna/mingw-deps (~/.cache/vorna/mingw-deps). The cache lies outside the project
# folder so that every clone of the project (CI clones afresh for each run) shares one build of
# the libraries. A stamp file records what was built, so a second run does nothing. The sources are fetched with `apt-get source`, which needs
# a deb-src entry (tools/build.sh adds one).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cache_home="${XDG_CACHE_HOME:-${HOME:+$HOME/.cache}}"
deps="${VORNA_DEPS_DIR:-${cache_home:+$cache_home/vorna/mingw-deps}}"
# Without a home folder the libraries go into the project's ignored build folder, as a last resort.
deps="${deps:-$root/build/deps}"
sources="$deps/sources"
jobs="${VORNA_DEPS_JOBS:-2}"
triplets=("$@")
[ ${#triplets[@]} -eq 0 ] && triplets=(x86_64-w64-mingw32 i686-w64-mingw32)

source_dir() { # first extracted folder of a source package
  find "$sources" -maxdepth 1 -mindepth 1 -type d -name "$1-*" | sort | head -n 1
}

fetch() {
  mkdir -p "$sources"
  local package
  for package in libpng1.6 freetype; do
    if [ -z "$(source_dir "$package")" ]; then
      echo "Fetching the Debian source package $package"
      # The newest version first; an archive that lacks its files (a mirror may lag behind the
      # index) falls back to the next one.
      local version fetched=""
      for version in $(apt-cache showsrc "$package" 2>/dev/null |
        sed -n 's/^Version: //p' | sort -u -V -r); do
        if (cd "$sources" && apt-get source -q "$package=$version" >/dev/null 2>&1); then
          fetched=$version
          break
        fi
      done
      if [ -z "$fetched" ]; then
        echo "apt-get source $package failed: is there a deb-src entry? (tools/build.sh deps adds one)" >&2
        exit 1
      fi
      echo "  got $package $fetched"
    fi
  done
}

toolchain_for() {
  case "$1" in
  x86_64-w64-mingw32) echo "$root/cmake/mingw-w64-x86_64.cmake" ;;
  i686-w64-mingw32) echo "$root/cmake/mingw-w64-i686.cmake" ;;
  *) echo "unknown triplet $1" >&2; exit 2 ;;
  esac
}

build_triplet() {
  local triplet=$1 prefix="$deps/$1" work="$deps/work/$1"
  local png freetype stamp
  png=$(source_dir libpng1.6)
  freetype=$(source_dir freetype)
  # The recipe number changes whenever the build options below do, forcing a rebuild.
  stamp="recipe 2: $(basename "$png") $(basename "$freetype")"
  if [ -f "$prefix/.built" ] && [ "$(cat "$prefix/.built")" = "$stamp" ]; then
    echo "$triplet: $stamp already built"
    return 0
  fi
  local toolchain
  toolchain=$(toolchain_for "$triplet")
  rm -rf "$work" "$prefix"
  mkdir -p "$work" "$prefix"
  local common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_POSITION_INDEPENDENT_CODE=ON
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_C_FLAGS="-ffp-contract=off"
    -DZLIB_INCLUDE_DIR="/usr/$triplet/include" -DZLIB_LIBRARY="/usr/$triplet/lib/libz.a")

  echo "$triplet: building $(basename "$png")"
  cmake -S "$png" -B "$work/png" "${common[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
    -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_EXECUTABLES=ON >"$work/png-configure.log"
  cmake --build "$work/png" -j "$jobs" >"$work/png-build.log"
  cmake --install "$work/png" >"$work/png-install.log"

  # Only outline fonts are used: no colour bitmaps or shaping. zlib is the system's (FreeType's
  # own copy would clash with it at link time), as in Debian's build.
  echo "$triplet: building $(basename "$freetype")"
  cmake -S "$freetype" -B "$work/freetype" "${common[@]}" -DFT_REQUIRE_ZLIB=ON \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    >"$work/freetype-configure.log"
  cmake --build "$work/freetype" -j "$jobs" >"$work/freetype-build.log"
  cmake --install "$work/freetype" >"$work/freetype-install.log"

  for library in libpng16.a libfreetype.a; do
    if [ ! -f "$prefix/lib/$library" ]; then
      echo "$triplet: $library missing after the build (logs in $work)" >&2
      exit 1
    fi
  done
  echo "$stamp" >"$prefix/.built"
  echo "$triplet: done, in $prefix"
}

fetch
for triplet in "${triplets[@]}"; do build_triplet "$triplet"; done
