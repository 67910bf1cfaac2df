# What the xdotool end-to-end scripts share; sourced by them.

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local seconds=$1; shift
    for ((i = 0; i < seconds * 10; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "timed out waiting for: $*" >&2
    return 1
}
visible() { xdotool search --onlyvisible --name "$1"; }
no_message() { ! visible '^ZorvanMsgTopWindow$'; }
