#!/bin/bash
# Runs every test: the portable code's unit tests natively under the sanitizers, the Windows
# tests of both builds under Wine (the shipped 32-bit build as a 32-bit process, with the
# end-to-end suite against it over HTTPS), the checks of both Windows builds and the fuzz
# targets. Prints how long each part took.
#
# The Wine runs mostly wait (for windows, timers, the program's own waits), so the builds go on
# beside them: the shipped build is made first and its tests start at once, on a display of
# their own; the native build and tests, the x86_64 build and its tests (on another display)
# and the fuzz targets follow while they run. The two Wine runs share nothing: each preset has
# its own prefix, and every end-to-end case its own display, prefix copy and namespace.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"
began=$SECONDS
ensure_packages
ensure_locales
ensure_wine32
echo "== set-up took $((SECONDS - began)) s"

logs=$(mktemp -d)
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
  for prefix in build/*/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$TOP/$prefix" wineserver -k 2>/dev/null || true
  done
  rm -rf "$logs"
}
trap cleanup EXIT

status=0
# build PRESET: builds it, printing the compiler's output only when it fails.
build() {
  local t=$SECONDS
  echo "== $1: build"
  if ! build_preset "$1" >"$logs/build-$1.log" 2>&1; then
    cat "$logs/build-$1.log"
    echo "== $1: the build failed"
    return 1
  fi
  echo "== $1: build took $((SECONDS - t)) s"
}
# run_ctest PRESET [ctest arguments]: on a display of its own; its output goes to a log.
run_ctest() {
  local preset=$1 t=$SECONDS rc=0
  shift
  (
    start_display || exit 1
    trap stop_display EXIT
    ctest --preset "$preset" "$@"
  ) >"$logs/ctest-$preset.log" 2>&1 || rc=$?
  echo "== $preset: tests took $((SECONDS - t)) s" >>"$logs/ctest-$preset.log"
  return $rc
}

build win32 || exit 1
# Job control gives each background run a process group of its own, ended as one on exit.
set -m
run_ctest win32 & pids+=($!)
win32=$!
set +m

build native || exit 1
run_ctest native || status=1
cat "$logs/ctest-native.log"

build win64 || exit 1
# The end-to-end suite runs against the shipped 32-bit exe; its x86_64 run is for developers.
set -m
run_ctest win64 -E '^e2e\.' & pids+=($!)
win64=$!
set +m

echo "== fuzz"
t=$SECONDS
bash scripts/fuzz.sh 5 >"$logs/fuzz.log" 2>&1 || status=1
echo "== fuzz took $((SECONDS - t)) s" >>"$logs/fuzz.log"

wait "$win64" || status=1
cat "$logs/ctest-win64.log"
wait "$win32" || status=1
cat "$logs/ctest-win32.log"
cat "$logs/fuzz.log"
pids=()

# The closing line adds up what each run counted.
passed=0
failed=0
skipped=0
for preset in native win64 win32; do
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/ctest-$preset.log" | tail -1 || true)
  if [ -z "$line" ]; then
    echo "== $preset: ctest printed no summary"
    status=1
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  # ctest counts a case that skipped itself among the passed ones and names it "(Skipped)".
  skip=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$logs/ctest-$preset.log" || true)
  passed=$((passed + total - bad - skip))
  failed=$((failed + bad))
  skipped=$((skipped + skip))
done
line=$(grep -E '^fuzz: [0-9]+ passed, [0-9]+ failed' "$logs/fuzz.log" | tail -1 || true)
if [ -z "$line" ]; then
  status=1
else
  passed=$((passed + $(sed -E 's/^fuzz: ([0-9]+) passed.*/\1/' <<<"$line")))
  failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) failed.*/\1/' <<<"$line")))
fi
echo "== all took $((SECONDS - began)) s"
echo "all presets: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] && exit $status
exit 1
