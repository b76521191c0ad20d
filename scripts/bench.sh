#!/bin/bash
# The benchmark (not a test): Tavrino against a bare Win32 program built with the same
# toolchain that opens an empty window of the same size, every figure measured in this run
# and printed beside its baseline in one table.
#
#   bash scripts/bench.sh [RUNS]        (RUNS starts of each program per timing, default 5)
#
# - start to first painted main window under Wine (median), in a network namespace with
#   loopback only: discovery finds no adapter and nothing answers on the service port;
# - where that time goes: the same starts of builds configured with TAVRINO_STARTUP_TRACE
#   (Tavrino's and the bare program's), which note when each start-up step ended;
# - the start of the shipped i686 exe beside the bare program built for i686, both as 32-bit
#   processes under Wine (through qemu), loopback only;
# - the same in a namespace with one IPv4 adapter and the reference services on its loopback:
#   adapter discovery finds it and the update check can reach the service;
# - stripped size of the shipped i686 Tavrino.exe and of the bare program built for i686;
# - context switches (wake-ups) and CPU time over ten seconds of the idle window, and of
#   Tavrino's window while busy (after Run, with an internet that never answers);
# - peak memory (resident, as Linux counts the Wine process) of the program process.
# The x86_64 Tavrino.exe measured is the win64 build stripped, as the bare program and the
# shipped exe are: its debug information would be read into memory with the image.
#
# Needs root (network namespaces). Builds the win64 and win32 presets and the traced win64
# build when needed (BENCH_WIN64_DIR, BENCH_WIN32_DIR, BENCH_TRACE_DIR: other build
# directories); works under BENCH_DIR (default build/bench).
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$TOP"

