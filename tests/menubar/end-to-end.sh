#!/bin/bash
# The real program on a real (virtual) desktop: Xvfb with trayer as the tray, a private session bus and a
# throwaway home. First expects a clear exit without any display server. Then waits for the tray icon and
# the first-run window, presses "Let's go" and expects the popover and the first run recorded; closes the
# popover, clicks the icon, expects the popover again, loads every core and expects the icon to leave the
# chill face, then ends the program with SIGTERM and expects it to have written stats.json on the way out.
# A second program lives a scripted day of input, a rest prompt, a break and a busy loop, and its ledger must
# book them as they happened. A third gets a reminder due at the next whole minute and must quit as quickly
# with its bubble up; last the X server is killed under a fourth program and the ledger must be saved all the
# same.
# Usage: end-to-end.sh <path of the halvrick executable>
set -u

program=$1
for tool in Xvfb trayer xdotool dbus-run-session python3 import md5sum nproc; do
    if ! command -v "$tool" >/dev/null; then
        echo "end-to-end: $tool is missing" >&2
        exit 1
    fi
done

work=$(mktemp -d)
pids=()
loads=()
cleanup() {
    # The program first: its dbus-run-session then ends the bus daemon it started.
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
    echo "end-to-end: $*" >&2
    if [ -f "$work/app.log" ]; then
        sed 's/^/  program: /' "$work/app.log" >&2
    fi
    exit 1
}

# Polls `condition` (a command) every 0.1 s for up to `seconds` of wall time, however long it takes to run.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ! "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Without a display server the program says in one line that it needs a graphical session and exits 1,
# never through SIGABRT: once with DISPLAY naming a server that is not there, once with no display at all.
nowhere=97
while [ -e "/tmp/.X11-unix/X$nowhere" ] || [ -e "/tmp/.X$nowhere-lock" ]; do
    nowhere=$((nowhere + 1))
done
mkdir -p "$work/nodisplay/home" "$work/nodisplay/run"
chmod 700 "$work/nodisplay/run"
for display in ":$nowhere" ""; do
    env -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE -u DISPLAY \
        ${display:+DISPLAY=$display} HOME="$work/nodisplay/home" XDG_RUNTIME_DIR="$work/nodisplay/run" \
        timeout 20 "$program" >"$work/nodisplay/out" 2>&1
    status=$?
    [ "$status" -eq 1 ] || fail "with DISPLAY '$display' and no server the program ended with $status, not 1"
    line='Halvrick needs a graphical session: no X11 or Wayland display could be reached.'
    [ "$(cat "$work/nodisplay/out")" = "$line" ] \
        || fail "with DISPLAY '$display' and no server the program said: $(cat "$work/nodisplay/out")"
done

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
wait_for 10 xdotool search --classname trayer >/dev/null 2>&1 || fail "trayer did not start"

mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
# HALVRICK_LOG: the program writes its state once a second, so the test knows when it is chill.
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb HALVRICK_LOG=1
# Without TZ the program and date(1) both read the system's zone, so a reminder's daily time means the same.
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME WAYLAND_DISPLAY XDG_SESSION_TYPE TZ
defaults="$HOME/.config/Halvrick/defaults.json"
# Starts the program on a private bus and sets `app` to its pid; the program replaces the shell, so the
# recorded pid is the program's. Usage: start_program <what the failure calls it> [display]
start_program() {
    rm -f "$work/app.pid"
    env ${2:+DISPLAY=$2} dbus-run-session -- sh -c 'echo $$ > "$1"; exec "$2"' sh "$work/app.pid" "$program" >"$work/app.log" 2>&1 &
    session=$!
    pids+=($session)
    wait_for 10 test -s "$work/app.pid" || fail "the program did not start$1"
    app=$(cat "$work/app.pid")
}

# The first visible window of the program whose geometry ($X $Y $WIDTH $HEIGHT) and name ($NAME) pass
# the test given; prints "<window> <x> <y> <width> <height>". Usage: program_window <test command>
program_window() {
    local w
    for w in $(xdotool search --onlyvisible --classname halvrick 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        NAME=$(xdotool getwindowname "$w" 2>/dev/null)
        if "$@"; then
            echo "$w $X $Y $WIDTH $HEIGHT"
            return 0
        fi
    done
    return 1
}

stats_decodes() {
    python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); assert isinstance(d.get("days"), dict)' "$stats"
}

