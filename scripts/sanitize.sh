#!/usr/bin/env bash
# Builds the program, its tools and tests with AddressSanitizer and UndefinedBehaviorSanitizer
# into ./build-asan and runs the whole test suite there. Any report of either fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
# Leaks of the libraries below (fonts, the desktop bus, drivers loaded by name) are theirs and
# stay until exit; leaks of the program's own code still fail.
export LSAN_OPTIONS="suppressions=$PWD/../tests/support/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
