#!/bin/bash
# The real program's resident memory after every window has been opened once and closed again (target:
# under 40 MiB), and over further rounds of the same. Runs on a private X server with trayer as the tray,
# a private session bus and a throwaway home; windows are opened from the tray menu with the keyboard
# and closed with Ctrl+W, as a user would.
# Usage: window_memory.sh <path of the halvrick executable> [rounds]   (default 3)
set -u

program=$1
rounds=${2:-3}
target_kib=$((40 * 1024))
for tool in Xvfb trayer xdotool dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "window_memory: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    # The program first, and its session once it has gone: it writes its ledgers on the way out.
    if [ -n "${app:-}" ] && kill "$app" 2>/dev/null; then
        wait "$session" 2>/dev/null
    fi
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "window_memory: $*" >&2
    exit 1
}

wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ! "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)

mkdir -p "$work/home" "$work/config/Halvrick" "$work/run"
chmod 700 "$work/run"
# A returning user: the first-run window stays shut.
echo '{"hasCompletedFirstRun": true}' >"$work/config/Halvrick/defaults.json"
env -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP -u HALVRICK_DEBUG HOME="$work/home" \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_CACHE_HOME="$work/cache" \
    XDG_STATE_HOME="$work/state" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
    dbus-run-session -- "$program" >"$work/app.log" 2>&1 &
session=$!
pids+=($session)
# The session's child that runs the program (the other is its bus).
program_pid() {
    local pid executable
    executable=$(realpath "$program")
    for pid in $(pgrep -P "$session"); do
        [ "$(readlink "/proc/$pid/exe")" = "$executable" ] && echo "$pid" && return 0
    done
    return 1
}
wait_for 10 program_pid >/dev/null || fail "the program did not start"
app=$(program_pid)

# Tray-sized windows of the program, and the others, as "id x y w h" lines.
program_windows() {
    local id
    for id in $(xdotool search --onlyvisible --class halvrick 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
        echo "$id $X $Y $WIDTH $HEIGHT"
    done
}
icon() { program_windows | awk '$4 <= 64 && $5 <= 64 { print $2 + $4 / 2, $3 + $5 / 2; exit }'; }
no_other_window() { [ -z "$(program_windows | awk '$4 > 64 || $5 > 64')" ]; }
has_icon() { [ -n "$(icon)" ]; }
wait_for 20 has_icon || fail "no tray icon"
read -r icon_x icon_y <<<"$(icon)"

resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$app/status"; }
mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
shown() { [ -n "$(titled "$1")" ]; }
gone() { [ -z "$(titled "$1")" ]; }

# Opens the tray menu's row `downs` steps down, waits for the window of that title, closes it.
open_and_close() {
    local title=$1 downs=$2 i
    xdotool mousemove "$icon_x" "$icon_y" click 3
    sleep 0.5
    for ((i = 0; i < downs; ++i)); do
        xdotool key Down
    done
    xdotool key Return
    wait_for 10 shown "$title" || fail "$title did not open"
    sleep 2
    local window
    window=$(titled "$title")
    xdotool windowfocus "$window" 2>/dev/null
    xdotool key ctrl+w
    wait_for 10 gone "$title" || fail "$title did not close"
    sleep 1
}

# Rows of the menu as the arrow keys reach them (separators are skipped) and the windows' titles.
windows=("Roast card:2" "History & Trends:3" "Vitals:4" "Zurez Erazuri:6" "Halvrick Settings:7")
sleep 5
no_other_window || fail "a window is open at start"
start=$(resident)
[ -n "${SMAPS_TO:-}" ] && cp "/proc/$app/smaps" "$SMAPS_TO.0"
echo "at rest, no window opened yet: $(mib "$start") MiB"
for ((round = 1; round <= rounds; ++round)); do
    for entry in "${windows[@]}"; do
        open_and_close "${entry%%:*}" "${entry##*:}"
        [ "$round" -eq 1 ] && echo "  after ${entry%%:*} opened and closed: $(mib "$(resident)") MiB"
    done
    sleep 2
    now=$(resident)
    [ -n "${SMAPS_TO:-}" ] && cp "/proc/$app/smaps" "$SMAPS_TO.$round"
    verdict=PASS
    [ "$now" -lt "$target_kib" ] || verdict=OVER
    echo "round $round, every window opened and closed: $(mib "$now") MiB (+$(mib $((now - start))) MiB; target: under 40 MiB): $verdict"
done
