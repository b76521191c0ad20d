#!/bin/bash
# Runs every test: the portable code's unit tests natively under the sanitizers, the Windows
# tests of the x86_64 build under Wine, and the checks of both Windows builds.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"
ensure_packages
ensure_locales
ensure_wine32

cleanup() {
  for prefix in build/*/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$TOP/$prefix" wineserver -k 2>/dev/null || true
  done
  stop_display
}
trap cleanup EXIT
start_display

passed=0
failed=0
status=0
for preset in native win64 win32; do
  echo "== $preset"
  build_preset "$preset"
  log=$(mktemp)
  ctest --preset "$preset" 2>&1 | tee "$log" || status=1
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -z "$line" ]; then
    status=1
  else
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  rm -f "$log"
done
# Each fuzz target a few seconds on its kept corpus.
echo "== fuzz"
log=$(mktemp)
bash scripts/fuzz.sh 5 2>&1 | tee "$log" || status=1
line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$log" | tail -1 || true)
if [ -z "$line" ]; then
  status=1
else
  passed=$((passed + $(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) failed.*/\1/' <<<"$line")))
fi
rm -f "$log"
echo "all presets: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && exit $status
exit 1