runs=${1:-5}
[ "$(id -u)" -eq 0 ] || { echo "the benchmark needs root (network namespaces)" >&2; exit 1; }
ensure_packages
w64=${BENCH_WIN64_DIR:-build/win64}
w32=${BENCH_WIN32_DIR:-build/win32}
traced=${BENCH_TRACE_DIR:-build/bench-trace}
out=$(realpath -m "${BENCH_DIR:-build/bench}")
mkdir -p "$out/run"
rm -f "$out"/*.log

echo "building ..." >&2
cmake --preset win64 -B "$w64" >/dev/null && cmake --build "$w64" -j2 --target Tavrino >/dev/null
cmake --preset win32 -B "$w32" >/dev/null && cmake --build "$w32" -j2 --target Tavrino >/dev/null
cmake --preset win64 -B "$traced" -DTAVRINO_STARTUP_TRACE=ON >/dev/null &&
  cmake --build "$traced" -j2 --target Tavrino >/dev/null
# The bare program as the shipped one is built: -Os, unused sections dropped, static, stripped.
bare_flags=(-std=c++20 -Wall -Wextra -I. -Os -ffunction-sections -fdata-sections -Wl,--gc-sections
  -s -static -municode -mwindows -DUNICODE -D_UNICODE)
x86_64-w64-mingw32-g++-posix "${bare_flags[@]}" bench/Bare_win.cpp -o "$out/run/Bare.exe"
i686-w64-mingw32-g++-posix "${bare_flags[@]}" bench/Bare_win.cpp -o "$out/Bare-i686.exe"
x86_64-w64-mingw32-g++-posix "${bare_flags[@]}" -DTAVRINO_STARTUP_TRACE bench/Bare_win.cpp \
  toolkit/StartupTrace_win.cpp -o "$out/run/BareTraced.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -O2 -s -static -municode \
  bench/Launch_win.cpp -o "$out/Launch.exe" -lpsapi
x86_64-w64-mingw32-strip -o "$out/run/Tavrino.exe" "$w64/Tavrino.exe"
x86_64-w64-mingw32-strip -o "$out/run/TavrinoTraced.exe" "$traced/Tavrino.exe"
i686-w64-mingw32-strip -o "$out/Tavrino-i686.exe" "$w32/Tavrino.exe"
cp "$out/Tavrino-i686.exe" "$out/run/Tavrino32.exe"
cp "$out/Bare-i686.exe" "$out/run/Bare32.exe"

ns_plain="tavrino-bench-lo-$$"
ns_net="tavrino-bench-net-$$"
ns_peer="tavrino-bench-peer-$$"
services="$out/services"
rm -rf "$services"
cleanup() {
  set +e
  for ns in "$ns_plain" "$ns_net"; do
    ip netns exec "$ns" env WINEPREFIX="$out/prefix-$ns" wineserver -k 2>/dev/null
  done
  ip netns exec "$ns_net" "$TOP/services/stop.sh" "$services" >/dev/null 2>&1
  ip netns del "$ns_plain" 2>/dev/null
  ip netns del "$ns_net" 2>/dev/null
  ip netns del "$ns_peer" 2>/dev/null
  # The prefixes are overlay copies of the template: unmounted and removed, not left behind.
  for ns in "$ns_plain" "$ns_net"; do WINEPREFIX="$out/prefix-template" "$TOP/cmake/wine-prefix.sh" --drop "$out/prefix-$ns"; done
  stop_display
}
trap cleanup EXIT
start_display

for ns in "$ns_plain" "$ns_net"; do
  ip netns add "$ns"
  ip -n "$ns" link set lo up
  ip netns exec "$ns" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
done
ip netns add "$ns_peer"
ip link add "tbe$$" type veth peer name "tbp$$"
ip link set "tbe$$" netns "$ns_net"
ip link set "tbp$$" netns "$ns_peer"
ip -n "$ns_net" link set "tbe$$" name eth0
ip -n "$ns_net" addr add 192.168.78.2/24 dev eth0
ip -n "$ns_net" link set eth0 up
ip -n "$ns_peer" addr add 192.168.78.1/24 dev "tbp$$"
ip -n "$ns_peer" link set "tbp$$" up

# One prefix per namespace, copied from one made once, each with its server kept running so
# that no start pays for it.
win_path() { printf 'Z:%s' "${1//\//\\}"; }
trace_file=$(win_path "$out/trace.txt")
in_ns() {
  local ns=$1
  shift
  ip netns exec "$ns" env WINEPREFIX="$out/prefix-$ns" WINEDEBUG=-all TAVRINO_STARTUP_TRACE="$trace_file" \
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY" LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 "$@"
}
for ns in "$ns_plain" "$ns_net"; do
  WINEPREFIX="$out/prefix-template" "$TOP/cmake/wine-prefix.sh" "$out/prefix-$ns"
  in_ns "$ns" wineserver -p
done


# One start of program $2 in namespace $1 held for $3 seconds; the stopwatch's output goes to
# the file $4. Runs in the background when $5 is "bg".
launch() {
  local ns=$1 exe=$2 hold=$3 log=$4
  rm -f "$out/stop"
  in_ns "$ns" "$TOP/cmake/wine-exec.sh" "$out/Launch.exe" "$(win_path "$out/run/$exe")" "$(win_path "$out/stop")" \
    "$hold" >"$log" 2>/dev/null
}
painted_ms() { [ -f "$1" ] && tr -d '\r' <"$1" | sed -n 's/^painted_ms=//p'; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Median start-to-paint times of the programs $3... (default: both) in namespace $1, starts
# interleaved, after one warm-up start of each; $2 names the timing.
declare -A PAINT
time_starts() {
  local ns=$1 key=$2 exe log
  shift 2
  local exes=("$@")
  [ $# -gt 0 ] || exes=(Bare.exe Tavrino.exe)
  for exe in "${exes[@]}"; do launch "$ns" "$exe" 0 "$out/warm.log"; done
  for exe in "${exes[@]}"; do : >"$out/$key-$exe.times"; done
  for _ in $(seq "$runs"); do
    for exe in "${exes[@]}"; do
      log="$out/$key-$exe.log"
      launch "$ns" "$exe" 0 "$log"
      painted_ms "$log" >>"$out/$key-$exe.times"
    done
  done
  for exe in "${exes[@]}"; do PAINT[$key-$exe]=$(median <"$out/$key-$exe.times"); done
}

# Where the start-up time goes, in namespace $1: starts of the traced programs, each held a
# second so that it writes its notes; per step the median of the moments it ended (ms after
# the process was created), in the order of the steps. Writes $out/steps-EXE.
trace_starts() {
  local ns=$1 exe i
  for exe in BareTraced.exe TavrinoTraced.exe; do
    rm -f "$out/steps-$exe"*
    for i in $(seq 0 "$runs"); do  # the first is a warm-up
      rm -f "$out/trace.txt"
      launch "$ns" "$exe" 1 "$out/trace.log"
      [ "$i" -gt 0 ] && [ -f "$out/trace.txt" ] && tr -d '\r' <"$out/trace.txt" >"$out/steps-$exe.$i"
    done
    cat "$out/steps-$exe".* 2>/dev/null | awk '
      { step = substr($0, index($0, " ") + 1); if (!(step in seen)) { seen[step] = ++n; name[n] = step }
        v[step, ++count[step]] = $1 }
      END { for (i = 1; i <= n; i++) { s = name[i]; c = count[s]
              for (a = 1; a <= c; a++) x[a] = v[s, a]
              for (a = 1; a <= c; a++) for (b = a + 1; b <= c; b++) if (x[b] < x[a]) { t = x[a]; x[a] = x[b]; x[b] = t }
              m = c % 2 ? x[(c + 1) / 2] : (x[c / 2] + x[c / 2 + 1]) / 2
              printf "%.1f %s\n", m, s } }' >"$out/steps-$exe"
  done
}

# The Linux process of a program started by the stopwatch (its command line is the unique
# path of the copy under $out/run).
unix_pid() {
  local want p
  want=$(win_path "$out/run/$1")
  for p in /proc/[0-9]*; do
    if [ "$( (tr '\0' ' ' <"$p/cmdline") 2>/dev/null | sed 's/ *$//')" = "$want" ]; then
      echo "${p#/proc/}"
      return 0
    fi
  done
  return 1
}
# Context switches of every thread of process $1, and its CPU time in milliseconds.
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/ctxt_switches/ { s += $2 } END { print s + 0 }'; }
cpu_ms() { sed 's/.*) //' /proc/"$1"/stat | awk -v hz="$(getconf CLK_TCK)" '{ print int(($12 + $13) * 1000 / hz) }'; }

# Ten seconds of process $1: "wake-ups cpu-ms".
sample() {
  local pid=$1 s0 c0
  s0=$(switches "$pid")
  c0=$(cpu_ms "$pid")
  sleep 10
  echo "$(($(switches "$pid") - s0)) $(($(cpu_ms "$pid") - c0))"
}

# Ten seconds of the idle window and, for Tavrino, ten seconds of the busy one, in the
# namespace with the adapter. "answered": the services run while the window opens, so the
# update check ends at once; they are stopped before Run, so that the probe never answers and
# the window stays busy. "retrying": no service while the window opens, so the update check
# is still between its attempts during the idle sample.
declare -A IDLE BUSY PEAK
measure_running() {
  local exe=$1 mode=$2 log="$out/hold-$1-$2.log" pid id
  [ "$mode" = answered ] && ip netns exec "$ns_net" "$TOP/services/start.sh" 18080 "$services" >/dev/null
  launch "$ns_net" "$exe" 120 "$log" &
  local launcher=$!
  for _ in $(seq 300); do [ -n "$(painted_ms "$log")" ] && break; sleep 0.1; done
  pid=$(unix_pid "$exe") || { echo "no process for $exe" >&2; return 1; }
  sleep 2
  IDLE[$exe-$mode]=$(sample "$pid")
  [ "$mode" = answered ] && ip netns exec "$ns_net" "$TOP/services/stop.sh" "$services" >/dev/null
  if [ "$exe" = Tavrino.exe ] && [ "$mode" = answered ]; then
    id=$(xdotool search --onlyvisible --name '^Tavrino$' | sed -n 1p)
    xdotool mousemove --window "$id" 257 350 click 1
    sleep 2
    BUSY[$exe]=$(sample "$pid")
  fi
  PEAK[$exe-$mode]=$(awk '/VmHWM/ { print $2 }' /proc/"$pid"/status)
  touch "$out/stop"
  wait "$launcher" || true
  # The next start opens idle again.
  in_ns "$ns_net" "$TOP/cmake/wine-exec.sh" reg delete 'HKCU\Software\Tavrino' /v status /f >/dev/null 2>&1 || true
}

echo "timing starts (loopback only) ..." >&2
time_starts "$ns_plain" plain
echo "where the start-up time goes (loopback only) ..." >&2
trace_starts "$ns_plain"
echo "timing starts of the i686 programs, 32-bit under Wine (loopback only) ..." >&2
time_starts "$ns_plain" plain32 Bare32.exe Tavrino32.exe
echo "timing starts (adapter and services) ..." >&2
ip netns exec "$ns_net" "$TOP/services/start.sh" 18080 "$services" >/dev/null
time_starts "$ns_net" net
# Did Tavrino's update check reach the service?
requests=$(grep -c 'GET /api.init.php' "$services/logs/access.log" 2>/dev/null || true)
ip netns exec "$ns_net" "$TOP/services/stop.sh" "$services" >/dev/null
echo "idle and busy ..." >&2
measure_running Bare.exe answered
measure_running Tavrino.exe answered
measure_running Tavrino.exe retrying

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 == 0 || a == "-" || b == "-") print "-"; else printf "%.1f\n", a / b }'; }
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }
size_kib() { echo $(( $(stat -c %s "$1") / 1024 )); }
read -r bare_idle_wake bare_idle_cpu <<<"${IDLE[Bare.exe-answered]}"
read -r tav_idle_wake tav_idle_cpu <<<"${IDLE[Tavrino.exe-answered]}"
read -r tav_retry_wake tav_retry_cpu <<<"${IDLE[Tavrino.exe-retrying]}"
read -r tav_busy_wake tav_busy_cpu <<<"${BUSY[Tavrino.exe]}"

echo
echo "Tavrino $(git describe --always --dirty 2>/dev/null), $runs starts each, $(nproc) cores, Wine $(wine --version 2>/dev/null | sed 's/wine-//')"
echo
echo "| figure | Tavrino | bare program | ratio |"
echo "|---|---|---|---|"
row "start to first painted window, ms (median; no adapter, no service)" "${PAINT[plain-Tavrino.exe]}" "${PAINT[plain-Bare.exe]}"
row "the same with adapter discovery and the update service, ms" "${PAINT[net-Tavrino.exe]}" "${PAINT[net-Bare.exe]}"
row "start of the i686 exes as 32-bit processes, ms (no adapter, no service)" "${PAINT[plain32-Tavrino32.exe]}" "${PAINT[plain32-Bare32.exe]}"
printf '| update check requests that reached the service in %s starts | %s | - | - |\n' "$((runs + 1))" "${requests:-0}"
row "stripped size, i686, KiB" "$(size_kib "$out/Tavrino-i686.exe")" "$(size_kib "$out/Bare-i686.exe")"
row "idle window, 10 s: wake-ups (context switches)" "$tav_idle_wake" "$bare_idle_wake"
row "idle window, 10 s: CPU time, ms" "$tav_idle_cpu" "$bare_idle_cpu"
row "idle window while the update check waits to retry, 10 s: wake-ups" "$tav_retry_wake" "$bare_idle_wake"
row "idle window while the update check waits to retry, 10 s: CPU time, ms" "$tav_retry_cpu" "$bare_idle_cpu"
row "busy window (after Run), 10 s: wake-ups; baseline idle bare" "$tav_busy_wake" "$bare_idle_wake"
row "busy window (after Run), 10 s: CPU time, ms; baseline idle bare" "$tav_busy_cpu" "$bare_idle_cpu"
row "peak memory of the process (VmHWM), KiB, after idle and busy" "${PEAK[Tavrino.exe-answered]}" "${PEAK[Bare.exe-answered]}"

echo
echo "Where the start goes (x86_64, loopback only): when each step ended, ms after the process was"
echo "created, median of $runs traced starts; the first paint happens within showing the window."
echo
echo "| step | Tavrino: ends at | takes | bare program: ends at |"
echo "|---|---|---|---|"
awk 'NR == FNR { bare[substr($0, index($0, " ") + 1)] = $1; next }
     { step = substr($0, index($0, " ") + 1)
       name = step == "entry" ? "entry (the process made, the program and its DLLs loaded)" : step
       printf "| %s | %s | %.1f | %s |\n", name, $1, $1 - prev, (step in bare) ? bare[step] : "-"
       prev = $1 }' "$out/steps-BareTraced.exe" "$out/steps-TavrinoTraced.exe"
