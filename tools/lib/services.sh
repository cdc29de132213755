# Services the tests need: an X server (Xvfb) and a print server (CUPS) with a PDF printer.
# Sourced by tools/test.sh; everything started here is stopped by stop_services.

ZARNEL_SERVICE_PIDS=()

# start_runtime: a runtime folder of the run's own (Qt makes one in /tmp without it).
start_runtime() {
    ZARNEL_TEST_RUNTIME=$(mktemp -d /tmp/zarnel-runtime.XXXXXX)
    chmod 0700 "$ZARNEL_TEST_RUNTIME"
    export XDG_RUNTIME_DIR=$ZARNEL_TEST_RUNTIME
}

# start_xvfb: starts Xvfb on a free display and exports DISPLAY.
start_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # -noreset: the server otherwise starts over each time its last client leaves, between
    # two tests, and refuses the next test's connection while it does.
    Xvfb -displayfd 3 -screen 0 "${ZARNEL_SCREEN:-3840x2160x24}" -nolisten tcp -ac -noreset \
        3>"$fifo" >/dev/null 2>&1 &
    ZARNEL_SERVICE_PIDS+=($!)
    local number
    read -r -t 20 number <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
    rm -f "$fifo"
    export DISPLAY=":$number"
    echo "Xvfb running on $DISPLAY" >&2
}

stop_services() {
    local pid
    for pid in "${ZARNEL_SERVICE_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    [ -n "${ZARNEL_CUPS_STOP:-}" ] && eval "$ZARNEL_CUPS_STOP" || true
    [ -n "${ZARNEL_TEST_RUNTIME:-}" ] && rm -rf "$ZARNEL_TEST_RUNTIME" || true
}
