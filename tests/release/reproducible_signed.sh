#!/bin/bash
# The release command twice on one commit: once from a fresh clone, unsigned, once from this
# checkout a while later in a build folder of another name length, signed with a throwaway
# code-signing certificate and time-stamped by a test time-stamp authority on loopback
# (tsa_server.py, openssl ts). The two exes are the same file once the signature is taken off;
# the PE time stamp is the commit's time and no build folder is in the file; the checksums
# and release.json describe the files written; the signature verifies against its authority
# (and not against another one), and the signed exe starts under Wine.
set -euo pipefail
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}"
work="$BUILD_DIR/release-test"
rm -rf "$work"
mkdir -p "$work/t" "$work/a-temporary-folder-with-a-longer-name"
fail() { echo "FAIL: $*"; exit 1; }
tsa_pid=
stop_tsa() { [ -z "$tsa_pid" ] || kill "$tsa_pid" 2>/dev/null || true; tsa_pid=; }
trap 'stop_tsa; rm -rf "$work"' EXIT

commit=$(git -C "$SOURCE_DIR" rev-parse HEAD)
epoch=$(git -C "$SOURCE_DIR" log -1 --format=%ct HEAD)

# The first release: a fresh clone, its default dist folder.
git clone -q "$SOURCE_DIR" "$work/clone"
start=$(date +%s)
TMPDIR="$work/t" bash "$work/clone/scripts/release.sh" >"$work/first.log" 2>&1 ||
  { cat "$work/first.log"; fail "the release command failed in a fresh clone"; }
first="$work/clone/dist"
grep -q '^Unsigned: TAVRINO_SIGN_CERT and TAVRINO_SIGN_KEY are not set$' "$work/first.log" ||
  { cat "$work/first.log"; fail "an unsigned release does not say so"; }
echo "ok: the release command ran in a fresh clone in $(($(date +%s) - start)) s: $(ls "$first" | tr '\n' ' ')"

