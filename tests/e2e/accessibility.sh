#!/bin/bash
# What a screen reader hears of the shipped program, read from another process through
# Microsoft Active Accessibility. Idle: Run has the focus, the header button of the page shown
# is pressed, the logo is a link, the tag line is plain text without its markup, a check box
# of the hidden page is invisible. Enter runs the focused Run while no service answers: Run
# and the busy indicator are named for the work going on, Run is unavailable and the
# indicator animated. Once the services answer: "Running", pressed and focused, and the
# indicator invisible.
source "$SOURCE_DIR/tests/e2e/lib.bash"
e2e_setup adapter
catalogue="$SOURCE_DIR/resources/Translate.txt"

# Every "what|line" of the table on standard input is a whole line of what was heard.
expect_heard() {
  local heard=$1 what line
  while IFS='|' read -r what line; do
    grep -qxF -- "$line" <<<"$heard" || e2e_fail "$what: no '$line' in what was heard: $(paste -sd';' <<<"$heard")"
  done
}
# Waits (up to $1 seconds) until every line that follows is heard; prints what was heard
# last. (The window changes in steps: the caption and the indicator are told apart.)
hear_until() {
  local seconds=$1 heard line all
  shift
  for _ in $(seq $((seconds * 2))); do
    heard=$(e2e_hear Tavrino)
    all=1
    for line in "$@"; do grep -qxF -- "$line" <<<"$heard" || all=0; done
    [ "$all" -eq 1 ] && break
    sleep 0.5
  done
  echo "$heard"
}

e2e_start_app
heard=$(hear_until 10 'Run|button|focusable,focused')
shot=$(e2e_shot accessibility_idle)
expect_heard "$heard" <<'TABLE'
Run, focused|Run|button|focusable,focused
Home, the page shown|Home|button|pressed,focusable
Config|Config|button|focusable
the logo|Marvetic|link|linked
the title|Tavrino|text|
a check box on the hidden page|TcpNoDelay|checkbox|checked,invisible
TABLE
# The tag line is one of the catalogue's English ones, read without its markup.
taglines=$(sed '1s/^\xEF\xBB\xBF//' "$catalogue" | tr -d '\r' | grep '^en=.*<B>' | sed 's/^en=//; s/<[^>]*>//g')
[ "$(wc -l <<<"$taglines")" -eq 3 ] || e2e_fail "the catalogue's English tag lines: $taglines"
tagline=$(awk -F'|' 'NR == FNR { t[$0] = 1; next } $2 == "text" && ($1 in t) { print $1 }' <(echo "$taglines") - <<<"$heard")
[ -n "$tagline" ] || e2e_fail "no tag line heard as plain text: $(paste -sd';' <<<"$heard")"
! grep -q '[<>]' <<<"$heard" || e2e_fail "markup heard: $(grep '[<>]' <<<"$heard")"
e2e_expect_glyphs "$shot" "the Run caption" $(e2e_client_box 182 322 150 56)
echo "ok: idle: Run focused, Home pressed, Config, the logo a link, the title, TcpNoDelay invisible, tag line '$tagline' ($shot)"

# Enter runs the focused Run; no service answers yet, so the window stays busy.
e2e_wait_foreground 30 || e2e_fail "the main window did not have the keyboard within 30 s"
xdotool key Return
busy='Restarting the network connection'
heard=$(hear_until 20 "$busy|button|unavailable,focusable" "$busy|animation|animated")
shot=$(e2e_shot_until accessibility_busy 10 e2e_indicator_is drawn)
expect_heard "$heard" <<TABLE
busy Run|$busy|button|unavailable,focusable
busy indicator|$busy|animation|animated
TABLE
dots=$(e2e_shot_dark "$shot" $(e2e_client_box 241 334 32 32))
[ "$dots" -gt 10 ] || e2e_fail "no busy indicator drawn in $shot ($dots dark pixels)"
echo "ok: busy: Run and the indicator named '$busy', Run unavailable, the indicator animated and drawn ($shot)"

e2e_start_services
heard=$(hear_until 30 'Running|button|pressed,focusable,focused' "$busy|animation|invisible")
shot=$(e2e_shot_until accessibility_running 10 e2e_indicator_is gone)
expect_heard "$heard" <<TABLE
Running, focused again|Running|button|pressed,focusable,focused
the indicator hidden|$busy|animation|invisible
TABLE
dots=$(e2e_shot_dark "$shot" $(e2e_client_box 241 334 32 32))
[ "$dots" -eq 0 ] || e2e_fail "the busy indicator is still drawn in $shot ($dots dark pixels)"
e2e_expect_glyphs "$shot" "the Running caption" $(e2e_client_box 182 322 150 56)
echo "ok: running: 'Running' pressed and focused, the indicator invisible and not drawn ($shot)"
