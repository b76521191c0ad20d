#!/bin/bash
# Runs each fuzz target of the readers of outside data for SECONDS seconds (default 60) on its
# corpus kept in tests/fuzz/corpus/<target>/, and exits non-zero when one of them crashes.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Targets: catalogue update_answer strings markup window_description registry_path (default:
# all). New inputs that the fuzzer finds go to the build directory (FUZZ_BUILD_DIR, default
# build/fuzz), never into the kept corpus; a crashing input is saved there under crashes/ and
# named in the output. The last line reads "fuzz: N passed, M failed".
set -uo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(catalogue update_answer strings markup window_description registry_path)
build=${FUZZ_BUILD_DIR:-build/fuzz}

if ! command -v clang++ >/dev/null; then
  ensure_packages
fi
cmake --preset fuzz -B "$build" >/dev/null || exit 1
cmake --build "$build" -j2 >/dev/null || { cmake --build "$build" -j1; exit 1; }

passed=0
failed=0
for t in "${targets[@]}"; do
  exe="$build/tests/fuzz/fuzz_$t"
  kept="tests/fuzz/corpus/$t"
  if [ ! -x "$exe" ] || [ ! -d "$kept" ]; then
    echo "fuzz $t: no such target"
    failed=$((failed + 1))
    continue
  fi
  work="$build/corpus/$t"
  crashes="$build/crashes/$t"
  mkdir -p "$work" "$crashes"
  log="$build/fuzz_$t.log"
  if "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$crashes/" "$work" "$kept" >"$log" 2>&1; then
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || echo "?")
    echo "fuzz $t: ok, $runs runs in ${seconds}s"
    passed=$((passed + 1))
  else
    echo "fuzz $t: FAILED (log $log)"
    grep -E 'ERROR:|property broken|runtime error|Test unit written to' "$log" | sed -n '1,5s/^/  /p'
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
