#!/usr/bin/env bash
# Runs every benchmark program; each prints its own `ratio ...` and `rate ...` lines.
set -euo pipefail
dir=$1
for b in "$dir"/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" --benchmark_min_time=0.2
done
