# Driving the real game's window under the X server of check-lib.sh with
# xdotool (source it after check-lib.sh).

# A key held for a few frames (keys are read once a frame), then a pause.
press() {
    xdotool keydown "$1"
    sleep 0.25
    xdotool keyup "$1"
    sleep 0.4
}

# The id of a visible window by its exact title (a message box has no class
# to search by); false after 20 seconds without one.
find_window() {
    local i w
    for i in $(seq 80); do
        for w in $(xdotool search --onlyvisible "" 2>/dev/null); do
            [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && { echo "$w"; return 0; }
        done
        sleep 0.25
    done
    return 1
}

# Clicks the OK button of the message box (its window id), which sits
# centred 26 pixels above its bottom edge, then focuses the game's window and
# prints its id; fails when the game's window does not appear.
dismiss_message() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 26)) click 1
    sleep 1
    local win
    win=$(find_window "Korvane 1.05") || fail "the game's window did not appear"
    xdotool windowfocus --sync "$win" 2>/dev/null || true
    echo "$win"
}

# The whole screen as a PNG.
shot() { xwd -root -silent | convert xwd:- "$1"; }

# Waits up to SECONDS for the game (its process id) to end, and fails unless
# it ended with status 0.
game_ends() {
    local pid=$1 seconds=$2 i status=0
    for i in $(seq $((seconds * 4))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.25
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        fail "the game did not end within $seconds s"
    fi
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}
