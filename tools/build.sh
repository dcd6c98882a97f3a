#!/usr/bin/env bash
# Sets up, builds and runs Vorna on a Debian 12 machine.
#   tools/build.sh demo   installs what is missing, builds the plug-ins and the tool, runs the main job
#   tools/build.sh test   installs what is missing, builds every target and runs all tests (the CI run)
#   tools/build.sh test-full  the same with every check in full, and the fuzzers run (for a release)
#   tools/build.sh deps   only installs what is missing
#   tools/build.sh listen builds the Linux target and writes the factory sounds' listening page
#   tools/build.sh check-layers  refuses includes that cross the layers of src/layers.txt
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# What the demo needs to build the three plug-ins and the tool, and what the tests need besides.
linux_build_packages=(build-essential cmake ninja-build pkg-config libpng-dev zlib1g-dev
  libfreetype-dev libx11-dev libcurl4-openssl-dev libsndfile1-dev fonts-liberation lv2-dev)
linux_test_packages=(libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev clang
  libclang-rt-14-dev xvfb xauth libxtst-dev libxres-dev x11-utils liblilv-dev libsuil-dev lilv-utils
  sordi)
windows_build_packages=(g++-mingw-w64 libz-mingw-w64-dev)
windows_test_packages=(wine wine64)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Some kernels are built without 32-bit (IA32) emulation: there no i386 program starts, Wine's
# 32-bit loader included. A minimal 32-bit ELF program that only exits tells which kind this is.
kernel_runs_32bit() {
  if [ -z "${kernel_32bit_answer:-}" ]; then
    local probe
    probe=$(mktemp)
    # ELF header, one loadable segment, then: mov eax, 1; xor ebx, ebx; int 0x80 (exit(0)).
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$probe"
    printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$probe"
    printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$probe"
    printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' >>"$probe"
    printf '\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00' >>"$probe"
    printf '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >>"$probe"
    chmod +x "$probe"
    if "$probe" 2>/dev/null; then kernel_32bit_answer=yes; else kernel_32bit_answer=no; fi
    rm -f "$probe"
  fi
  [ "$kernel_32bit_answer" = yes ]
}

no_32bit_note="Vorn.dll not tested under Wine: this kernel runs no 32-bit programs"

# install_missing <package>...: installs those that are not installed yet.
install_missing() {
  local missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  if ! as_root apt-get update -q || ! as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    echo "Could not install ${missing[*]} (see apt-get above): nothing can be built without them." >&2
    exit 1
  fi
}

install_build_packages() {
  install_missing "${linux_build_packages[@]}" "${windows_build_packages[@]}"
}

# Everything the tests use. Wine's 32-bit half is installed only where the kernel can run it.
install_test_packages() {
  local packages=("${linux_build_packages[@]}" "${windows_build_packages[@]}"
    "${linux_test_packages[@]}" "${windows_test_packages[@]}")
  if kernel_runs_32bit; then
    packages+=(wine32:i386)
  else
    echo "This kernel runs no 32-bit programs: wine32 is not installed, and Vorn.dll is built" \
      "and checked but not tested under Wine."
  fi
  install_missing "${packages[@]}"
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

# Static libpng and FreeType for both mingw targets, built once into a cache folder outside the
# project (see tools/deps/build-mingw-libs.sh).
windows_libraries() {
  add_source_entries
  tools/deps/build-mingw-libs.sh
}

# A compiler cache speeds up repeated builds when one is installed; it is never required.
compiler_cache_options() {
  if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR="$PWD"
    echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  else
    echo "-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER="
  fi
}

# build <preset> <target>...: configures and builds. The test runs set VORNA_FULL_TESTS; the demo
# configures without the tests and benchmarks (VORNA_BUILD_TESTS=OFF), so it needs none of their
# packages.
build() {
  local preset=$1
  shift
  case "$preset" in win*) windows_libraries ;; esac
  # shellcheck disable=SC2046
  cmake --preset "$preset" $(compiler_cache_options) -DVORNA_BUILD_TESTS="${VORNA_BUILD_TESTS:-ON}" \
    -DVORNA_FULL_TESTS="${VORNA_FULL_TESTS:-OFF}" >/dev/null
  cmake --build --preset "$preset" --target "$@"
}

