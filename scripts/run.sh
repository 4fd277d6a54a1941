#!/usr/bin/env bash
# Builds korsh (release) and starts it with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
ensure_packages run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOR_TESTS=OFF >/dev/null
cmake --build build/release --target korsh keytrace
exec build/release/bin/korsh "$@"
