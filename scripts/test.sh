#!/usr/bin/env bash
# Builds everything and runs every test: the release build with -Werror, the
# same suite under AddressSanitizer + UndefinedBehaviorSanitizer, and bounded
# libFuzzer runs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages test
jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1

step() { echo; echo "=== $* ==="; }

step "release build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOR_WERROR=ON -DKOR_TESTS=ON >/dev/null
cmake --build build/release -j"$jobs"
step "release tests"
(cd build/release && ctest -j"$jobs" --timeout 600)

step "sanitizer build"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOR_WERROR=ON -DKOR_SANITIZE=ON >/dev/null
cmake --build build/asan -j"$jobs"
step "sanitizer tests"
(cd build/asan && KOR_TEST_SCALE=quick ASAN_OPTIONS=detect_leaks=1 ctest -j"$jobs" --timeout 900)

step "fuzz build"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKOR_FUZZ=ON -DKOR_TESTS=OFF >/dev/null
cmake --build build/fuzz -j"$jobs"
step "fuzzing"
scripts/fuzz.sh build/fuzz "${KOR_FUZZ_SECONDS:-20}"

echo; echo "All tests passed."
