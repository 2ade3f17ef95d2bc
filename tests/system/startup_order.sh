#!/usr/bin/env bash
# Runs the real program on an X display (xvfb-run -a) as a user would: the splash comes
# first and stands for three seconds, then the tips window alone, then the main window;
# the settings dialog opens and closes; ending asks, shows the About box, and exits.
set -euo pipefail
program=$1

home=$(mktemp -d)
pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
unset QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }
now_ms() { date +%s%3N; }
# Waits up to $2 seconds for a window titled $1 to be mapped, and prints its id; or,
# as wait_gone, for none to be.
wait_for() {
    local id deadline=$(($(now_ms) + $2 * 1000))
    while (($(now_ms) < deadline)); do
        id=$(visible "$1")
        [[ -n $id && -z ${gone:-} ]] && echo "$id" && return 0
        [[ -z $id && -n ${gone:-} ]] && return 0
        sleep 0.02
    done
    return 1
}
wait_gone() { gone=1 wait_for "$@"; }
# Waits up to $2 seconds for window $1 to take the keys.
wait_focus() {
    local deadline=$(($(now_ms) + $2 * 1000))
    while (($(now_ms) < deadline)); do
        [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]] && return 0
        sleep 0.02
    done
    return 1
}
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

splash=$(wait_for '^Splash$' 10) || fail "no splash screen"
splash_seen=$(now_ms)
[[ -z $(visible "$main") && -z $(visible "$tips") ]] || fail "another window beside the splash"

tip=$(wait_for "$tips" 10) || fail "no tips window"
tips_seen=$(now_ms)
((tips_seen - splash_seen >= 2800)) || fail "splash stood only $((tips_seen - splash_seen)) ms"
# The X server takes the program's requests in the order made: a splash closed, or a main
# window shown, before the tips window came would be so now.
[[ -z $(visible '^Splash$') ]] || fail "the splash still stands beside the tips"
[[ -z $(visible "$main") ]] || fail "the main window shows while the tips window is open"

click "$tip" -13 -38 # the OK key, bottom right
form=$(wait_for "$main" 5) || fail "no main window after the tips"
wait_gone "$tips" 5 || fail "the tips window stays"

click "$form" -23 -43 # the settings button, bottom right
setup=$(wait_for '^Nastaven.+ Trackbinder$' 5) || fail "no settings dialog"
click "$setup" 197 -27 # "Zavřít", at the bottom
wait_gone '^Nastaven.+ Trackbinder$' 5 || fail "the settings dialog stays"

click "$form" 52 92 # "KONEC", top left
question=$(wait_for '^Potvrzen.+$' 5) || fail "no exit question"
wait_focus "$question" 5 || fail "the exit question does not take the keys"
xdotool key Return # Yes
about=$(wait_for '^O programu$' 5) || fail "no About box"
# Had the main window closed before the About box, it would be gone by the time the box shows.
[[ -n $(visible "$main") ]] || fail "the main window closed before the About box"
click "$about" 128 -16 # the tick, at the bottom

for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the About box"
wait "$pid" || fail "the program ended with status $?"
pid=
echo "start order and shut-down as expected"
