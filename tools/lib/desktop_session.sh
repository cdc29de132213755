# What the headless desktop sessions of the tests share (tools/lib/gnome.sh, kde.sh): waiting
# for a part to come up, asking their bus, and finding their processes by a marker that each
# carries in its environment.

# session_wait NAME PID WHAT TEST...: polls TEST for up to 30 s while process PID lives;
# NAME says whose session it is when WHAT does not start.
session_wait() {
    local name=$1 pid=$2 what=$3 tries=0
    shift 3
    until "$@" >/dev/null 2>&1; do
        if ! kill -0 "$pid" 2>/dev/null || [ $tries -ge 600 ]; then
            echo "$name session: $what did not start" >&2
            return 1
        fi
        tries=$((tries + 1))
        sleep 0.05
    done
}

# session_has_name BUS NAME: whether NAME has an owner on the session bus at address BUS.
session_has_name() {
    DBUS_SESSION_BUS_ADDRESS=$1 gdbus call --session --dest org.freedesktop.DBus \
        --object-path /org/freedesktop/DBus --method org.freedesktop.DBus.NameHasOwner "$2" |
        grep -q true
}

# session_pids MARK: the processes whose environment holds MARK (VAR=value).
session_pids() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        # A process may end between the listing and the read: grep then fails, not we.
        if grep -qxzF "$1" "$environ" 2>/dev/null; then
            echo "$pid"
        fi
    done
}

# session_stop MARK: ends the processes that carry MARK, by force after 4 s.
session_stop() {
    local pids tries=0
    pids=$(session_pids "$1")
    [ -n "$pids" ] || return 0
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null || true
    while [ -n "$(session_pids "$1")" ] && [ $tries -lt 80 ]; do
        tries=$((tries + 1))
        sleep 0.05
    done
    pids=$(session_pids "$1")
    # shellcheck disable=SC2086
    [ -z "$pids" ] || kill -KILL $pids 2>/dev/null || true
}
