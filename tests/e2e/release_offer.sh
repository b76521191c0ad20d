#!/bin/bash
# The release loop: the release command builds a version newer than the program's (only the
# version changed; 1.5.10.0 for 1.5.6.0, newer by number, not by text); the services offer that
# release; the program's notice offers it and Yes opens its download address in the browser,
# where the exe and its SHA256SUMS are served. With a release of the program's own version
# the same run offers nothing. The notice itself (its language, what the check tells the
# service, No and Yes) is update_offer.sh's. The program opens only https downloads, so the
# loop needs the build's service over HTTPS (the shipped win32 build's).
source "$SOURCE_DIR/tests/e2e/lib.bash"
[ -n "$E2E_TLS" ] || { echo "skipped: the build's service ($E2E_API_BASE) is plain http, whose downloads the program does not open"; exit 77; }
e2e_setup adapter
work="$E2E_DIR/release-offer-$$"
mkdir -p "$work"
trap 'e2e_cleanup; rm -rf "$work"' EXIT

own=$(e2e_own_version)
IFS=. read -r v1 v2 v3 v4 <<<"$own"
newer="$v1.$v2.1${v3//?/0}.$v4"
TMPDIR="$work" TAVRINO_VERSION="$newer" bash "$SOURCE_DIR/scripts/release.sh" "$work/newer" >"$work/release.log" 2>&1 ||
  { cat "$work/release.log"; e2e_fail "the release command failed for $newer"; }
grep -q "\"version\":\"$newer\"" "$work/newer/release.json" || e2e_fail "release.json: $(cat "$work/newer/release.json")"
EXPECT_VERSION=$newer TAVRINO_EXE="$work/newer/Tavrino.exe" bash "$SOURCE_DIR/tests/binary/file_details.sh" >"$work/details.log" 2>&1 ||
  { cat "$work/details.log"; e2e_fail "the file details of the release are not those of $newer"; }
LC_ALL=C grep -aqF "name=\"Marvetic.Tavrino\" version=\"$newer\"" "$work/newer/Tavrino.exe" ||
  e2e_fail "the release's manifest does not carry $newer"
echo "ok: released $newer for the program's $own, its version resource and manifest say $newer: $(cat "$work/newer/SHA256SUMS")"

# The release of the program's own version: the exe under test with its checksums.
mkdir -p "$work/own"
cp "$TAVRINO_EXE" "$work/own/Tavrino.exe"
sha=$(sha256sum "$work/own/Tavrino.exe" | cut -d' ' -f1)
printf '%s  Tavrino.exe\n' "$sha" >"$work/own/SHA256SUMS"
printf '{"version":"%s","file":"Tavrino.exe","sha256":"%s","signed":false,"commit":"-"}\n' "$own" "$sha" >"$work/own/release.json"

# Wine's browser launcher is a script that logs the addresses it is given.
browsed="$work/browser.log"
: >"$browsed"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$browsed" >"$work/browser.sh"
chmod 755 "$work" "$work/browser.sh"
chmod 666 "$browsed"
e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null 2>&1 ||
  e2e_fail "could not set Wine's browser"

# The newer release: offered, and Yes opens its download address.
export TAVRINO_RELEASE_DIR="$work/newer"
e2e_start_services
e2e_hold_desktop
e2e_in_ns "$SOURCE_DIR/cmake/wine-exec.sh" "$TAVRINO_EXE" &
E2E_APP_PID=$!
e2e_wait_notice Yes No >/dev/null || { e2e_shot release_offer_none >/dev/null; e2e_fail "no notice offered $newer"; }
shot=$(e2e_shot release_offer_newer)
e2e_expect_glyphs "$shot" "the notice's No" $(e2e_control_inner_box No 3)
xdotool key Return
address="$E2E_API_BASE/download/Tavrino.exe"
for _ in $(seq 150); do [ -s "$browsed" ] && break; sleep 0.2; done
[ "$(cat "$browsed")" = "$address" ] || e2e_fail "Yes opened '$(cat "$browsed")' within 30 s, expected $address"
echo "ok: $own was offered $newer ($shot); Yes opened $address"

# What the address serves is the release, with its SHA256SUMS beside it.
mkdir "$work/fetched"
e2e_in_ns curl -sS --max-time 30 -o "$work/fetched/Tavrino.exe" "$address" || e2e_fail "could not download $address"
e2e_in_ns curl -sS --max-time 30 -o "$work/fetched/SHA256SUMS" "${address%/Tavrino.exe}/SHA256SUMS" ||
  e2e_fail "could not download the SHA256SUMS beside it"
(cd "$work/fetched" && sha256sum --quiet -c SHA256SUMS) || e2e_fail "the download does not match its SHA256SUMS"
cmp -s "$work/fetched/Tavrino.exe" "$work/newer/Tavrino.exe" || e2e_fail "the download is not the release's exe"
over=
[ -z "$E2E_TLS" ] || over=", over HTTPS with the namespace's authority"
echo "ok: $address and SHA256SUMS beside it are the release's$over"
e2e_in_ns wineserver -k 2>/dev/null || true
wait "$E2E_APP_PID" 2>/dev/null || true
E2E_APP_PID=

# The release of the program's own version: the check is answered, nothing is offered.
e2e_stop_services
rm -rf "$E2E_SERVICES"
export TAVRINO_RELEASE_DIR="$work/own"
e2e_start_services
: >"$browsed"
e2e_start_app
for _ in $(seq 60); do
  [ "$(e2e_requests "GET /api.init.php .* 200 version=\"${own//./\\.}\"")" -ge 1 ] && break
  sleep 0.5
done
[ "$(e2e_requests "GET /api.init.php .* 200 version=\"${own//./\\.}\"")" -ge 1 ] ||
  e2e_fail "the service saw no check of version $own"
sleep 5
ui=$(e2e_ui)
shot=$(e2e_shot release_offer_own)
e2e_expect_glyphs "$shot" "the Run caption" $(e2e_client_box 182 322 150 56)
! awk -F'|' '$3 == "Yes" || $3 == "No" { found = 1 } END { exit !found }' <<<"$ui" ||
  e2e_fail "a notice appeared for the program's own version"
[ -n "$(e2e_control Run)" ] || e2e_fail "the main window is gone"
[ ! -s "$browsed" ] || e2e_fail "an address was opened: $(cat "$browsed")"
echo "ok: with the release of its own version $own the check was answered and nothing was offered ($shot)"