timings=()
# timed <label> <command>...: runs the command and notes how long it took.
timed() {
  local label=$1 start=$SECONDS
  shift
  "$@"
  timings+=("$(printf '%-22s %5d' "$label" $((SECONDS - start)))")
}

# The main job builds only what it runs and ships: the three plug-ins and the vorna tool.
run_demo() {
  trap print_timings EXIT
  export VORNA_BUILD_TESTS=OFF
  timed "mingw libraries" windows_libraries
  timed "linux build" build linux vorna_plugin vorna
  timed "win64 build" build win64 vorna_plugin
  timed "win32 build" build win32 vorna_plugin
  # The built-in demo phrase played on factory program 0, written to demo.wav.
  timed "render" build/linux/vorna render build/linux/Vorn.so --program 0 --out demo.wav
  cat <<EOF

The plug-ins:
  $PWD/build/linux/Vorn.so     (Linux, x86_64)
  $PWD/build/win64/Vorn64.dll  (Windows, 64-bit hosts)
  $PWD/build/win32/Vorn.dll    (Windows, 32-bit hosts)
Install the Linux plug-in and the vorna tool with
  cmake --install build/linux --prefix "\$HOME/.local"   (or sudo cmake --install build/linux)
and copy a DLL into the VST2 folder of a Windows host.
EOF
}

# One X server for the whole run: the editor window tests need one, and the Windows programs under
# Wine use it too. A display number no other server holds, no TCP, kept when its last client
# leaves (a reset would refuse the next test's connection for a moment), stopped when the run ends.
start_x_server() {
  local display=99
  while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
  done
  Xvfb ":$display" -screen 0 2560x1600x24 -nolisten tcp -noreset +extension XTEST +extension X-Resource \
    >/dev/null 2>&1 &
  x_server_pid=$!
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$display"
  unset XAUTHORITY
}

# Wine's server is started once per kind of Windows build (a prefix made once, a server kept until
# the run ends) instead of once per test program.
start_wine() {
  local kind=$1
  (
    # shellcheck source=../cmake/wine-env.sh
    . cmake/wine-env.sh
    wine_environment "$kind"
    # The prefix is made once (its first program waits for that server to end), then a server is
    # started that stays until the run ends (wineserver -k), before the programs whose service
    # processes would otherwise hold a test's output open.
    cmake/wine-run.sh "$kind" cmd /c exit </dev/null >/dev/null 2>&1 || true
    "$wine_server" -k >/dev/null 2>&1 || true
    "$wine_server" -w >/dev/null 2>&1 || true
    "$wine_server" -p </dev/null >/dev/null 2>&1 || true
    cmake/wine-run.sh "$kind" cmd /c exit </dev/null >/dev/null 2>&1 || true
    # Xvfb has no window manager: windows of the prefix are not to wait for one when they close.
    cmake/wine-run.sh "$kind" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
      </dev/null >/dev/null 2>&1 || true
  )
  # The first program that touches the desktop starts Wine's desktop process, which inherits that
  # program's output and lives until the prefix has been idle for a while: ctest would count that
  # one test as running until every other test has ended, leaving one core idle. A console program
  # that waits on a pipe for the whole run keeps the desktop up from here, with its output detached.
  local pipe="$PWD/build/wine-keeper-$kind.fifo"
  rm -f "$pipe"
  mkfifo "$pipe"
  sleep 86400 >"$pipe" &
  wine_keepers+=($!)
  wine_pipes+=("$pipe")
  cmake/wine-run.sh "$kind" cmd /c "set /p _=" <"$pipe" >/dev/null 2>&1 &
  wine_started+=("$kind")
}

stop_wine() {
  local pid kind
  for pid in "${wine_keepers[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -f "${wine_pipes[@]}"
  for kind in "${wine_started[@]}"; do
    (
      . cmake/wine-env.sh
      wine_environment "$kind"
      "$wine_server" -k >/dev/null 2>&1 || true
    )
  done
}
wine_started=()
wine_keepers=()
wine_pipes=()

