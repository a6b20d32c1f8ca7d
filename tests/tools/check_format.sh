#!/bin/bash
# Every tracked C++ file as .clang-format writes it: lists each file that drifts and fails.
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"
drifted=()
while IFS= read -r file; do
  [ -f "$file" ] || continue
  clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || drifted+=("$file")
done < <(git ls-files '*.h' '*.cpp')
if [ "${#drifted[@]}" -gt 0 ]; then
  printf '%s drifts from .clang-format\n' "${drifted[@]}"
  exit 1
fi
echo "every C++ file is formatted"
