# Shared by the run and test commands: installs what is missing, builds a preset, and gives
# the Windows programs a virtual display of their own.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages that building and testing need (fresh Debian 12, run as root).
PACKAGES=(cmake make g++ googletest git python3 procps binutils
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xauth xdotool x11-utils imagemagick fonts-wqy-microhei
  nginx iproute2 clang locales openssl librsvg2-bin icoutils zopfli osslsigncode curl)

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

# The shipped exe is a 32-bit program. These machines run no 32-bit x86 code themselves, so it
# runs as a 32-bit process under 64-bit Wine through qemu's user-mode emulator: qemu-user-static
# from bookworm-backports (bookworm's own 7.2 takes about a minute for every 32-bit Wine start),
# registered with binfmt_misc for 32-bit x86 ELF programs, and Wine's 32-bit loader (wine32:i386
# at exactly the installed wine64 version).
QEMU_MIN_MAJOR=8
I386_ELF_MAGIC='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
I386_ELF_MASK='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

ensure_wine32() {
  local need_root=() wine_version qemu_version
  qemu_version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
  qemu_version=${qemu_version#*:}
  [ -n "$qemu_version" ] && [ "${qemu_version%%.*}" -ge "$QEMU_MIN_MAJOR" ] || need_root+=(qemu)
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' || need_root+=(wine32)
  dpkg-query -W -f='${Status}' libgnutls30:i386 2>/dev/null | grep -q 'install ok installed' || need_root+=(wine32)
  grep -q '^interpreter /usr/bin/qemu-i386$' /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null &&
    grep -q '^enabled$' /proc/sys/fs/binfmt_misc/qemu-i386 || need_root+=(binfmt)
  [ ${#need_root[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "32-bit Wine is not set up (${need_root[*]}); run this command as root to set it up." >&2
    exit 1
  fi
  if [[ " ${need_root[*]} " == *" qemu "* ]]; then
    if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
      echo "Adding Debian's bookworm-backports to apt's sources (for qemu-user-static 10)"
      cat >/etc/apt/sources.list.d/debian-backports.sources <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    fi
    apt-get update -qq
    echo "Installing qemu-user-static from bookworm-backports"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      -t bookworm-backports qemu-user-static >/dev/null
  fi
  if [[ " ${need_root[*]} " == *" wine32 "* ]]; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      echo "Adding the i386 architecture to dpkg (for Wine's 32-bit loader)"
      dpkg --add-architecture i386
    fi
    apt-get update -qq
    wine_version=$(dpkg-query -W -f='${Version}' wine64)
    echo "Installing wine32:i386 $wine_version (apt upgrades some amd64 libraries to match)"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "wine32:i386=$wine_version" "libwine:i386=$wine_version" libgnutls30:i386 >/dev/null
  fi
  local binfmt=/proc/sys/fs/binfmt_misc
  if [ ! -e "$binfmt/register" ]; then
    echo "Mounting binfmt_misc on $binfmt"
    mount -t binfmt_misc binfmt_misc "$binfmt"
  fi
  if ! grep -q '^interpreter /usr/bin/qemu-i386$' "$binfmt/qemu-i386" 2>/dev/null ||
    ! grep -q '^enabled$' "$binfmt/qemu-i386"; then
    echo "Registering qemu-i386 with binfmt_misc for 32-bit x86 ELF programs"
    # An older entry goes first: with flag F it keeps its interpreter open.
    [ -e "$binfmt/qemu-i386" ] && echo -1 >"$binfmt/qemu-i386"
    printf '%s' ":qemu-i386:M::$I386_ELF_MAGIC:$I386_ELF_MASK:/usr/bin/qemu-i386:F" >"$binfmt/register"
  fi
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

source "$TOP/scripts/display.bash"
# The display of the run and test commands.
start_display() { display_start 1280x1024; }
stop_display() { display_stop; }
