#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the installed program finds its
# help page and counter skins from there, started from an unrelated working directory.
# Usage: installed_copy_test.sh BUILD_DIR PROBE_PROGRAM
set -euo pipefail

build_dir=$1
probe=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
elsewhere=$work/elsewhere
mkdir -p "$elsewhere"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

data=$prefix/share/trackbinder
for file in bin/trackbinder share/trackbinder/index.htm share/applications/trackbinder.desktop \
    share/icons/hicolor/48x48/apps/trackbinder.png \
    share/icons/hicolor/256x256/apps/trackbinder.png; do
    [[ -f $prefix/$file ]] || fail "$file was not installed"
done
skins=("$data"/digits*.bmp)
[[ -f ${skins[0]} ]] || fail "no counter skin was installed"

# The lookup as the installed program does it: beside the program first, then the data folder.
cp "$probe" "$prefix/bin/"
mapfile -t found < <(cd "$elsewhere" && "$prefix/bin/$(basename "$probe")" index.htm \
    "$(basename "${skins[0]}")" no-such-file.bmp)
[[ ${found[0]} == "$data/index.htm" ]] || fail "help page found at '${found[0]}'"
[[ ${found[1]} == "${skins[0]}" ]] || fail "skin found at '${found[1]}'"
[[ -z ${found[2]} ]] || fail "a missing file was found at '${found[2]}'"

# The installed program itself, started from elsewhere, loads a skin from the data folder at
# start. It keeps running (its tips window waits for the user) until it is stopped here.
log=$work/log
(cd "$elsewhere" && QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="trackbinder.datafiles.debug=true" \
    timeout 6 "$prefix/bin/trackbinder" >"$log" 2>&1) || status=$?
[[ ${status:-0} == 124 ]] || { cat "$log" >&2; fail "the installed program ended with ${status:-0}"; }
grep -q "digits[1-4].bmp found at $data/digits[1-4].bmp" "$log" ||
    { cat "$log" >&2; fail "the installed program loaded no skin from $data"; }
echo "installed copy: help page and skins found under $prefix"
