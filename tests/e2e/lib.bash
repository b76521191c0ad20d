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

e2e_start_services() {
  E2E_SERVICES="$E2E_DIR/services-$$"
  if [ -n "$E2E_TLS" ]; then
    e2e_in_ns env TAVRINO_TLS_CERT="$E2E_TLS_DIR/server.pem" TAVRINO_TLS_KEY="$E2E_TLS_DIR/server.key" \
      "$SOURCE_DIR/services/start.sh" "$E2E_PORT" "$E2E_SERVICES" "$@" >/dev/null
  else
    e2e_in_ns "$SOURCE_DIR/services/start.sh" "$E2E_PORT" "$E2E_SERVICES" "$@" >/dev/null
  fi
}
e2e_stop_services() {
  [ -n "$E2E_SERVICES" ] && e2e_in_ns "$SOURCE_DIR/services/stop.sh" "$E2E_SERVICES" >/dev/null 2>&1 || true
}

e2e_cleanup() {
  set +e
  [ -n "$E2E_APP_PID" ] && kill "$E2E_APP_PID" 2>/dev/null
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
}

# A display of the case's own (scripts/display.bash).
source "$SOURCE_DIR/scripts/display.bash"
e2e_start_display() {
  display_start 1024x768 || e2e_fail "no display for the case"
  E2E_XVFB=$DISPLAY_PID
}

# Starts the program; waits until its main window is mapped and answers (see e2e_wait_ready)
# and prints nothing.
e2e_start_app() {
  e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
  E2E_APP_PID=$!
  e2e_wait_window '^Tavrino$' 30 >/dev/null || { e2e_shot no_main_window >/dev/null; e2e_fail "the main window did not appear within 30 s"; }
  e2e_wait_ready Tavrino 30 || e2e_fail "the main window titled Tavrino did not answer the probe within 30 s"
}

# Waits up to $2 seconds until the main window titled $1 answers from its message loop: the
# probe reads its controls, the check boxes' states included, which the window's own thread
# tells. Then it takes clicks and keys.
e2e_wait_ready() {
  local title=$1 seconds=${2:-30} t=$SECONDS
  while [ $((SECONDS - t)) -lt "$seconds" ]; do
    e2e_ui "$title" | awk -F'|' '$2 == "TavrinoForm" { form = 1 } $6 == 0 || $6 == 1 { box = 1 }
      END { exit !(form && box) }' && return 0
    sleep 0.3
  done
  e2e_shot "not_ready_$(basename "$0" .sh)" >/dev/null
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
# Fields: top|class|text|visible|enabled|checked|rect. With no title: every visible window.
e2e_ui() { { e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" "$UIPROBE_EXE" "$@" 2>/dev/null || true; } | tr -d '\r'; }
# "text|visible|enabled|checked" of the first control whose window text is $1.
# (The filters of these pipelines read to the end, as one that left early could make the
# command before it fail with a broken pipe.)
e2e_control() { e2e_ui | awk -F'|' -v t="$1" '!f && $3 == t { print $3 "|" $4 "|" $5 "|" $6; f = 1 }'; }

e2e_main_window() { xdotool search --onlyvisible --name '^Tavrino$' 2>/dev/null | sed -n 1p; }

# Where the main window's client area starts inside its X window: Wine draws the frame itself
# (the prefix's windows are not managed), so the X window holds the frame too. The probe tells
# the window's rectangle in its own client coordinates; read once for each window.
E2E_ORIGIN_OF=
E2E_ORIGIN=(0 0)
e2e_client_origin() {
  local id=$1 rect
  [ "$E2E_ORIGIN_OF" = "$id" ] && return 0
  rect=$(e2e_ui Tavrino | awk -F'|' '!f && $1 != "" && $2 == "TavrinoForm" { print $7; f = 1 }')
  [ -n "$rect" ] || rect=$(e2e_ui | awk -F'|' '!f && $2 == "TavrinoForm" { print $7; f = 1 }')
  [ -n "$rect" ] || e2e_fail "the probe found no main window to take its client origin from"
  IFS=, read -r left top _ _ <<<"$rect"
  E2E_ORIGIN=($((-left)) $((-top)))
  E2E_ORIGIN_OF=$id
}

# Clicks at client coordinates of the main window.
e2e_click() {
  local id; id=$(e2e_main_window)
  [ -n "$id" ] || e2e_fail "no main window to click at $1,$2"
  e2e_client_origin "$id"
  xdotool mousemove --window "$id" $(($1 + E2E_ORIGIN[0])) $(($2 + E2E_ORIGIN[1])) click 1
  sleep 0.3
}

e2e_shot() {
  local file="$E2E_SHOTS/$1.png"
  import -window root "$file" 2>/dev/null
  echo "$file"
}

# One pixel of the main window's client area as rrggbb.
e2e_client_xy() {
  local id geo
  id=$(e2e_main_window)
  [ -n "$id" ] || e2e_fail "no main window to read pixels of"
  e2e_client_origin "$id"
  geo=$(xdotool getwindowgeometry --shell "$id")
  echo $(($(sed -n 's/^X=//p' <<<"$geo") + E2E_ORIGIN[0])) $(($(sed -n 's/^Y=//p' <<<"$geo") + E2E_ORIGIN[1]))
}
e2e_client_pixel() {
  local x y
  read -r x y < <(e2e_client_xy)
  e2e_pixel $((x + $1)) $((y + $2))
}

# How many of the client area's pixels in the box x,y,w,h are darker than mid grey.
e2e_dark_pixels() {
  local x y
  read -r x y < <(e2e_client_xy)
  import -window root -crop "$3x$4+$((x + $1))+$((y + $2))" -depth 8 txt:- 2>/dev/null |
    awk -F'[(),]' 'NR > 1 && ($2 + $3 + $4) < 3 * 128 { n++ } END { print n + 0 }'
}

# One pixel of the screen as rrggbb.
e2e_pixel() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -1 | grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'
}

# "TYPE DATA" of a registry value, read from outside the program; empty when it is absent.
e2e_reg() {
  { e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
    awk -v n="$2" 'tolower($1) == tolower(n) { print $2, $3 }'
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

# Yes (Enter) on the notice: the program must close (within 30 s). $1 is added to the
# failure's message.
e2e_accept_notice() {
  local rc=0
  xdotool key Return
  e2e_wait_exit 30 || rc=$?
  [ "$rc" -eq 0 ] || e2e_fail "Yes did not close the program (rc $rc${1:+, $1})"
  E2E_APP_PID=
}

# The braced GUID of the namespace's adapter eth0, as the management service reports it.
e2e_adapter_guid() {
  { e2e_in_ns_for 60 "$SOURCE_DIR/cmake/wine-exec.sh" wmic path Win32_NetworkAdapter get GUID,Name 2>/dev/null || true; } |
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

# Waits up to $1 seconds until the window is busy after Run: the choices are disabled (the
# run button has no caption then, and the indicator turns).
e2e_wait_busy() {
  local seconds=${1:-30} t=$SECONDS
  while [ $((SECONDS - t)) -lt "$seconds" ]; do
    [ "$(e2e_control TcpNoDelay | cut -d'|' -f3)" = 0 ] && return 0
    sleep 0.3
  done
  return 1
}

# Waits until the run button's caption is $1 (up to $2 seconds).
e2e_wait_caption() {
  local caption=$1 seconds=${2:-10}
  for _ in $(seq $((seconds * 2))); do
    [ -n "$(e2e_control "$caption")" ] && return 0
    sleep 0.5
  done
  return 1
}
