# Shell helpers to run a private Xvfb. Source this file, then call xvfb_start
# (sets DISPLAY and XVFB_PID) and xvfb_stop.
xvfb_start() {
    n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    DISPLAY=":$n"
    export DISPLAY XVFB_PID
    i=0
    until xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; do
        i=$((i + 1))
        if [ $i -gt 100 ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
            echo "xvfb: could not start a server on $DISPLAY" >&2
            return 1
        fi
        sleep 0.1
    done
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}
