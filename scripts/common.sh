# Shared by the run and test commands: installs what is missing, builds a preset, and gives
# the Windows programs a virtual display of their own.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages that building and testing need (fresh Debian 12, run as root).
PACKAGES=(cmake make g++ googletest git python3 procps binutils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei
  nginx iproute2 clang locales librsvg2-bin icoutils)

# Wine takes the user's locale from LANG, and only from one that the C library has.
LOCALES=(en_US.UTF-8 ko_KR.UTF-8 ja_JP.UTF-8 zh_CN.UTF-8 fr_FR.UTF-8 ru_RU.UTF-8 it_IT.UTF-8 de_DE.UTF-8)

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run this command as root to install them." >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_locales() {
  local have missing=()
  have=$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
  for l in "${LOCALES[@]}"; do
    grep -qx "$(tr 'A-Z' 'a-z' <<<"${l/UTF-8/utf8}")" <<<"$have" || missing+=("$l")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "warning: locales ${missing[*]} are missing; the language tests need root to make them" >&2
    return 0
  fi
  for l in "${missing[@]}"; do
    grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >>/etc/locale.gen
  done
  locale-gen >/dev/null
}

# build_preset PRESET [TARGET...]
build_preset() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" ${1:+--target "$@"}
}

# Starts Xvfb on a free display and exports DISPLAY; stop_display ends it.
XVFB_PID=
start_display() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  export DISPLAY=":$n"
}
stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
}
