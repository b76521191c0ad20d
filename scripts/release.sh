#!/bin/bash
# The release command: builds the shipped Tavrino.exe (i686, MinSizeRel, the win32 preset) from
# the committed sources of HEAD in a fresh build tree, signs it when the maker gives a key, and
# writes DIST (default: dist/ of this checkout):
#
#   Tavrino.exe    the program
#   SHA256SUMS     its SHA-256, in the format of sha256sum (check with: sha256sum -c SHA256SUMS)
#   release.json   what the update service needs: {"version":..., "file":..., "sha256":...}
#
# Two runs on one commit give the same exe, wherever and whenever they run: the PE time stamp
# is the commit's time (SOURCE_DATE_EPOCH), the file carries no build folder.
#
# Environment:
#   TAVRINO_VERSION         the version to build (default: the one in CMakeLists.txt)
#   TAVRINO_SIGN_CERT       PEM certificate (chain) and key of the maker's code-signing
#   TAVRINO_SIGN_KEY        certificate: the exe is signed with Authenticode (osslsigncode)
#                           before its checksum is taken; without them it is unsigned.
#   TAVRINO_TIMESTAMP_URL   an RFC 3161 time-stamp service for the signature
#   TAVRINO_SIGN_PASS_FILE  a file that holds the key's passphrase, if it has one
#   TAVRINO_SIGN_PASS       or the passphrase itself. Either way osslsigncode reads it
#                           (-readpass), never from its command line, which every user of
#                           the machine can list.
#   TMPDIR                  where the build tree goes (removed at the end)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

[ $# -le 1 ] || { echo "usage: $0 [DIST]" >&2; exit 2; }
dist=$(realpath -m "${1:-$TOP/dist}")
cert=${TAVRINO_SIGN_CERT:-}
key=${TAVRINO_SIGN_KEY:-}
tsa=${TAVRINO_TIMESTAMP_URL:-}
if [ -n "$cert$key" ]; then
  [ -r "$cert" ] && [ -r "$key" ] ||
    { echo "TAVRINO_SIGN_CERT and TAVRINO_SIGN_KEY must both name readable PEM files" >&2; exit 2; }
  cert=$(realpath "$cert")
  key=$(realpath "$key")
elif [ -n "$tsa" ]; then
  echo "TAVRINO_TIMESTAMP_URL needs TAVRINO_SIGN_CERT and TAVRINO_SIGN_KEY" >&2
  exit 2
fi

ensure_packages
git -C "$TOP" rev-parse --verify -q HEAD >/dev/null || { echo "$TOP has no commit to release" >&2; exit 1; }
commit=$(git -C "$TOP" rev-parse HEAD)
if [ -n "$(git -C "$TOP" status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes in $TOP are not part of the release (it builds $commit)"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tavrino-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/src" "$work/dist"
git -C "$TOP" archive --format=tar "$commit" | tar -x -C "$work/src"

# The PE time stamp: ld takes it from SOURCE_DATE_EPOCH.
SOURCE_DATE_EPOCH=$(git -C "$TOP" log -1 --format=%ct "$commit")
export SOURCE_DATE_EPOCH
version_args=()
[ -n "${TAVRINO_VERSION:-}" ] && version_args=("-DTAVRINO_VERSION=$TAVRINO_VERSION")
echo "Building Tavrino.exe of $commit (commit time $SOURCE_DATE_EPOCH) in $work"
(
  cd "$work/src"
  cmake --preset win32 -DTAVRINO_TESTS=OFF "${version_args[@]}" >"$work/configure.log" 2>&1 ||
    { cat "$work/configure.log" >&2; exit 1; }
  cmake --build --preset win32 --target Tavrino >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; exit 1; }
)
version=$(sed -n 's/^TAVRINO_VERSION:STRING=//p' "$work/src/build/win32/CMakeCache.txt")
exe="$work/dist/Tavrino.exe"
cp "$work/src/build/win32/Tavrino.exe" "$exe"

signed=false
if [ -n "$cert" ]; then
  sign_args=(sign -certs "$cert" -key "$key" -h sha256 -n Tavrino)
  passphrase=
  if [ -n "${TAVRINO_SIGN_PASS_FILE:-}" ]; then
    [ -r "$TAVRINO_SIGN_PASS_FILE" ] || { echo "TAVRINO_SIGN_PASS_FILE must name a readable file" >&2; exit 2; }
    sign_args+=(-readpass "$(realpath "$TAVRINO_SIGN_PASS_FILE")")
  elif [ -n "${TAVRINO_SIGN_PASS:-}" ]; then
    sign_args+=(-readpass -)
    passphrase=$TAVRINO_SIGN_PASS
  fi
  [ -n "$tsa" ] && sign_args+=(-ts "$tsa")
  osslsigncode "${sign_args[@]}" -in "$exe" -out "$exe.signed" >"$work/sign.log" 2>&1 <<<"$passphrase" ||
    { cat "$work/sign.log" >&2; echo "signing failed" >&2; exit 1; }
  mv "$exe.signed" "$exe"
  signed=true
  echo "Signed with $(openssl x509 -in "$cert" -noout -subject)${tsa:+, time-stamped by $tsa}"
else
  echo "Unsigned: TAVRINO_SIGN_CERT and TAVRINO_SIGN_KEY are not set"
fi

sha=$(sha256sum "$exe" | cut -d' ' -f1)
printf '%s  Tavrino.exe\n' "$sha" >"$work/dist/SHA256SUMS"
printf '{"version":"%s","file":"Tavrino.exe","sha256":"%s","signed":%s,"commit":"%s"}\n' \
  "$version" "$sha" "$signed" "$commit" >"$work/dist/release.json"

mkdir -p "$dist"
rm -f "$dist/Tavrino.exe" "$dist/SHA256SUMS" "$dist/release.json"
cp "$work/dist/Tavrino.exe" "$work/dist/SHA256SUMS" "$work/dist/release.json" "$dist/"
echo "Tavrino $version: $dist/Tavrino.exe"
echo "sha256 $sha"