skips=()
background_pid=""
print_timings() {
  [ ${#timings[@]} -eq 0 ] && return 0
  echo
  echo "Timing (seconds):"
  printf '  %s\n' "${timings[@]}"
}

stop_services() {
  local status=$?
  # A build still running beside failed tests is stopped with all its compilers.
  [ -n "${background_pid:-}" ] && { kill -- -"$background_pid" 2>/dev/null || true; }
  [ ${#wine_started[@]} -gt 0 ] && stop_wine
  [ -n "${x_server_pid:-}" ] && { kill "$x_server_pid" 2>/dev/null || true; }
  print_skips
  print_timings
  return $status
}

# The Linux build compiles everything (tools and benchmarks too); the others build what the tests
# run. ctest runs as many tests at once as the machine has cores, the longest first (COST).
build_for_tests() {
  local preset=$1 target=vorna_tests
  [ "$preset" = linux ] && target=all
  untestable "$preset" && target=vorna_plugin
  build "$preset" "$target"
}

# A build whose tests this machine cannot run: the 32-bit DLL where the kernel runs no 32-bit
# programs. It is still built, and its exports are checked.
untestable() {
  [ "$1" = win32 ] && ! kernel_runs_32bit
}

# What can be checked of the 32-bit DLL without running it: that it exports the entry hosts call.
check_untested_dll() {
  local dll=build/win32/Vorn.dll exports
  # Read whole before searching: grep -q would stop objdump midway, and the pipe would fail.
  exports=$(i686-w64-mingw32-objdump -p "$dll")
  if grep -qw VSTPluginMain <<<"$exports"; then
    echo "$dll exports VSTPluginMain"
  else
    echo "$dll does not export VSTPluginMain" >&2
    return 1
  fi
}

# What the tests of one preset skipped, and why, from the ctest log: GoogleTest's skips, and the
# "skipped: REASON" line of a test script that skipped as a whole (the log calls those passed).
record_skips() {
  local preset=$1 log="build/$1/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || return 0
  local line
  while IFS= read -r line; do
    skips+=("$(printf '%-6s %s' "$preset" "$line")")
  done < <(awk '
    /^[0-9]+\/[0-9]+ Test: / { test = $3 }
    /^skipped: / { print test ": " substr($0, 10); next }
    /: Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] [A-Za-z_][A-Za-z0-9_]*\.[A-Za-z0-9_\/]+ \(/ {
      name = $4; if (!(name in seen)) { seen[name] = 1; print name ": " reason }
      reason = ""
    }' "$log")
}

print_skips() {
  echo
  if [ ${#skips[@]} -eq 0 ]; then
    echo "Skipped tests: none"
  else
    echo "Skipped tests (README.md lists the expected ones):"
    printf '  %s\n' "${skips[@]}"
  fi
}

# A background build in its own process group, at a low priority, its output kept for later.
start_background_build() {
  local preset=$1
  background_log="build/$preset.build.log"
  mkdir -p build
  set -m
  (
    renice -n 15 -p "$BASHPID" >/dev/null
    start=$SECONDS
    build_for_tests "$preset" >"$background_log" 2>&1
    echo $((SECONDS - start)) >"$background_log.seconds"
  ) &
  background_pid=$!
  set +m
}

# Waits for the background build and shows its output; fails when the build failed.
finish_background_build() {
  local preset=$1 status=0
  wait "$background_pid" || status=$?
  background_pid=""
  cat "$background_log"
  if [ $status -ne 0 ]; then
    timings+=("$(printf '%-6s build   FAILED' "$preset")")
    return 1
  fi
  timings+=("$(printf '%-6s build %5d  (beside the tests before it)' "$preset" \
    "$(cat "$background_log.seconds")")")
}

# The first preset builds alone. After that each preset's tests run while the next one builds at a
# low priority: the tests keep their speed, and the build takes the time they leave a core idle
# (a long test running on alone, waits for the X server or Wine).
run_tests() {
  trap stop_services EXIT
  # The layers first: a breach fails the run before anything is built.
  tools/check-layers.sh
  local run_start=$SECONDS jobs start tree_before presets i
  jobs=$(nproc)
  tree_before=$(git status --porcelain --untracked-files=all 2>/dev/null || true)
  start_x_server
  # VORNA_TEST_PRESETS picks some of the builds (for example "win64 win32") when working on one.
  read -r -a presets <<<"${VORNA_TEST_PRESETS:-linux asan tsan win64 win32}"
  if [[ " ${presets[*]} " == *" win32 "* ]] && ! kernel_runs_32bit; then
    echo "$no_32bit_note; it is built and its exports are checked."
  fi
  start=$SECONDS
  build_for_tests "${presets[0]}"
  timings+=("$(printf '%-6s build %5d' "${presets[0]}" $((SECONDS - start)))")
  for ((i = 0; i < ${#presets[@]}; i++)); do
    local preset=${presets[$i]} next=${presets[$((i + 1))]:-}
    [ -n "$next" ] && start_background_build "$next"
    if untestable "$preset"; then
      check_untested_dll
      skips+=("$(printf '%-6s %s' "$preset" "$no_32bit_note")")
      [ -n "$next" ] && { finish_background_build "$next" || return 1; }
      continue
    fi
    case "$preset" in win*) start_wine "$preset" ;; esac
    start=$SECONDS
    if ! ctest --preset "$preset" -j "$jobs"; then
      timings+=("$(printf '%-6s tests %5d  FAILED' "$preset" $((SECONDS - start)))")
      record_skips "$preset"
      return 1
    fi
    # Read before `ctest -N`, which writes a new, empty log.
    record_skips "$preset"
    timings+=("$(printf '%-6s tests %5d  (%s tests)' "$preset" $((SECONDS - start)) \
      "$(ctest --preset "$preset" -N | sed -n 's/^Total Tests: //p')")")
    [ -n "$next" ] && { finish_background_build "$next" || return 1; }
  done
  timings+=("$(printf 'all    total %5d' $((SECONDS - run_start)))")
  # No test may write into the source tree (a golden regenerated by accident would pass unseen).
  local tree_after
  tree_after=$(git status --porcelain --untracked-files=all 2>/dev/null || true)
  if [ "$tree_after" != "$tree_before" ]; then
    echo "The tests changed the source tree:" >&2
    diff <(echo "$tree_before") <(echo "$tree_after") >&2 || true
    return 1
  fi
}

# Everything in full for a release: every factory program on every build, and each libFuzzer
# target run for VORNA_FUZZ_SECONDS (default 120) from its committed corpus.
run_full_tests() {
  export VORNA_FULL_TESTS=ON
  run_tests
  local seconds=${VORNA_FUZZ_SECONDS:-120} start=$SECONDS
  build fuzz vorna_fuzzers
  local corpus work
  for fuzzer in build/fuzz/tests/fuzz/fuzz_*; do
    corpus="tests/fuzz/corpus/${fuzzer##*/fuzz_}"
    work=$(mktemp -d)
    echo "Fuzzing ${fuzzer##*/} for $seconds s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus"
    rm -rf "$work"
  done
  timings+=("$(printf 'fuzz   all   %5d' $((SECONDS - start)))")
}

run_listen() {
  VORNA_BUILD_TESTS=OFF build linux vorna_listen
  # Voice bank 1 of the factory sounds as WAV files and spectrograms, with an index.html.
  build/linux/vorna_listen build/linux/listening
  echo "Open build/linux/listening/index.html in a web browser."
}

case "${1:-}" in
  deps) install_test_packages; windows_libraries ;;
  demo) timed packages install_build_packages; run_demo ;;
  test) install_test_packages; run_tests ;;
  test-full) install_test_packages; run_full_tests ;;
  listen) install_build_packages; run_listen ;;
  check-layers) tools/check-layers.sh ;;
  *) echo "usage: $0 demo|test|test-full|deps|listen|check-layers" >&2; exit 2 ;;
esac
