#!/usr/bin/env bash
# Runs every fuzz target for a bounded time; any crash, leak or sanitizer report fails.
set -euo pipefail
dir=$1
seconds=${2:-30}
status=0
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "fuzz: $name for ${seconds}s"
  # Undefined behaviour stops the run like a crash (the checks are built recoverable);
  # leaks of the system libraries listed in fuzz/lsan.supp are not ours to report.
  if ! QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
         LSAN_OPTIONS=suppressions="$PWD/fuzz/lsan.supp" "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
         -print_final_stats=0 "$corpus" >"$corpus.log" 2>&1; then
    tail -n 60 "$corpus.log"
    echo "fuzz: $name FAILED"
    status=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$corpus.log" | tail -n 1 || true
  fi
  rm -rf "$corpus" "$corpus.log"
done
exit $status
