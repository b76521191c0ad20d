# The end-to-end harness: the program as its build made it (the shipped 32-bit exe in the win32
# build, the x86_64 one in win64) under Wine, in a network namespace of its own whose one
# IPv4-only interface is the program's active adapter, with the reference services on the
# namespace's loopback at the service addresses that the build carries, driven by real X input
# (xdotool) and read from outside (reg query, the services' request log, screenshots).
#
# The shipped build talks HTTPS to the maker's host names: inside the namespace those names
# resolve to its loopback, where the services present a certificate from a test authority that
# the suite makes and that only that namespace trusts.
#
# Sourced by the case scripts; they call e2e_setup first. Needs root (ip netns).

set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${TAVRINO_EXE:?}" "${TAVRINO_API_BASE:?}" "${UIPROBE_EXE:?the window probe}"

E2E_DIR="$BUILD_DIR/e2e"
E2E_SHOTS="$E2E_DIR/screenshots"
# The services answer at the addresses compiled into the program: scheme, host, port.
E2E_API_BASE=$TAVRINO_API_BASE
E2E_LINK_BASE=${TAVRINO_LINK_BASE:-$TAVRINO_API_BASE}
e2e_base_host() { local h=${1#*://}; echo "${h%%[:/]*}"; }
e2e_base_port() {
  local h=${1#*://}
  h=${h%%/*}
  case $h in
    *:*) echo "${h##*:}" ;;
    *) [ "${1%%://*}" = https ] && echo 443 || echo 80 ;;
  esac
}
E2E_PORT=$(e2e_base_port "$E2E_API_BASE")
[ "$(e2e_base_port "$E2E_LINK_BASE")" = "$E2E_PORT" ] ||
  { echo "FAIL: the update service and the link host must share one port"; exit 1; }
E2E_TLS=
[ "${E2E_API_BASE%%://*}" = https ] && E2E_TLS=1
E2E_NS=
E2E_APP_PID=
E2E_XVFB=
E2E_SERVICES=
mkdir -p "$E2E_SHOTS"

e2e_log() { echo "$*"; }
e2e_fail() { echo "FAIL: $*"; exit 1; }

source "$SOURCE_DIR/scripts/netns.bash"

# A namespace of this case's own (see scripts/netns.bash): adapter | none.
e2e_make_ns() {
  netns_create "$1"
  E2E_NS=$NETNS
  local names
  names=$(printf '%s\n' "$(e2e_base_host "$E2E_API_BASE")" "$(e2e_base_host "$E2E_LINK_BASE")" |
    { grep -v '^[0-9.]*$' || true; } | sort -u | tr '\n' ' ')
  [ -z "$names" ] || netns_hosts $names
  if [ -n "$E2E_TLS" ]; then
    e2e_make_certificates
    netns_trust "$E2E_TLS_DIR/ca.pem"
  fi
}

e2e_in_ns() { ip netns exec "$E2E_NS" env WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY" LANG="${E2E_LANG:-en_US.UTF-8}" \
  LC_ALL="${E2E_LANG:-en_US.UTF-8}" "$@"; }
# The same, ended after $1 seconds: for the reads from outside, which must not hang a case.
e2e_in_ns_for() { local seconds=$1; shift; timeout "$seconds" ip netns exec "$E2E_NS" env WINEPREFIX="$WINEPREFIX" \
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$DISPLAY" LANG="${E2E_LANG:-en_US.UTF-8}" \
  LC_ALL="${E2E_LANG:-en_US.UTF-8}" "$@"; }

# The suite's certificate authority and the services' certificate for the program's host
# names, made once (openssl) and kept in the build tree; trusted only inside the namespaces.
E2E_TLS_DIR="$E2E_DIR/tls"
e2e_make_certificates() {
  local names ext
  names="$(e2e_base_host "$E2E_API_BASE") $(e2e_base_host "$E2E_LINK_BASE")"
  mkdir -p "$E2E_TLS_DIR"
  exec 8>"$E2E_TLS_DIR.lock"
  flock 8
  # Made again for other names, and a week before either certificate ends.
  if [ ! -s "$E2E_TLS_DIR/server.pem" ] || [ "$(cat "$E2E_TLS_DIR/names" 2>/dev/null)" != "$names" ] ||
    ! openssl x509 -checkend 604800 -noout -in "$E2E_TLS_DIR/ca.pem" >/dev/null 2>&1 ||
    ! openssl x509 -checkend 604800 -noout -in "$E2E_TLS_DIR/server.pem" >/dev/null 2>&1; then
    (
      cd "$E2E_TLS_DIR"
      rm -f ./*.pem ./*.key ./*.csr ./*.srl
      openssl req -x509 -newkey rsa:2048 -nodes -days 30 -keyout ca.key -out ca.pem \
        -subj "/CN=Tavrino test authority" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
      openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr \
        -subj "/CN=$(e2e_base_host "$E2E_API_BASE")"
      ext="subjectAltName=$(printf 'DNS:%s,' $names | sed 's/,$//')"
      printf '%s\nbasicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n' \
        "$ext" >server.ext
      openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 \
        -extfile server.ext -out server.pem
    ) >/dev/null 2>&1 || e2e_fail "openssl could not make the test certificates"
    echo "$names" >"$E2E_TLS_DIR/names"
  fi
  exec 8>&-
}

# The services answer the build's API host only; settings such as TAVRINO_TEST_ANSWER=1 (the
# answer file of a case) are passed as arguments.
e2e_start_services() {
  E2E_SERVICES="$E2E_DIR/services-$$"
  local host
  host=$(e2e_base_host "$E2E_API_BASE")
  if [ -n "$E2E_TLS" ]; then
    e2e_in_ns env TAVRINO_TLS_CERT="$E2E_TLS_DIR/server.pem" TAVRINO_TLS_KEY="$E2E_TLS_DIR/server.key" \
      TAVRINO_HOST="$host" "$@" "$SOURCE_DIR/services/start.sh" "$E2E_PORT" "$E2E_SERVICES" >/dev/null
  else
    e2e_in_ns env TAVRINO_HOST="$host" "$@" "$SOURCE_DIR/services/start.sh" "$E2E_PORT" "$E2E_SERVICES" >/dev/null
  fi
}
e2e_stop_services() {
  [ -n "$E2E_SERVICES" ] && e2e_in_ns "$SOURCE_DIR/services/stop.sh" "$E2E_SERVICES" >/dev/null 2>&1 || true
}

e2e_cleanup() {
  set +e
  [ -n "$E2E_APP_PID" ] && kill "$E2E_APP_PID" 2>/dev/null
  [ -n "$E2E_DESKTOP_PID" ] && kill "$E2E_DESKTOP_PID" 2>/dev/null
  [ -n "$E2E_NS" ] && e2e_in_ns wineserver -k 2>/dev/null
  e2e_stop_services
  netns_delete
  [ -n "$E2E_XVFB" ] && kill "$E2E_XVFB" 2>/dev/null
  # Only the screenshots are kept.
  [ -n "$E2E_SERVICES" ] && rm -rf "$E2E_SERVICES"
  [ -n "${WINEPREFIX:-}" ] && [ "$WINEPREFIX" != "$E2E_DIR/prefix-template" ] &&
    "$SOURCE_DIR/cmake/wine-prefix.sh" --drop "$WINEPREFIX"
  return 0
}

# How many requests of the services' log match an extended regular expression.
e2e_requests() { grep -cE "$1" "$E2E_SERVICES/logs/access.log" 2>/dev/null || true; }

# The logged requests for PATH came to the build's own address: over HTTPS to the maker's
# host name in the shipped build. Prints what was seen.
e2e_expect_service_address() {
  local path=$1 scheme host all right
  scheme=${E2E_API_BASE%%://*}
  host=$(e2e_base_host "$E2E_API_BASE")
  all=$(e2e_requests "\"GET $path[ ?]")
  right=$(e2e_requests "\"GET $path[ ?].* scheme=\"$scheme\" host=\"$host\"")
  [ "$all" -ge 1 ] && [ "$all" = "$right" ] ||
    e2e_fail "$right of $all requests for $path came over $scheme to $host"
  echo "$E2E_API_BASE$path"
}

# kind: adapter | none. Each case script gets a fresh prefix (a copy of one made once for the
# suite) and a display of its own.
e2e_setup() {
  [ "$(id -u)" -eq 0 ] || { echo "skipped: network namespaces need root"; exit 77; }
  trap e2e_cleanup EXIT
  # A case that is stopped (ctest's time limit, ^C) still cleans up after itself.
  trap 'exit 143' TERM
  trap 'exit 130' INT
  export WINEPREFIX="$E2E_DIR/prefix-$(basename "$0" .sh)"
  WINEPREFIX="$E2E_DIR/prefix-template" "$SOURCE_DIR/cmake/wine-prefix.sh" "$WINEPREFIX" ||
    e2e_fail "no prefix copy for the case"
  e2e_start_display
  e2e_make_ns "$1"
  # The desktop is held from here on, so that the case's Wine server stays up between the
  # programs a case runs (wmic, reg, the program): a program that starts while a server whose
  # last program has just ended is shutting down its desktop process gets that dying desktop.
  e2e_hold_desktop
}

# A display of the case's own (scripts/display.bash).
source "$SOURCE_DIR/scripts/display.bash"
e2e_start_display() {
  display_start 1024x768 || e2e_fail "no display for the case"
  E2E_XVFB=$DISPLAY_PID
}

# The desktop's shell, which opens the program's web addresses, held for the program: Wine
# starts its desktop process for the first program with a window, and that process registers
# with the shell's window list only a moment later (a person's desktop has long been there).
# The probe waits for it and then stays, keeping the desktop process and with it the case's Wine
# server; a case that ends its server (wineserver -k) ends the probe too, so each start asks
# again.
#
# A first start in a fresh prefix copy boots Wine's services, the 32-bit programs run through
# qemu, and the builds may be going on beside the suite. The start's waits end as soon as the
# thing is there, so their bound is generous.
E2E_START_BOUND=180
E2E_DESKTOP_PID=
# A probe that has not found the shell after this long is ended together with the case's Wine
# server (no program of the case runs yet), and the start begins again with a new server.
E2E_DESKTOP_LOOK=45
e2e_hold_desktop() {
  local out="$E2E_DIR/desktop-$$" began=$SECONDS tries=0 left
  if [ -n "$E2E_DESKTOP_PID" ] && kill -0 "$E2E_DESKTOP_PID" 2>/dev/null; then return 0; fi
  rm -f "$out" "$out.err"
  while left=$((E2E_START_BOUND - (SECONDS - began))) && [ "$left" -gt 0 ]; do
    tries=$((tries + 1))
    echo "probe $tries, $((SECONDS - began)) s after the first:" >>"$out.err"
    e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$UIPROBE_EXE" --desktop \
      $((left < E2E_DESKTOP_LOOK ? left : E2E_DESKTOP_LOOK)) >"$out" 2>>"$out.err" &
    E2E_DESKTOP_PID=$!
    # A probe that found the shell stays; its own bound ends one that did not, and this one
    # a probe that hangs in a call.
    while kill -0 "$E2E_DESKTOP_PID" 2>/dev/null && [ $((SECONDS - began)) -lt $((E2E_START_BOUND + 15)) ]; do
      if grep -q ready "$out" 2>/dev/null; then
        e2e_log "the desktop's shell was there after $((SECONDS - began)) s, probe $tries" >&2
        rm -f "$out" "$out.err"
        return 0
      fi
      sleep 0.2
    done
    # What was running in the case's namespace when this probe gave up, for the log.
    echo "the namespace's processes:" >>"$out.err"
    ps -o pid=,etimes=,stat=,args= -p "$(ip netns pids "$E2E_NS" | tr '\n' ',' | sed 's/,$//')" \
      >>"$out.err" 2>/dev/null || true
    kill "$E2E_DESKTOP_PID" 2>/dev/null || true
    wait "$E2E_DESKTOP_PID" 2>/dev/null || true
    e2e_in_ns_for 60 wineserver -k 2>/dev/null || true
  done
  E2E_DESKTOP_PID=
  sed 's/^/  /' "$out.err" 2>/dev/null || true
  rm -f "$out" "$out.err"
  e2e_fail "the desktop's shell was not there within $E2E_START_BOUND s ($tries probes)"
}

# Starts the program; waits until its main window is mapped and answers (see e2e_wait_ready)
# and prints nothing. Arguments NAME=VALUE are added to its environment.
e2e_start_app() {
  e2e_hold_desktop
  e2e_in_ns env "$@" "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  e2e_wait_window '^Tavrino$' "$E2E_START_BOUND" >/dev/null || { e2e_shot no_main_window >/dev/null; e2e_fail "the main window did not appear within $E2E_START_BOUND s"; }
  e2e_wait_ready Tavrino "$E2E_START_BOUND" || e2e_fail "the main window titled Tavrino did not answer the probe within $E2E_START_BOUND s"
  e2e_client_origin
}

# Waits up to $2 seconds until the main window titled $1 answers from its message loop: the
# probe reads its controls, the check boxes' states included, which the window's own thread
# tells. Then it takes clicks and keys.
e2e_wait_ready() {
  e2e_until "${2:-60}" e2e_is_ready "$1" && return 0
  e2e_shot "not_ready_$(basename "$0" .sh)" >/dev/null
  return 1
}
e2e_is_ready() {
  e2e_ui "$1" | awk -F'|' '$2 == "TavrinoForm" { form = 1 } $6 == 0 || $6 == 1 { box = 1 }
    END { exit !(form && box) }'
}

# Runs the command that follows every 0.3 s until it succeeds, for up to $1 seconds.
e2e_until() {
  local seconds=$1 t=$SECONDS
  shift
  while [ $((SECONDS - t)) -lt "$seconds" ]; do
    "$@" && return 0
    sleep 0.3
  done
  return 1
}

# The X window id of the first visible window whose title matches; waits up to $2 seconds.
e2e_wait_window() {
  local pattern=$1 seconds=${2:-10} id
  for _ in $(seq $((seconds * 5))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# The program's windows as the probe reads them from outside (see UiProbe_win.cpp).
# Fields: top|class|text|visible|enabled|checked|rect|screen position|foreground. With no
# title: every visible window.
# A probe that did not run to its end (Wine or the namespace failed it, or it crashed: an exit
# status other than 0, and 1 for "no such window") is asked again, twice at most, and what it
# wrote to stderr goes to the case's log. So is one that saw no window at all where every
# window was asked for: each case lists while the program's window is up, and a listing that
# lost it would make a check that something is not shown pass. (E2E_UI_MAY_BE_EMPTY=1: the
# program may show no window yet, as before its update notice.)
e2e_ui() {
  local out rc try err="$E2E_DIR/ui-$$.err"
  for try in 1 2 3; do
    rc=0
    out=$(e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" "$UIPROBE_EXE" "$@" 2>"$err") || rc=$?
    if [ "$rc" -gt 1 ]; then
      e2e_log "the window probe ended with status $rc (try $try): $(head -c 600 "$err" | tr '\r\n' '  ')" >&2
      out=
    elif [ "$rc" -eq 1 ] && [ $# -eq 0 ] && [ -z "${E2E_UI_MAY_BE_EMPTY:-}" ] && [ "$try" -lt 3 ]; then
      e2e_log "the window probe saw no window (try $try)" >&2
    else
      break
    fi
    sleep 1
  done
  rm -f "$err"
  [ -z "$out" ] || printf '%s\n' "$out" | tr -d '\r'
}
# "text|visible|enabled|checked" of the first control whose window text is $1.
# (The filters of these pipelines read to the end, as one that left early could make the
# command before it fail with a broken pipe.)
e2e_control() { e2e_ui | awk -F'|' -v t="$1" '!f && $3 == t { print $3 "|" $4 "|" $5 "|" $6; f = 1 }'; }

# Where the main window's client area lies on the screen, "x y", as the probe reads the window
# from Windows itself (no X window ids: Wine may replace the X window behind a window, and the
# frame that Wine draws itself is part of it, since the test prefixes manage their own
# windows). Read once for each start of the program.
E2E_ORIGIN_OF=
E2E_ORIGIN=
e2e_client_origin() {
  if [ -z "$E2E_ORIGIN" ] || [ "$E2E_ORIGIN_OF" != "${E2E_APP_PID:-}" ]; then
    E2E_ORIGIN=$(e2e_ui | awk -F'|' '!f && $2 == "TavrinoForm" { split($7, r, ","); split($8, s, ",");
      print s[1] - r[1], s[2] - r[2]; f = 1 }')
    [ -n "$E2E_ORIGIN" ] || e2e_fail "the probe found no main window to place its client area"
    E2E_ORIGIN_OF=${E2E_APP_PID:-}
  fi
}

# Clicks at client coordinates of the main window.
e2e_click() {
  local x y
  e2e_client_origin
  read -r x y <<<"$E2E_ORIGIN"
  xdotool mousemove $((x + $1)) $((y + $2)) click 1
  sleep 0.3
}

e2e_shot() {
  local file="$E2E_SHOTS/$1.png"
  import -window root "$file" 2>/dev/null
  echo "$file"
}

# One pixel of the main window's client area as rrggbb.
e2e_client_pixel() {
  local x y
  e2e_client_origin
  read -r x y <<<"$E2E_ORIGIN"
  e2e_pixel $((x + $1)) $((y + $2))
}

# One pixel of the screen as rrggbb.
e2e_pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'
}

# "TYPE DATA" of a registry value, read from outside the program; empty when reg says that it
# is absent. A reg that printed neither (it did not start, or ended early) is asked again, and
# after three tries the read fails with what reg printed, instead of passing for an absent value.
# reg runs in English, whatever language the case gives the program, so that its answer reads
# the same.
e2e_reg() {
  local out value
  for _ in 1 2 3; do
    out=$({ E2E_LANG=en_US.UTF-8 e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" reg query "$1" /v "$2" 2>&1 || true; } | tr -d '\r')
    value=$(awk -v n="$2" 'tolower($1) == tolower(n) { print $2, $3 }' <<<"$out")
    [ -n "$value" ] && { echo "$value"; return 0; }
    grep -qi 'unable to find' <<<"$out" && return 0
  done
  echo "(reg could not read it: $(tail -1 <<<"$out"))"
}
e2e_expect_reg() {
  local got; got=$(e2e_reg "$1" "$2")
  [ "$got" = "$3" ] || e2e_fail "$1 $2 is '$got', expected '$3'"
}

e2e_wait_exit() {
  local seconds=$1
  for _ in $(seq $((seconds * 10))); do
    kill -0 "$E2E_APP_PID" 2>/dev/null || { wait "$E2E_APP_PID"; return $?; }
    sleep 0.1
  done
  return 124
}

# Yes (Enter) on the notice: the program must close (within 60 s). $1 is added to the
# failure's message.
e2e_accept_notice() {
  local rc=0
  xdotool key Return
  e2e_wait_exit 60 || rc=$?
  [ "$rc" -eq 0 ] || e2e_fail "Yes did not close the program (rc $rc${1:+, $1})"
  E2E_APP_PID=
}

# The braced GUID of the namespace's adapter eth0, as the management service reports it.
# Often the case's first Wine start, so it has the start's bound.
e2e_adapter_guid() {
  { e2e_in_ns_for "$E2E_START_BOUND" "$SOURCE_DIR/cmake/wine-exec.sh" wmic path Win32_NetworkAdapter get GUID,Name 2>/dev/null || true; } |
    iconv -f utf-16 -t utf-8 2>/dev/null | tr -d '\r' | awk '!f && $2 == "eth0" { print $1; f = 1 }'
}

# Client positions of the controls a person clicks (the header and the pages sit 2 pixels
# below the accent strip).
E2E_BTN_HOME=(55 27)
E2E_BTN_CONFIG=(125 27)
E2E_BTN_START=(257 350)
E2E_CHK_ACK=(40 179)
E2E_CHK_DELACK=(266 179)
E2E_CHK_NODELAY=(40 211)
E2E_CHK_THROTTLE=(40 291)
E2E_CHK_RESPONSIVE=(266 291)

E2E_IFACE_KEY='HKLM\SYSTEM\CurrentControlSet\Services\Tcpip\Parameters\Interfaces'
E2E_MSMQ_KEY='HKLM\SOFTWARE\Microsoft\MSMQ\Parameters'
E2E_PROFILE_KEY='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Multimedia\SystemProfile'
E2E_STORE_KEY='HKCU\Software\Tavrino'

# Waits up to $1 seconds until the main window has the keyboard, so that keys go to it.
e2e_wait_foreground() { e2e_until "${1:-30}" e2e_has_keyboard; }
e2e_has_keyboard() { e2e_ui | awk -F'|' '$2 == "TavrinoForm" && $9 == 1 { f = 1 } END { exit !f }'; }

# Waits up to $1 seconds until the window is busy after Run: the choices are disabled (the
# run button has no caption then, and the indicator turns).
e2e_wait_busy() { e2e_until "${1:-30}" e2e_is_busy; }
e2e_is_busy() { [ "$(e2e_control TcpNoDelay | cut -d'|' -f3)" = 0 ]; }

# Waits until the run button's caption is $1 (up to $2 seconds).
e2e_wait_caption() { e2e_until "${2:-10}" e2e_shows "$1"; }
e2e_shows() { [ -n "$(e2e_control "$1")" ]; }

# What a screen reader hears of the main window: "name|role|states" per window below it, read
# through Microsoft Active Accessibility from another process (UiProbe_win.cpp --accessible;
# $1: the main window's title). The x86_64 probe reads the 32-bit program's objects as well,
# COM marshals them between the two processes. A probe that did not run to its end is asked
# again, as for the listings.
e2e_hear() { e2e_ui --accessible "$@"; }

# The screen box "x y w h" of the first window whose text is $1, as the probe places it;
# e2e_box_of reads it from a listing of e2e_ui on its input.
e2e_control_box() { e2e_ui | e2e_box_of "$1"; }
e2e_box_of() {
  awk -F'|' -v t="$1" '!f && $3 == t { split($7, r, ","); split($8, s, ","); print s[1], s[2], r[3], r[4]; f = 1 }'
}

# Waits (up to $3 seconds, default 30) until a notice with the buttons $1 and $2 is shown and
# has the keyboard (keys pressed before would go to the main window); prints the windows then
# seen, as e2e_ui prints them.
e2e_wait_notice() {
  local yes=$1 no=$2 seconds=${3:-30} ui t=$SECONDS
  while [ $((SECONDS - t)) -lt "$seconds" ]; do
    ui=$(E2E_UI_MAY_BE_EMPTY=1 e2e_ui)
    if awk -F'|' -v y="$yes" -v n="$no" '$3 == y && $9 == 1 { a = 1 } $3 == n { b = 1 } END { exit !(a && b) }' <<<"$ui"; then
      echo "$ui"
      return 0
    fi
    sleep 0.5
  done
  return 1
}

# Clicks the middle of the first window whose text is $1 (in any of the program's windows).
e2e_click_control() {
  local box
  box=$(e2e_control_box "$1")
  [ -n "$box" ] || e2e_fail "no window '$1' to click"
  read -r x y w h <<<"$box"
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.3
}

# Screenshots read back: each case checks in the file it saved what the shot was taken to
# show. A box is "x y w h" on the screen; e2e_client_box turns one of the main window's client
# area into it.
e2e_client_box() {
  local x y
  e2e_client_origin
  read -r x y <<<"$E2E_ORIGIN"
  echo $((x + $1)) $((y + $2)) "$3" "$4"
}
# The pixels of a box of the screenshot FILE, as ImageMagick's text lines.
e2e_shot_pixels() { convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- 2>/dev/null; }
# One pixel of FILE as rrggbb.
e2e_shot_pixel() { e2e_shot_pixels "$1" "$2" "$3" 1 1 | tail -1 | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'; }
# How many pixels of the box are darker than mid grey.
e2e_shot_dark() {
  e2e_shot_pixels "$@" | awk -F'[(),]' 'NR > 1 && ($3 + $4 + $5) < 3 * 128 { n++ } END { print n + 0 }'
}
# "RUNS DISTINCT INK" of the text drawn in a box: ink is what differs clearly from the box's
# top-left pixel (its background); the ink's columns fall into runs, one per character or
# stroke group, and DISTINCT counts the runs that differ from one another. A font without the
# script's glyphs draws every character as the same hollow box: one distinct run however
# many characters there are; real glyphs give as many as they differ.
e2e_shot_glyphs() {
  e2e_shot_pixels "$@" | awk -F'[,:() ]+' '
    /^#/ { next }
    { x = $1; y = $2; if (x > W) W = x; if (y > H) H = y; r[x, y] = $3; g[x, y] = $4; b[x, y] = $5 }
    function abs(v) { return v < 0 ? -v : v }
    END {
      for (y = 0; y <= H; y++) for (x = 0; x <= W; x++) {
        on = abs(r[x, y] - r[0, 0]) + abs(g[x, y] - g[0, 0]) + abs(b[x, y] - b[0, 0]) > 150
        ink[x, y] = on; col[x] += on; total += on
      }
      start = -1
      for (x = 0; x <= W + 1; x++) {
        if (x <= W && col[x] > 0) { if (start < 0) start = x; continue }
        if (start < 0) continue
        sig = ""
        for (y = 0; y <= H; y++) { for (c = start; c < x; c++) sig = sig ink[c, y]; sig = sig "/" }
        runs++
        if (!(sig in seen)) { seen[sig] = 1; distinct++ }
        start = -1
      }
      print runs + 0, distinct + 0, total + 0
    }'
}
# Fails unless the box of FILE shows a text of several different characters drawn as glyphs
# (not empty, not the same box for each character). $2 names the text in the message.
e2e_expect_glyphs() {
  local file=$1 what=$2 runs distinct ink
  shift 2
  [ $# -eq 4 ] || e2e_fail "no box on the screen for $what in $file"
  read -r runs distinct ink < <(e2e_shot_glyphs "$file" "$@")
  [ "$distinct" -ge 2 ] ||
    e2e_fail "$what in $file is not drawn with glyphs: $runs ink runs, $distinct distinct, $ink pixels of ink (box $*)"
}
# The check box whose click point (E2E_CHK_*) is $2,$3 as drawn in the screenshot FILE:
# "TICK DARK INK": pixels of ink inside its square (the tick), dark pixels of its caption
# (none when the box is disabled: greyed), and the caption's pixels of ink of any colour.
e2e_shot_check_box() {
  local caption
  caption=$(e2e_client_box $(($2 + 10)) $(($3 - 7)) 90 14)
  echo "$(e2e_shot_glyphs "$1" $(e2e_client_box $(($2 - 6)) $(($3 - 4)) 9 9) | cut -d' ' -f3)" \
    "$(e2e_shot_dark "$1" $caption)" "$(e2e_shot_glyphs "$1" $caption | cut -d' ' -f3)"
}
# Fails unless FILE shows the check box at $2,$3 as $4: checked or unchecked, and enabled
# or disabled ("checked,enabled", "checked,disabled", ...). $5 names it in the message.
e2e_expect_shot_check_box() {
  local tick dark ink got
  read -r tick dark ink < <(e2e_shot_check_box "$1" "$2" "$3")
  [ "$tick" -gt 4 ] && got=checked || got=unchecked
  if [ "$dark" -gt 20 ]; then got+=,enabled; elif [ "$ink" -gt 5 ]; then got+=,disabled; else got+=,nothing; fi
  [ "$got" = "$4" ] || e2e_fail "$5 is drawn $got in $1, not $4 (tick $tick, caption $dark dark of $ink)"
}
# The screen box of the first window whose text is $1, less $2 pixels on each side.
e2e_control_inner_box() {
  local box
  box=$(e2e_control_box "$1")
  [ -n "$box" ] || e2e_fail "no window '$1' on the screen"
  read -r x y w h <<<"$box"
  echo $((x + $2)) $((y + $2)) $((w - 2 * $2)) $((h - 2 * $2))
}
# The version the build gives the program (the release command's TAVRINO_VERSION).
e2e_own_version() {
  local own
  own=$(sed -n 's/^TAVRINO_VERSION:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
  echo "${own:-1.5.6.0}"
}
# Takes the screenshot $1, again every half second for up to $2 seconds until the command
# that follows succeeds with the file as its last argument (a window repaints a moment after
# its state changes); prints the file. The case then checks the file itself.
e2e_shot_until() {
  local name=$1 seconds=$2 file
  shift 2
  for _ in $(seq $((seconds * 2))); do
    file=$(e2e_shot "$name")
    "$@" "$file" && break
    sleep 0.5
  done
  echo "$file"
}
# Succeeds when FILE shows the busy indicator over the run button ($1: drawn | gone).
e2e_indicator_is() {
  local dots
  dots=$(e2e_shot_dark "$2" $(e2e_client_box 241 334 32 32))
  if [ "$1" = drawn ]; then [ "$dots" -gt 10 ]; else [ "$dots" -eq 0 ]; fi
}