start_program ""

# The tray icon: the program's 22-pixel window inside trayer.
is_icon() { [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ]; }
icon_window() { program_window is_icon; }
wait_for 20 icon_window >/dev/null || fail "no tray icon appeared"
read -r icon x y width height < <(icon_window)

# The popover: a window of the program 340 points wide, below the tray.
is_popover() { [ "$WIDTH" -ge 340 ] && [ "$WIDTH" -le 344 ] && [ "$Y" -ge "$height" ]; }
popover_shown() { program_window is_popover >/dev/null; }

# The home is new: the first-run window (titled "Halvrick", 620 px wide or more) is up at launch. Return
# presses its default button, "Let's go", which records the first run and opens the popover.
is_first_run() { [ "$NAME" = Halvrick ] && [ "$WIDTH" -ge 620 ]; }
first_run_window() {
    local found
    found=$(program_window is_first_run) || return 1
    echo "${found%% *}"
}
wait_for 10 first_run_window >/dev/null || fail "no first-run window appeared in a new home"
welcome=$(first_run_window)
popover_shown && fail "the popover was open before the first run was done"
first_run_recorded() {
    python3 -c 'import json, sys; sys.exit(0 if json.load(open(sys.argv[1])).get("hasCompletedFirstRun") is True else 1)' \
        "$defaults" 2>/dev/null
}
first_run_recorded && fail "the first run was recorded before it was done"
xdotool windowfocus --sync "$welcome" key Return
wait_for 10 popover_shown || fail "pressing Return in the first-run window opened no popover"
first_run_gone() { ! first_run_window >/dev/null; }
wait_for 10 first_run_gone || fail "the first-run window stayed up after \"Let's go\""
first_run_recorded || fail "the first run was not recorded in $defaults"
# A click on the icon closes the popover; the program ignores a click that reopens it within 300 ms.
xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 1
popover_hidden() { ! popover_shown; }
wait_for 10 popover_hidden || fail "clicking the tray icon did not close the popover"
sleep 0.5
popover_shown && fail "the popover was open before the click"
xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 1
wait_for 10 popover_shown || fail "clicking the tray icon opened no popover"

# The heat state in the newest log line.
current_state() {
    grep -o 'score [0-9]* · [A-Za-z]*' "$work/app.log" | tail -n1 | sed 's/.* //'
}
state_is() { [ "$(current_state)" = "$1" ]; }
state_is_not() { local s; s=$(current_state); [ -n "$s" ] && [ "$s" != "$1" ]; }
icon_pixels() { import -window "$icon" rgb:- 2>/dev/null | md5sum; }

# Every core busy: the pea must leave the chill face, on the icon too. A machine that is busy already
# cannot show that: the check is skipped (and said so) rather than passed.
heating_checked=no
if wait_for 30 state_is Chill; then
    chill=$(icon_pixels)
    for _ in $(seq "$(nproc)"); do
        sh -c 'while :; do :; done' &
        pids+=($!)
        loads+=($!)
    done
    wait_for 30 state_is_not Chill || fail "every core busy, but the state stayed chill"
    icon_changed() { [ "$(icon_pixels)" != "$chill" ]; }
    wait_for 10 icon_changed || fail "the state left chill ($(current_state)) but the icon did not change"
    kill "${loads[@]}" 2>/dev/null
    heating_checked=yes
else
    [ -n "$(current_state)" ] || fail "the program wrote no state line"
    echo "end-to-end: the machine never went idle (state $(current_state)): heating check skipped" >&2
fi

# Quitting must save the ledgers: remove what launch wrote and expect it back.
stats="$HOME/.local/share/Halvrick/stats.json"
rm -f "$stats"
kill -TERM "$app"
wait_for 10 sh -c "! kill -0 $app 2>/dev/null" || fail "the program did not quit on SIGTERM"
[ -f "$stats" ] || fail "stats.json was not written at quit"
stats_decodes || fail "stats.json does not decode"

