#!/bin/bash
# Runs every test: the portable code's unit tests natively under the sanitizers, the Windows
# tests of both builds under Wine (the shipped 32-bit build as a 32-bit process, with the
# end-to-end suite against it over HTTPS), the checks of both Windows builds and the fuzz
# targets. Prints how long each part took.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"
began=$SECONDS
ensure_packages
ensure_locales
ensure_wine32
echo "== set-up took $((SECONDS - began)) s"

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
  began=$SECONDS
  build_preset "$preset"
  echo "== $preset: build took $((SECONDS - began)) s"
  began=$SECONDS
  # The end-to-end suite runs against the shipped 32-bit exe; its x86_64 run is for developers.
  exclude=()
  [ "$preset" = win64 ] && exclude=(-E '^e2e\.')
  log=$(mktemp)
  ctest --preset "$preset" "${exclude[@]}" 2>&1 | tee "$log" || status=1
  echo "== $preset: tests took $((SECONDS - began)) s"
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
began=$SECONDS
log=$(mktemp)
bash scripts/fuzz.sh 5 2>&1 | tee "$log" || status=1
echo "== fuzz took $((SECONDS - began)) s"
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
