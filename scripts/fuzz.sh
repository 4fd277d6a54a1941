#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each, starting
# from its committed seed corpus.  Usage: scripts/fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1; seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds="$root/tests/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    "$work" 2>&1 | tail -n 3
  rm -rf "$work"
done
