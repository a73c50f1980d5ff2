# shellcheck shell=bash
# Serves a program over VNC to this machine only: a virtual X display (Xvfb) with a window manager
# (openbox), and a VNC server (x11vnc) that listens on 127.0.0.1 alone. Sourced by scripts/run.
#
# The display number and the VNC port are the first free ones. The X display is guarded by a
# cookie and the optional VNC password (QUOLT_VNC_PASSWORD) is kept in a VNC password file; both
# live in a private directory readable by the user alone and are never passed on a command line,
# where other users could read them in ps. Everything started here is stopped when the program ends
# or on Ctrl+C, TERM or HUP.

quolt_headless_dir=""
quolt_headless_pids=()
quolt_headless_vnc_auth=()
quolt_headless_port=""

quolt_headless_fail() {
    echo "scripts/run: $*" >&2
    exit 1
}

# Stops what was started, the last started first, and removes the private directory.
quolt_headless_stop() {
    local i pid deadline
    trap '' INT TERM HUP
    for ((i = ${#quolt_headless_pids[@]} - 1; i >= 0; i--)); do
        pid=${quolt_headless_pids[i]}
        kill -TERM "$pid" 2>/dev/null || continue
        deadline=$((SECONDS + 5))
        while ((SECONDS < deadline)) && kill -0 "$pid" 2>/dev/null; do
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    quolt_headless_pids=()
    [ -n "$quolt_headless_dir" ] && rm -rf "$quolt_headless_dir"
    quolt_headless_dir=""
}

# Waits up to $1 seconds for file $2 to hold a line matching $3 while process $4 runs; prints
# the first such line.
quolt_headless_await_line() {
    local deadline=$((SECONDS + $1)) file=$2 pattern=$3 pid=$4 line
    while ((SECONDS < deadline)); do
        line=$(grep -m 1 -E "$pattern" "$file" 2>/dev/null) && { echo "$line"; return 0; }
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    line=$(grep -m 1 -E "$pattern" "$file" 2>/dev/null) && { echo "$line"; return 0; }
    return 1
}

# Starts a virtual display; sets DISPLAY and XAUTHORITY for what runs on it.
quolt_headless_start_display() {
    local cookie number
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    # The server accepts the cookie of any entry in its file; clients look theirs up by display
    # number, added once the server has chosen one. xauth reads the cookie from its input.
    : >"$quolt_headless_dir/xauthority"
    echo "add :0 . $cookie" | xauth -q -f "$quolt_headless_dir/xauthority" source - \
        || quolt_headless_fail "could not write the X authority file"
    # -displayfd: the server takes the first free display number and writes it once it is ready.
    Xvfb -displayfd 3 -auth "$quolt_headless_dir/xauthority" -nolisten tcp -noreset \
        -screen 0 1280x900x24 3>"$quolt_headless_dir/display" \
        >"$quolt_headless_dir/xvfb.log" 2>&1 &
    quolt_headless_pids+=($!)
    number=$(quolt_headless_await_line 30 "$quolt_headless_dir/display" '^[0-9]+$' $!) \
        || quolt_headless_fail "the virtual display did not start:" \
            "$(tail -n 3 "$quolt_headless_dir/xvfb.log")"
    echo "add :$number . $cookie" | xauth -q -f "$quolt_headless_dir/xauthority" source - \
        || quolt_headless_fail "could not write the X authority file"
    export DISPLAY=":$number" XAUTHORITY="$quolt_headless_dir/xauthority"
}

# Stores the VNC password, if one is set, and sets x11vnc's options for it.
quolt_headless_store_password() {
    local password=${QUOLT_VNC_PASSWORD:-}
    if [ -z "$password" ]; then
        quolt_headless_vnc_auth=(-nopw)
        return
    fi
    case $password in *$'\n'*) quolt_headless_fail "QUOLT_VNC_PASSWORD must be one line" ;; esac
    if [ ${#password} -gt 8 ]; then
        echo "scripts/run: VNC checks only the first 8 characters of QUOLT_VNC_PASSWORD" >&2
    fi
    # x11vnc asks for the password twice and for a confirmation on its input.
    (umask 077 && printf '%s\n%s\ny\n' "$password" "$password" \
        | x11vnc -storepasswd "$quolt_headless_dir/vncpasswd" >/dev/null 2>&1) \
        && [ -s "$quolt_headless_dir/vncpasswd" ] \
        || quolt_headless_fail "could not store the VNC password"
    quolt_headless_vnc_auth=(-rfbauth "$quolt_headless_dir/vncpasswd")
}

# Starts the VNC server on the first free port from 5900, on 127.0.0.1 only; sets the port.
quolt_headless_start_vnc() {
    local pid line
    # Two runs starting together can pick the same free port; the later one then tries again.
    for _ in 1 2 3; do
        x11vnc -display "$DISPLAY" -auth "$XAUTHORITY" -localhost -no6 -autoport 5900 \
            -forever -shared -quiet "${quolt_headless_vnc_auth[@]}" \
            >"$quolt_headless_dir/vnc.out" 2>"$quolt_headless_dir/vnc.log" &
        pid=$!
        line=$(quolt_headless_await_line 30 "$quolt_headless_dir/vnc.out" '^PORT=[0-9]+$' "$pid")
        if [ -n "$line" ]; then
            quolt_headless_pids+=("$pid")
            quolt_headless_port=${line#PORT=}
            return 0
        fi
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    quolt_headless_fail "the VNC server did not start: $(tail -n 3 "$quolt_headless_dir/vnc.log")"
}

quolt_headless_print_how_to_connect() {
    local port=$1 host user
    host=$(hostname -f 2>/dev/null || hostname)
    user=$(id -un)
    cat <<EOF
TestQuolt is served over VNC to this machine only: 127.0.0.1:$port (X display $DISPLAY).
  On this machine:      vncviewer 127.0.0.1:$port
  From another machine: ssh -L 5900:127.0.0.1:$port $user@$host
                        then, on that machine: vncviewer 127.0.0.1:5900
EOF
    if [ -n "${QUOLT_VNC_PASSWORD:-}" ]; then
        echo "The viewer asks for the password set in QUOLT_VNC_PASSWORD."
    else
        echo "No VNC password: set QUOLT_VNC_PASSWORD to ask for one."
    fi
    echo "Other X programs reach the display with DISPLAY=$DISPLAY XAUTHORITY=$XAUTHORITY"
    echo "Stop with Ctrl+C or by closing the program."
}

# Runs "$@" on a new virtual display served over VNC; returns the program's exit code.
quolt_serve_headless() {
    local program_pid vnc_pid code
    trap quolt_headless_stop EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    quolt_headless_dir=$(mktemp -d "${TMPDIR:-/tmp}/testquolt-vnc.XXXXXX") \
        || quolt_headless_fail "could not create a private directory"
    chmod 700 "$quolt_headless_dir"

    quolt_headless_start_display
    openbox >"$quolt_headless_dir/openbox.log" 2>&1 &
    quolt_headless_pids+=($!)
    quolt_headless_store_password
    quolt_headless_start_vnc
    vnc_pid=${quolt_headless_pids[-1]}
    quolt_headless_print_how_to_connect "$quolt_headless_port"

    unset WAYLAND_DISPLAY
    QT_QPA_PLATFORM=xcb "$@" &
    program_pid=$!
    quolt_headless_pids+=("$program_pid")
    # The run ends with the program, or when the VNC server is gone and nobody can reach it.
    wait -n "$program_pid" "$vnc_pid"
    code=$?
    if kill -0 "$program_pid" 2>/dev/null; then
        echo "scripts/run: the VNC server stopped: $(tail -n 3 "$quolt_headless_dir/vnc.log")" >&2
        code=1
    fi
    return "$code"
}
