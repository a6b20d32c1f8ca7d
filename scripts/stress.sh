#!/usr/bin/env bash
# Runs the tests that once failed now and then, many rounds over, with the machine loaded
# beside them: the repair run's four end-to-end cases (dozens of processes started in bursts)
# and the layered button tests (which follow the pointer and the enabled flag). Both run at
# once in one Wine session (the repair cases in their own throwaway prefix), each its rounds
# over in one program run, while stress-ng keeps every core busy (without it, busy loops of
# the shell do). Their output is kept under build/stress/.
#   scripts/stress.sh <win64 build folder> [rounds]    (rounds: STRESS_ROUNDS, default 50)
# STRESS_WORKERS sets the number of busy workers (default twice the cores; 0 when other work
# already loads the machine).
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ -z ${DISPLAY:-} ]]; then
  exec "$root/scripts/wine-session.sh" "${BASH_SOURCE[0]}" "$@"
fi
build=$(cd "$1" && pwd)
rounds=${2:-${STRESS_ROUNDS:-50}}
out=$root/build/stress
mkdir -p "$out"

load_pids=()
stop_load() {
  local pid
  for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  load_pids=()
}
trap stop_load EXIT
trap 'exit 130' INT TERM
cores=$(nproc)
workers=${STRESS_WORKERS:-$((2 * cores))}
if ((workers == 0)); then
  echo "stress: no busy workers of its own; the machine's other work is the load"
elif command -v stress-ng >/dev/null; then
  # Twice as many busy workers as cores: the tests' processes wait for the CPU as they do
  # beside a parallel build.
  stress-ng --cpu "$workers" --timeout 0 >/dev/null 2>&1 &
  load_pids+=($!)
else
  echo "stress: stress-ng is missing (scripts/setup.sh installs it); loading with busy loops"
  for ((i = 0; i < workers; ++i)); do
    bash -c 'while :; do :; done' &
    load_pids+=($!)
  done
fi

start=$SECONDS
"$root/tests/app/win/repair_e2e.sh" "$build/tests/app/repair_e2e_tests.exe" --gtest_repeat="$rounds" \
  >"$out/repair.log" 2>&1 &
repair_pid=$!
"$root/scripts/wine-emulator.sh" "$build/tests/skin/skin_win_tests.exe" --gtest_filter='LayeredButtonTest.*' \
  --gtest_repeat="$rounds" >"$out/buttons.log" 2>&1 &
buttons_pid=$!
status=0
for run in repair:$repair_pid buttons:$buttons_pid; do
  name=${run%%:*}
  wait "${run#*:}" || status=1
  echo "stress: $name, $rounds rounds: $(grep -c '^\[  FAILED  \] .* ms)$' "$out/$name.log") failed" \
    "cases, $(grep -c '^\[       OK \]' "$out/$name.log") passed ($out/$name.log)"
done
echo "stress: $((SECONDS - start)) s under load; $( ((status)) && echo FAILED || echo passed)"
exit $status
