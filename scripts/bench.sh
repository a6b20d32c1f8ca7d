#!/usr/bin/env bash
# Runs every benchmark executable a bench build made of bench/, each case BENCH_REPETITIONS
# times (default 3; the medians count), the cases interleaved at random so that both sides of a
# ratio see the same load, then prints the sprite benchmarks' ratios to the
# reference libraries against their goals.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1
status=0
found=0
while IFS= read -r exe; do
  found=1
  name=$(basename "$exe")
  echo "== $name"
  "$exe" --benchmark_counters_tabular=true --benchmark_repetitions="${BENCH_REPETITIONS:-3}" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$build/$name.json" \
    --benchmark_out_format=json || status=1
done < <(find "$build/bench" -type f -perm -u+x -name '*_bench' | sort)
((found)) || echo "bench: no benchmarks in $build/bench"
if [[ -f $build/sprite_bench.json ]]; then
  echo "== ours over the reference, processor time, medians of one run"
  "$here/bench_ratios.py" "$build/sprite_bench.json" || status=1
fi
exit $status
