# Sourced by the scripts that run the program in a virtual X server.
# They provide $work, a scratch folder, and a fail function.

# wait_for WHAT SECONDS COMMAND...: runs COMMAND every tenth of a second until
# it succeeds; after SECONDS it fails, saying WHAT went wrong.
wait_for() {
    local what=$1 seconds=$2
    shift 2
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

# Starts Xvfb on a display it picks itself and points DISPLAY at it; its
# process is $xvfb_pid. Without -noreset the server starts afresh whenever its
# last client leaves, and refuses connections meanwhile: a program started
# just after the one before it ended could not open its window.
start_virtual_display() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "the virtual X server did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$work/display")"
    unset QT_QPA_PLATFORM
}