# A throwaway certificate authority, a code-signing and a time-stamping certificate from it,
# and another authority that did not issue them.
# The signing key has a passphrase, which must never be on a command line: every process of
# the machine can read those. osslsigncode is reached through a wrapper that writes down the
# command lines it is given.
tls="$work/sign"
mkdir -p "$tls" "$work/bin"
passphrase="test passphrase $$"
cat >"$work/bin/osslsigncode" <<WRAP
#!/bin/bash
printf '%s\n' "\$*" >>"$work/osslsigncode-commands"
exec $(command -v osslsigncode) "\$@"
WRAP
chmod +x "$work/bin/osslsigncode"
(
  cd "$tls"
  for ca in ca other; do
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout $ca.key -out $ca.pem \
      -subj "/CN=Tavrino test $ca authority" \
      -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign"
  done
  openssl req -newkey rsa:2048 -keyout signer.key -passout "pass:$passphrase" -out signer.csr -subj "/O=Marvetic/CN=Marvetic test signer"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' >signer.ext
  openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile signer.ext -out signer.pem
  openssl req -newkey rsa:2048 -nodes -keyout tsa.key -out tsa.csr -subj "/CN=Tavrino test time-stamp authority"
  printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping\n' >tsa.ext
  openssl x509 -req -in tsa.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -extfile tsa.ext -out tsa.pem
  echo 01 >tsaserial
  cat >tsa.cnf <<CNF
[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = $tls/tsaserial
crypto_device = builtin
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
CNF
) >/dev/null 2>&1 || fail "openssl could not make the signing certificates"
python3 "$SOURCE_DIR/tests/release/tsa_server.py" "$tls/port" "$tls/tsa.cnf" "$tls/tsa.key" "$tls/tsa.pem" "$tls/ca.pem" \
  2>"$work/tsa.log" &
tsa_pid=$!
for _ in $(seq 50); do [ -s "$tls/port" ] && break; sleep 0.1; done
[ -s "$tls/port" ] || fail "the time-stamp authority did not start"
tsa_url="http://127.0.0.1:$(cat "$tls/port")"

# The second release: this checkout, later, another folder, signed.
second="$work/second dist"
PATH="$work/bin:$PATH" TMPDIR="$work/a-temporary-folder-with-a-longer-name" TAVRINO_SIGN_CERT="$tls/signer.pem" \
  TAVRINO_SIGN_KEY="$tls/signer.key" TAVRINO_SIGN_PASS="$passphrase" \
  TAVRINO_TIMESTAMP_URL="$tsa_url" bash "$SOURCE_DIR/scripts/release.sh" "$second" >"$work/second.log" 2>&1 ||
  { cat "$work/second.log"; cat "$work/tsa.log"; fail "the signed release failed"; }
grep -q '^sign ' "$work/osslsigncode-commands" || fail "the release did not sign through osslsigncode"
! grep -qF "$passphrase" "$work/osslsigncode-commands" || fail "the key's passphrase was on osslsigncode's command line"
grep -q "^Signed with subject=O = Marvetic, CN = Marvetic test signer, time-stamped by $tsa_url\$" "$work/second.log" ||
  { cat "$work/second.log"; fail "a signed release does not say who signed and time-stamped it"; }
grep -q '"POST / HTTP/1.[01]" 200' "$work/tsa.log" || { cat "$work/tsa.log"; fail "the time-stamp authority was not asked"; }
stop_tsa
echo "ok: the second release ran $(($(date +%s) - start)) s after the first began, signed with a key that has a passphrase (read by osslsigncode, not given on its command line) and time-stamped"

# Each release's checksums and facts describe its own files.
for d in "$first" "$second"; do
  (cd "$d" && sha256sum --quiet --strict -c SHA256SUMS) || fail "SHA256SUMS does not match $d/Tavrino.exe"
  [ "$(wc -l <"$d/SHA256SUMS")" -eq 1 ] || fail "SHA256SUMS lists more than the exe"
  sha=$(sha256sum "$d/Tavrino.exe" | cut -d' ' -f1)
  signed=false
  [ "$d" = "$second" ] && signed=true
  want="{\"version\":\"1.5.6.0\",\"file\":\"Tavrino.exe\",\"sha256\":\"$sha\",\"signed\":$signed,\"commit\":\"$commit\"}"
  [ "$(cat "$d/release.json")" = "$want" ] || fail "$d/release.json is $(cat "$d/release.json"), expected $want"
  python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$d/release.json" || fail "release.json is not JSON"
done
echo "ok: SHA256SUMS and release.json of both releases match their exe ($(cat "$first/release.json"))"

# The exe is the shipped one: i686, stripped, with the commit's time as its PE time stamp and
# no build folder inside.
read -r machine stamp symbols < <(python3 - "$first/Tavrino.exe" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
pe = struct.unpack_from('<I', d, 0x3c)[0]
machine, _, stamp, _, nsyms = struct.unpack_from('<HHIII', d, pe + 4)
print(hex(machine), stamp, nsyms)
PY
)
[ "$machine" = 0x14c ] || fail "the exe's machine is $machine, not i386"
[ "$stamp" = "$epoch" ] || fail "the PE time stamp is $stamp, the commit's time $epoch"
[ "$symbols" = 0 ] || fail "the exe carries $symbols symbols: it is not stripped"
for path in "$work" "$SOURCE_DIR" tavrino-release; do
  ! grep -qaF "$path" "$first/Tavrino.exe" || fail "the exe contains the build path $path"
done
echo "ok: i686, stripped, PE time stamp $stamp (the commit's time), no build folder in the file"

# Signed: verifies against its authority, not against another one; without the signature it
# is byte for byte the first release.
osslsigncode verify -CAfile "$tls/ca.pem" -TSA-CAfile "$tls/ca.pem" -in "$second/Tavrino.exe" >"$work/verify.log" 2>&1 ||
  { cat "$work/verify.log"; fail "the signature does not verify against its authority"; }
grep -q '^Timestamp Server Signature verification: ok' "$work/verify.log" ||
  { cat "$work/verify.log"; fail "the signature carries no time stamp of the test authority"; }
grep -q 'Signer.*Marvetic test signer' "$work/verify.log" || grep -q 'Subject: .*Marvetic test signer' "$work/verify.log" ||
  { cat "$work/verify.log"; fail "the signer is not the test certificate"; }
if osslsigncode verify -CAfile "$tls/other.pem" -TSA-CAfile "$tls/ca.pem" -in "$second/Tavrino.exe" >/dev/null 2>&1; then
  fail "the signature verifies against an authority that did not issue it"
fi
if osslsigncode verify -CAfile "$tls/ca.pem" -in "$first/Tavrino.exe" >/dev/null 2>&1; then
  fail "the unsigned release verifies as signed"
fi
osslsigncode remove-signature -in "$second/Tavrino.exe" -out "$work/unsigned.exe" >/dev/null
cmp "$first/Tavrino.exe" "$work/unsigned.exe" || fail "the two releases of one commit differ"
echo "ok: the second release verifies against its authority only, its time stamp too, and without its signature it is the first byte for byte ($(sha256sum "$first/Tavrino.exe" | cut -c1-16)...)"

# The signed exe starts under Wine: its main window appears (no network, no adapter).
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: running the signed exe needs root (network namespaces)"
  exit 77
fi
cp "$second/Tavrino.exe" "$work/Tavrino-signed.exe"
export TAVRINO_EXE="$work/Tavrino-signed.exe"
export TAVRINO_API_BASE=${TAVRINO_API_BASE:-https://api.tavrino.example}
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup none
trap 'e2e_cleanup; stop_tsa; rm -rf "$work"' EXIT
e2e_start_app
e2e_wait_caption Run 30 || { e2e_shot release_signed_no_run >/dev/null; e2e_ui | sed 's/^/  window: /'
  fail "the signed exe's window showed no Run button within 30 s"; }
echo "ok: the signed exe starts under Wine and shows its window ($(e2e_shot release_signed))"
