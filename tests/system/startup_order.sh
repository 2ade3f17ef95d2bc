#!/usr/bin/env bash
# Runs the real program on an X display (xvfb-run -a) as a user would: the splash comes
# first and stands for three seconds, then the tips window alone, then the main window;
# ending asks, shows the About box, and exits.
set -euo pipefail
program=$1

home=$(mktemp -d)
pid=
cleanup() { [[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$home"; }
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
unset QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
now_ms() { date +%s%3N; }
# Runs the command after $1 until it succeeds, for up to $1 seconds.
within() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.02
    done
}
shown() { local id; id=$(visible "$1") && [[ -n $id ]] && echo "$id"; } # once it is mapped
gone() { [[ -z $(visible "$1") ]]; }
focused() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }
ended() { ! kill -0 "$pid" 2>/dev/null; }
# Clicks in window $1 at $2, $3, each counted from the right or bottom edge when
# negative, as large as the window stands now.
click() {
    local WINDOW X Y WIDTH HEIGHT SCREEN x=$2 y=$3
    eval "$(xdotool getwindowgeometry --shell "$1")"
    ((x < 0)) && x=$((WIDTH + x))
    ((y < 0)) && y=$((HEIGHT + y))
    xdotool mousemove --window "$1" "$x" "$y" click 1
}

main='^Trackbinder by Brivola 2000$'
tips='^V.+te .+e \.\.\.$'

"$program" &
pid=$!

splash=$(within 10 shown '^Splash$') || fail "no splash screen"
splash_seen=$(now_ms)
[[ -z $(visible "$main") && -z $(visible "$tips") ]] || fail "another window beside the splash"

tip=$(within 10 shown "$tips") || fail "no tips window"
tips_seen=$(now_ms)
((tips_seen - splash_seen >= 2800)) || fail "splash stood only $((tips_seen - splash_seen)) ms"
# The X server takes the program's requests in the order made: a splash closed, or a main
# window shown, before the tips window came would be so now.
[[ -z $(visible '^Splash$') ]] || fail "the splash still stands beside the tips"
[[ -z $(visible "$main") ]] || fail "the main window shows while the tips window is open"

click "$tip" -13 -38 # the OK key, bottom right
form=$(within 5 shown "$main") || fail "no main window after the tips"
within 5 gone "$tips" || fail "the tips window stays"

click "$form" 52 92 # "KONEC", top left
question=$(within 5 shown '^Potvrzen.+$') || fail "no exit question"
within 5 focused "$question" || fail "the exit question does not take the keys"
xdotool key Return # Yes
about=$(within 5 shown '^O programu$') || fail "no About box"
# Had the main window closed before the About box, it would be gone by the time the box shows.
[[ -n $(visible "$main") ]] || fail "the main window closed before the About box"
click "$about" 128 -16 # the tick, at the bottom

within 5 ended || fail "the program did not end after the About box"
wait "$pid" || fail "the program ended with status $?"
pid=
echo "start order and shut-down as expected"
