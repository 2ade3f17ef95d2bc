#!/usr/bin/env bash
# Runs the real program with Qt's screen reader bridge on a private AT-SPI bus (inside
# dbus-run-session, on an X display from xvfb-run) and lets press_settings_by_reader.py and
# read_playlist_by_reader.py work it as a screen reader would. Everything it starts is ended by its own id.
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3

launcher=
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher \
    /usr/lib/at-spi2/at-spi-bus-launcher; do
    [[ -x $candidate ]] && launcher=$candidate && break
done
if [[ -z $launcher ]] || ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: at-spi-bus-launcher or python3-pyatspi is missing"
    exit 77
fi

home=$(mktemp -d)
bus_group= pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
    # The bus launcher leads its own process group: its bus and registry go with it.
    [[ -n $bus_group ]] && kill -- "-$bus_group" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
export XDG_RUNTIME_DIR=$home/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The window shows the home folder on its first start: these are the MP3s it lists (silent
# files long enough to hold a tag: the window reads one from the file it points at).
mp3s=(alfa.mp3 beta.mp3 příliš.mp3)
for name in "${mp3s[@]}"; do head -c 4096 /dev/zero >"$home/$name"; done
unset QT_QPA_PLATFORM

setsid "$launcher" --launch-immediately &
bus_group=$!
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
# The program finds no reader unless the accessibility bus answers when it starts.
bus_up() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress >/dev/null 2>&1
}
# Nor does it wait for a display that does not answer yet, as on a loaded machine.
display_up() { xdotool getdisplaygeometry >/dev/null 2>&1; }
for _ in $(seq 400); do bus_up && display_up && break; sleep 0.05; done
bus_up || { echo "the accessibility bus did not come up" >&2; exit 1; }
display_up || { echo "the display $DISPLAY does not answer" >&2; exit 1; }
"$program" &
pid=$!

timeout --kill-after=5 90 "$python" "$here/press_settings_by_reader.py"
timeout --kill-after=5 90 "$python" "$here/read_playlist_by_reader.py" "${mp3s[@]}"
