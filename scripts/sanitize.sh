#!/usr/bin/env bash
# Builds everything with the address and undefined-behaviour sanitizers (the
# first fault stops the program) into build-sanitize/ and runs the whole test
# suite there, windows offscreen.
#
#   scripts/sanitize.sh [CTEST ARGUMENTS...]     e.g. -R IniFile
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$sanitizers -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_SHARED_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build "$build" -j2
export QT_QPA_PLATFORM=offscreen
# Leaks are reported too; the suppressions name what Qt's and the system's
# libraries keep until exit.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/sanitize.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j2 "$@"
