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
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

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
sleep 0.3
[[ -z $(visible '^Splash$') ]] || fail "the splash still stands beside the tips"
[[ -z $(visible "$main") ]] || fail "the main window shows while the tips window is open"

click "$tip" 348 111 # the OK key
form=$(wait_for "$main" 5) || fail "no main window after the tips"
wait_gone "$tips" 5 || fail "the tips window stays"
sleep 0.3

click "$form" 707 449 # the settings button
setup=$(wait_for '^Nastaven.+ Trackbinder$' 5) || fail "no settings dialog"
sleep 0.3
click "$setup" 197 168 # "Zavřít"
wait_gone '^Nastaven.+ Trackbinder$' 5 || fail "the settings dialog stays"

click "$form" 52 92 # "KONEC"
wait_for '^Potvrzen.+$' 5 >/dev/null || fail "no exit question"
sleep 0.3
xdotool key Return # Yes
about=$(wait_for '^O programu$' 5) || fail "no About box"
sleep 0.3
[[ -n $(visible "$main") ]] || fail "the main window closed before the About box"
click "$about" 128 286 # the tick

for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after the About box"
wait "$pid" || fail "the program ended with status $?"
pid=
echo "start order and shut-down as expected"
