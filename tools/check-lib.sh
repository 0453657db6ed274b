# Shared by the checks that start an X server, Wine or a browser (source it):
# each check gets an X display of its own, so checks run side by side never
# collide, and a check that fails says what failed: the step, the command and
# its status, the last lines of the logs it named (the game's standard
# error), and where its screenshots and logs are.
#
#   source tools/check-lib.sh NAME WORK_DIR
#   step "the menu"            # what the check is doing now
#   watch_log game.err         # shown, its last lines, if the check fails
#   start_x 1024x768x24        # an X server of its own; DISPLAY set
#   stop_x                     # stops it (before another start_x)
#   fail "what is wrong"       # says so and ends the check with status 1
#   at_exit COMMAND            # run when the check ends, however it ends
#
# The check runs under set -Eeuo pipefail: any command that fails ends it,
# and the report names that command. Status 77 (skipped) is not a failure.
# The X server is stopped when the check ends, however it ends.

check_name=$1
check_work=$2
check_step="starting"
check_logs=()
check_command=""
check_command_status=0
check_xvfb_pid=""
check_exit_commands=()
set -Eeuo pipefail
# The player's settings of this machine never reach a check, nor does a check
# write over them: each check keeps its own, in its work folder, unless it chose.
if [ -z "${KORVANE_CHECK_CONFIG:-}" ]; then
    mkdir -p "$check_work/config"
    export XDG_CONFIG_HOME="$check_work/config"
fi

step() {
    check_step=$*
    echo "$check_name: step: $*"
}

watch_log() { check_logs+=("$1"); }

at_exit() { check_exit_commands+=("$*"); }

fail() {
    echo "$check_name: $*" >&2
    check_command=""
    exit 1
}

# An X server on a display number it chose itself (-displayfd), so no other
# check can take the same one; it reports the number once it takes clients.
start_x() {
    local screen=$1 fifo
    [ -z "$check_xvfb_pid" ] || fail "start_x: this check has its X server already"
    fifo=$(mktemp -u "${TMPDIR:-/tmp}/korvane-x.XXXXXX")
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset \
        3>"$fifo" 2>"$check_work/xvfb.log" &
    check_xvfb_pid=$!
    local display=""
    read -r -t 30 display <"$fifo" || true
    rm -f "$fifo"
    [ -n "$display" ] || fail "the X server did not start (see $check_work/xvfb.log)"
    export DISPLAY=":$display"
    echo "$check_name: X server on $DISPLAY"
}

stop_x() {
    if [ -n "$check_xvfb_pid" ]; then
        kill "$check_xvfb_pid" 2>/dev/null || true
        wait "$check_xvfb_pid" 2>/dev/null || true
    fi
    check_xvfb_pid=""
}

check_report() {
    local status=$?
    trap - ERR
    local command
    for command in "${check_exit_commands[@]}"; do
        eval "$command" || echo "$check_name: at its end, '$command' failed" >&2
    done
    stop_x
    if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
        {
            echo "$check_name: FAILED in step \"$check_step\" with status $status"
            [ -n "$check_command" ] &&
                echo "$check_name: the command that failed: $check_command (status $check_command_status)"
            local log
            for log in "${check_logs[@]}"; do
                if [ -s "$log" ]; then
                    echo "$check_name: the last lines of $log:"
                    tail -n 25 "$log" | sed 's/^/    /'
                fi
            done
            echo "$check_name: screenshots and logs are in $check_work:"
            ls -l "$check_work" 2>/dev/null | sed 's/^/    /'
        } >&2
    fi
    exit "$status"
}
trap 'check_command=$BASH_COMMAND check_command_status=$?' ERR
trap check_report EXIT
