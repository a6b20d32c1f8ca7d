#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each. Targets are listed by the
# build in fuzz-targets.txt ("name executable seed-corpus regression-folder" per line); new
# corpus entries land under the build folder, never in the source tree.
set -uo pipefail
build=$1 seconds=$2
list=$build/fuzz-targets.txt
[[ -s $list ]] || { echo "fuzz: no fuzz targets in $build"; exit 0; }
status=0
while read -r name exe seeds regressions; do
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  echo "fuzz: $name for ${seconds}s"
  "$exe" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "$seeds" "$regressions" || status=1
done <"$list"
exit $status