# A scripted day on a one-minute rest interval, with the user played by xdotool. The program starts while
# nobody touches anything and must stay idle; then the pointer moves every half second, and the coach must
# go active at the first tick, and prompt a minute later in a bubble, whose "Let's rest" button is clicked;
# two minutes without input complete the break, and input after it wakes the coach at once; a busy loop runs
# meanwhile. The ledger written at quit must book what the script did, within a few seconds.
now() { date +%s.%N; }
# The bubble: a window of the program wider than the icon, with no popover open.
is_bubble() { [ "$WIDTH" -gt 64 ]; }
bubble_shown() { program_window is_bubble >/dev/null; }
rest_phase() { grep -o '· rest [A-Za-z]*' "$work/app.log" | tail -n1 | sed 's/.* //'; }
phase_is() { [ "$(rest_phase)" = "$1" ]; }
rest_event() { grep -q "REST: $1" "$work/app.log"; }
# The user at work: the pointer moves every half second until stop_typing.
start_typing() {
    touch "$work/typing"
    (
        i=0
        while [ -e "$work/typing" ]; do
            i=$((i + 1))
            xdotool mousemove $((300 + i % 2 * 50)) 500
            now >>"$work/typist.times"
            sleep 0.5
        done
    ) &
    typist=$!
    pids+=($typist)
}
stop_typing() {
    rm -f "$work/typing"
    wait "$typist" 2>/dev/null
}
# The answer buttons of a rest-prompt bubble are its lowest row with three wide frames; prints the bubble
# coordinates of the middle of the rightmost, "Let's rest". Usage: rest_button <window> <width> <height>
rest_button() {
    import -window "$1" -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
width, height = int(sys.argv[1]), int(sys.argv[2])
data = sys.stdin.buffer.read()
if len(data) != width * height * 3:
    sys.exit(1)
def pixel(x, y):
    i = (y * width + x) * 3
    return data[i:i + 3]
background = pixel(4, height // 2)
def frames(y):
    runs, start = [], None
    for x in range(2, width - 2):
        differs = max(abs(a - b) for a, b in zip(pixel(x, y), background)) > 40
        if differs and start is None:
            start = x
        elif not differs and start is not None:
            runs.append((start, x))
            start = None
    return [r for r in runs if r[1] - r[0] >= 30]
bottom = next((y for y in range(height - 3, 2, -1) if len(frames(y)) >= 3), None)
if bottom is None:
    sys.exit(1)
rows = [y for y in range(bottom - 60, bottom + 1) if len(frames(y)) >= 3]
left, right = frames(bottom)[-1]
print((left + right) // 2, (min(rows) + bottom) // 2 if min(rows) < bottom else bottom - 10)
' "$2" "$3"
}
hog_cpu() {
    python3 -c 'import os, sys
fields = open("/proc/%s/stat" % sys.argv[1]).read().rsplit(")", 1)[1].split()
print((int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"))' "$hog"
}
hog_ran() { python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) >= 6 else 1)' "$(hog_cpu)"; }

rm -f "$stats"
export HALVRICK_REST_MINUTES=1
start_program " for the scripted day"
unset HALVRICK_REST_MINUTES
wait_for 20 icon_window >/dev/null || fail "no tray icon appeared for the scripted day"
three_ticks() { [ "$(grep -c '· rest ' "$work/app.log")" -ge 3 ]; }
wait_for 20 three_ticks || fail "the program wrote no rest phase"
grep -o '· rest [A-Za-z]*' "$work/app.log" | grep -qv ' idle$' \
    && fail "nobody touched anything, yet the coach left idle"

typing_started=$(now)
start_typing
wait_for 5 phase_is active || fail "the pointer moved, but the coach stayed $(rest_phase)"
wait_for 90 rest_event promptShown || fail "a minute of input brought no rest prompt (the coach is $(rest_phase))"
stop_typing
wait_for 10 bubble_shown || fail "the rest prompt showed no bubble"
# The bubble may still be taking the prompt's size after a heads-up it showed before.
locate_rest_button() {
    local found
    found=$(program_window is_bubble) || return 1
    read -r bubble bx by bwidth bheight <<<"$found"
    button=$(rest_button "$bubble" "$bwidth" "$bheight") || return 1
    read -r px py <<<"$button"
}
wait_for 10 locate_rest_button || fail "the rest prompt bubble shows no answer buttons"
xdotool mousemove $((bx + px)) $((by + py)) click 1
rest_started=$(now)
wait_for 5 rest_event restStarted || fail "clicking \"Let's rest\" at $px,$py of the bubble started no break"
wait_for 150 rest_event breakCompleted \
    || fail "two minutes without input did not complete the break (the coach is $(rest_phase))"

awake=$(now)
start_typing
wait_for 5 rest_event wokeUpHappy || fail "input after the break did not wake the coach: it stayed $(rest_phase)"
phase_is active || fail "input after the break left the coach $(rest_phase)"
# Named for this run alone: the program books every process of that name on the machine.
hog_name="hog-$$"
cp "$(readlink -f /bin/sh)" "$work/$hog_name"
"$work/$hog_name" -c 'while :; do :; done' &
hog=$!
pids+=($hog)
wait_for 60 hog_ran || fail "the busy loop got no CPU time"
hog_seconds=$(hog_cpu)
kill "$hog"
stop_typing
typing_ended=$(now)
kill -TERM "$app"
wait_for 10 sh -c "! kill -0 $app 2>/dev/null" || fail "the program did not quit on SIGTERM after the scripted day"
[ -f "$stats" ] || fail "stats.json was not written at quit after the scripted day"
python3 -c 'import datetime, json, re, sys
days = json.load(open(sys.argv[1]))["days"].values()
started, rested, awake, ended, hog = map(float, sys.argv[2:7])
hog_name, log, typist = sys.argv[7:10]
windows = [(started, rested), (awake, ended)]
active = sum(b - a for a, b in windows)
# Ticks 10 s or more apart book nothing for the gap. A gap the typist saw too is the machine stopping every
# process, not the program; it is taken off what is due. One the typist ran through is a fault.
midnight = datetime.datetime.fromtimestamp(started).replace(hour=0, minute=0, second=0, microsecond=0).timestamp()
ticks = []
for line in open(log):
    m = re.match(r"\[(\d+):(\d+):([\d.]+)\] raw ", line)
    if m:
        t = midnight + int(m[1]) * 3600 + int(m[2]) * 60 + float(m[3])
        ticks.append(t + 86400 if t < started - 43200 else t)
typed = sorted(float(t) for t in open(typist))
for a, b in zip(ticks, ticks[1:]):
    inside = sum(max(0, min(b, y) - max(a, x)) for x, y in windows)
    if b - a < 10 or inside == 0:
        continue
    seen = [a] + [t for t in typed if a < t < b] + [b]
    if max(v - u for u, v in zip(seen, seen[1:])) < b - a - 3:
        print("end-to-end: the program did not tick for %.1f s while the typist ran" % (b - a))
        sys.exit(1)
    print("end-to-end: the machine stood still for %.1f s, which books nothing" % (b - a))
    active -= inside
booked = sum(day["activeSeconds"] for day in days)
prompts = sum(day["promptsShown"] for day in days)
breaks = sum(day["breaksTaken"] for day in days)
hog_booked = sum(a["cpuSeconds"] for day in days for a in day["apps"].values() if a["name"] == hog_name)
print("end-to-end: scripted day booked %.1f s active of %.1f s, %d prompts of 1, %d breaks of 1, "
      "%.1f s of the busy loop of %.1f s" % (booked, active, prompts, breaks, hog_booked, hog))
# A tick may pass before the coach sees input or the end; a sweep is 2 s, and the one after the loop ended
# cannot book what it did since the last.
sys.exit(0 if abs(booked - active) <= 4 and prompts == 1 and breaks == 1 and hog - 3 <= hog_booked <= hog + 1
         else 1)' "$stats" "$typing_started" "$rest_started" "$awake" "$typing_ended" "$hog_seconds" "$hog_name" \
    "$work/app.log" "$work/typist.times" || fail "the ledger does not book the scripted day"

# Quitting with a reminder bubble up is as quick, and saves as well. Daily times are exact to the minute: a
# reminder is due at the next whole minute that is at least 5 s away, so that the program has seen it before;
# a second one a minute later stands in should the program start too slowly for the first.
due=$(( ($(date +%s) + 5 + 59) / 60 * 60 ))
python3 -c 'import base64, json, sys
path, times = sys.argv[1], sys.argv[2:]
d = json.load(open(path))
reminders = [{"id": "6A1C2E4B-8D3F-4B7A-9C5E-1F2A3B4C5D6" + str(i), "text": "Stretch your legs",
              "schedule": {"daily": {"hour": int(t.split(":")[0]), "minute": int(t.split(":")[1])}}, "isEnabled": True}
             for i, t in enumerate(times)]
d["reminders"] = {"$data": base64.b64encode(json.dumps(reminders).encode()).decode()}
json.dump(d, open(path, "w"))' "$defaults" "$(date -d "@$due" +%-H:%-M)" "$(date -d "@$((due + 60))" +%-H:%-M)" \
    || fail "could not add the reminders to $defaults"
start_program " again"
reminded() { grep -q '^.*REMINDER: Stretch your legs$' "$work/app.log"; }
wait_for $((due + 60 - $(date +%s) + 15)) reminded \
    || fail "neither reminder, due at $(date -d "@$due" +%H:%M) and a minute later, came"
wait_for 10 bubble_shown || fail "the reminder showed no bubble"
rm -f "$stats"
kill -TERM "$app"
wait_for 5 sh -c "! kill -0 $app 2>/dev/null" || fail "with a reminder bubble up the program did not quit within 5 s of SIGTERM"
[ -f "$stats" ] || fail "stats.json was not written at quit with a reminder bubble up"
stats_decodes || fail "stats.json written with a reminder bubble up does not decode"

# The X server going away ends the program through Qt's "The X11 connection broke" (or Xlib's fatal IO
# error), with no quit signal: the ledgers must be saved on that road too. A third program on a second
# server books a busy loop's CPU time after its first save; its server is killed, and the CPU time booked
# since must be in stats.json.
cpu_on_disk() {
    python3 -c 'import json, sys
d = json.load(open(sys.argv[1]))
print(sum(a["cpuSeconds"] for day in d["days"].values() for a in day["apps"].values()))' "$stats"
}
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display2" 2>/dev/null &
server=$!
pids+=($server)
wait_for 10 test -s "$work/display2" || fail "the second Xvfb did not start"
rm -f "$stats"
start_program " on the second server" ":$(head -n1 "$work/display2")"
wait_for 30 test -s "$stats" || fail "the program on the second server never saved"
before=$(cpu_on_disk) || fail "stats.json does not decode"
sh -c 'while :; do :; done' &
busy=$!
pids+=($busy)
cpu_of_busy_loop() { ps -o times= -p "$busy" | tr -d ' '; }
busy_for() { [ "$(cpu_of_busy_loop)" -ge "$1" ] 2>/dev/null; }
wait_for 30 busy_for 4 || fail "the busy loop got no CPU time"
kill -KILL "$server"
wait_for 20 sh -c "! kill -0 $app 2>/dev/null" || fail "the program outlived its X server"
kill "$busy" 2>/dev/null
[ -f "$stats" ] || fail "stats.json was lost when the X server went away"
after=$(cpu_on_disk) || fail "stats.json does not decode after the X server went away"
python3 -c 'import sys; sys.exit(0 if float(sys.argv[2]) - float(sys.argv[1]) >= 2 else 1)' "$before" "$after" \
    || fail "the CPU time booked before the X server went away was not saved ($before s, then $after s)"

if [ "$heating_checked" = no ]; then
    echo "end-to-end: tray icon, first run, popover, saving at quit (also with a reminder bubble up) and when the X server dies work; heating up was not checked"
    exit 77
fi
echo "end-to-end: tray icon, first run, popover, heating up, saving at quit (also with a reminder bubble up) and when the X server dies all work"
