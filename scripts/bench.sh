#!/usr/bin/env bash
# Runs every benchmark executable a bench build made of bench/.
set -uo pipefail
build=$1
status=0
found=0
while IFS= read -r exe; do
  found=1
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true || status=1
done < <(find "$build/bench" -type f -perm -u+x -name '*_bench' | sort)
((found)) || echo "bench: no benchmarks in $build/bench"
exit $status
