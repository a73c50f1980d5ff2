#!/usr/bin/env bash
# Runs scripts/run without a display, over an already built program (argument 1), and checks
# that it serves the program to this machine only and leaves nothing behind:
#   - two runs at once get their own display and port and do not disturb each other;
#   - the VNC server listens on 127.0.0.1 and no other address, asks for a password only when
#     one is set;
#   - the start window is on the virtual display, framed by the window manager;
#   - TERM, Ctrl+C and closing the program each stop everything the run started.
# Exits 77 (skipped) only when the packages it needs cannot be installed.
set -uo pipefail

program=${1:?usage: headless_run.sh PATH_TO_TESTQUOLT}
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/common.sh"

start_title="Инициализация"
work=$(mktemp -d)
runs=() # session ids of the runs started, for the clean-up of a failed test
# What each run, by name, is: its session id, X display, X authority file and VNC port.
declare -A run_sid run_display run_xauth run_port

# Stops the runs a failed test left: TERM first, so that they clean up after themselves.
cleanup() {
    local sid
    for sid in "${runs[@]}"; do
        kill -TERM "$sid" 2>/dev/null
    done
    for sid in "${runs[@]}"; do
        await 10 ended "$sid"
        kill -KILL -- "-$sid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    local log
    for log in "$work"/*.log; do
        [ -e "$log" ] && { echo "--- $log"; cat "$log"; }
    done
    exit 1
}

skip() {
    echo "SKIP: $*"
    exit 77
}

# Waits up to $1 seconds for the command after it to succeed. The command runs anew each time:
# pass a function, not an expansion such as "$(...)", which would be taken once.
await() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS < deadline)); do
        "$@" && return 0
        sleep 0.1
    done
    "$@"
}

ensure_packages() {
    local needed=("${QUOLT_HEADLESS_PACKAGES[@]}" "${QUOLT_HEADLESS_TEST_PACKAGES[@]}") missing=()
    local package
    for package in "${needed[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    if [ "$(id -u)" -ne 0 ] && ! sudo -n true 2>/dev/null; then
        skip "missing ${missing[*]}, and neither root nor sudo without a password can install them"
    fi
    quolt_install_missing "${needed[@]}" </dev/null || skip "could not install ${missing[*]}"
}

# Starts scripts/run in a session of its own, named $1, with the VNC password $2 if given; its
# log is $work/$1.log. The password goes through the environment, as a user would set it.
start_run() {
    local name=$1
    QUOLT_VNC_PASSWORD=${2:-} QUOLT_PROGRAM=$program setsid bash "$root/scripts/run" \
        >"$work/$name.log" 2>&1 </dev/null &
    runs+=($!)
    run_sid[$name]=$!
}

# Reads the display, authority file and port a run printed.
read_run() {
    local name=$1 sid=${run_sid[$1]} line
    await 120 grep -q '^Other X programs reach the display' "$work/$name.log" \
        || fail "run $name did not print how to connect"
    kill -0 "$sid" 2>/dev/null || fail "run $name ended early"
    [ "$(ps -o sid= -p "$sid" | tr -d ' ')" = "$sid" ] \
        || fail "run $name is not in a session of its own"
    line=$(grep -m 1 '^Other X programs reach the display' "$work/$name.log")
    [[ $line =~ DISPLAY=(:[0-9]+)\ XAUTHORITY=(.+)$ ]] || fail "run $name: no display in: $line"
    run_display[$name]=${BASH_REMATCH[1]}
    run_xauth[$name]=${BASH_REMATCH[2]}
    line=$(grep -m 1 '^TestQuolt is served over VNC' "$work/$name.log")
    [[ $line =~ 127\.0\.0\.1:([0-9]+) ]] || fail "run $name: no port in: $line"
    run_port[$name]=${BASH_REMATCH[1]}
}

# Drops a run that ended from those the clean-up kills.
forget_run() {
    local sid kept=()
    for sid in "${runs[@]}"; do
        [ "$sid" = "$1" ] || kept+=("$sid")
    done
    runs=("${kept[@]}")
}

listening_addresses() {
    ss -ltnH "sport = :$1" | awk '{print $4}' | sort -u
}

listens() {
    [ -n "$(listening_addresses "$1")" ]
}

# The VNC port listens on 127.0.0.1 and on no other address.
check_loopback_only() {
    local name=$1 port=${run_port[$1]} addresses
    await 30 listens "$port" || fail "run $name: nothing listens on $port"
    addresses=$(listening_addresses "$port")
    [ "$addresses" = "127.0.0.1:$port" ] \
        || fail "run $name: port $port listens on: $(tr '\n' ' ' <<<"$addresses")"
}

# The security types the VNC server offers: 1 is none, 2 is a password.
security_types() {
    local port=$1
    (
        exec 3<>"/dev/tcp/127.0.0.1/$port" || exit 1
        timeout 5 head -c 12 <&3 >/dev/null || exit 1
        printf 'RFB 003.008\n' >&3
        count=$(timeout 5 head -c 1 <&3 | od -An -tu1 | tr -d ' ')
        [ -n "$count" ] && [ "$count" -gt 0 ] || exit 1
        timeout 5 head -c "$count" <&3 | od -An -tu1 | xargs
    )
}

x() {
    local name=$1
    shift
    DISPLAY=${run_display[$name]} XAUTHORITY=${run_xauth[$name]} "$@"
}

start_window() {
    x "$1" xdotool search --name "^$start_title\$" 2>>"$work/$1.xdotool.log" | head -n 1
}

has_start_window() {
    [ -n "$(start_window "$1")" ]
}

framed() {
    x "$1" xprop -id "$2" _NET_FRAME_EXTENTS | grep -q '= '
}

ended() {
    ! kill -0 "$1" 2>/dev/null
}

# No process is left in session $1; sets left to those that are.
session_empty() {
    left=$(ps -o pid=,args= -s "$1")
    [ -z "$left" ]
}

# The start window is shown on the run's display, with a title bar from the window manager,
# and the screenshot of the display shows it drawn.
check_start_window() {
    local name=$1 window extents geometry colours
    await 120 has_start_window "$name" \
        || fail "run $name: no window titled $start_title;" \
            "processes: $(ps -o pid=,stat=,time=,wchan:20=,args= -s "${run_sid[$name]}")" \
            "windows: $(x "$name" xwininfo -root -tree 2>&1 | grep -E '"' | head -n 20)"
    window=$(start_window "$name")
    await 30 framed "$name" "$window" \
        || fail "run $name: the window manager does not frame the start window"
    extents=$(x "$name" xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //')
    [ "$(cut -d, -f3 <<<"$extents" | tr -d ' ')" -gt 0 ] \
        || fail "run $name: the start window has no title bar (frame $extents)"
    x "$name" import -window root "$work/$name.png" || fail "run $name: no screenshot"
    geometry=$(x "$name" xwininfo -id "$window" \
        | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
               /Width:/{w=$NF} /Height:/{h=$NF} END{print w "x" h "+" x "+" y}')
    # A window that is drawn has text and edges: many colours, where an empty one has one.
    colours=$(convert "$work/$name.png" -crop "$geometry" +repage -format '%k' info:)
    [ "${colours:-0}" -gt 16 ] \
        || fail "run $name: the start window is not drawn on the screenshot ($colours colours)"
}

# Closes the start window of run $1 through the window manager (Alt+F4) and tells whether the
# run has ended. Under load the activation may take longer than xdotool is given, and then no key
# is sent at all: asked again, it sends the keys again while the window is still there.
close_start_window() {
    local name=$1 window
    window=$(start_window "$name")
    if [ -n "$window" ]; then
        x "$name" timeout 10 xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 \
            2>>"$work/$name.xdotool.log"
    fi
    await 5 ended "${run_sid[$name]}"
}

# The password ($2) is on no command line and in no output; the files that hold secrets are the
# user's alone.
check_secrets_private() {
    local name=$1 password=$2 private file
    private=$(dirname "${run_xauth[$1]}")
    pgrep -f -- "$password" >/dev/null && fail "run $name shows the password in ps"
    grep -qF -- "$password" "$work/$name.log" && fail "run $name printed the password"
    [ "$(stat -c %a "$private")" = 700 ] || fail "run $name: $private is readable by others"
    for file in "$private"/*; do
        grep -qF -- "$password" "$file" && fail "run $name: $file holds the password in clear"
    done
    for file in "${run_xauth[$name]}" "$private/vncpasswd"; do
        [ "$(stat -c %a "$file")" = 600 ] || fail "run $name: $file is readable by others"
    done
}

# The run ends within $2 seconds and leaves no process of its session (its X server, window
# manager, VNC server and program) and no private directory. Its display and port are free
# again, but other runs on this machine may take them at once, so they prove nothing here.
check_stopped() {
    local name=$1 seconds=$2 sid=${run_sid[$1]} private
    private=$(dirname "${run_xauth[$1]}")
    await "$seconds" ended "$sid" || fail "run $name did not end"
    await 30 session_empty "$sid" || fail "run $name left: $left"
    [ ! -e "$private" ] || fail "run $name left $private"
    forget_run "$sid"
}

ensure_packages
unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM
# A password of this test alone, so that other tests running at once cannot be mistaken for it.
password=$(od -An -N4 -tx1 /dev/urandom | tr -d ' \n')
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export XDG_DATA_HOME="$work/home/.local/share"
mkdir -p "$HOME"
echo "Listening TCP sockets before:"
ss -ltn

start_run first
read_run first
check_loopback_only first
[ "$(security_types "${run_port[first]}")" = "1" ] \
    || fail "run first: VNC asks for a password nobody set"
check_start_window first

# A second run while the first one holds the display and port it took: it takes others.
start_run second "$password"
read_run second
[ "${run_display[second]}" != "${run_display[first]}" ] \
    || fail "both runs use display ${run_display[first]}"
[ "${run_port[second]}" != "${run_port[first]}" ] || fail "both runs use port ${run_port[first]}"
check_loopback_only second
[ "$(security_types "${run_port[second]}")" = "2" ] \
    || fail "run second: VNC does not ask for the password"
check_start_window second
check_secrets_private second "$password"
echo "Listening TCP sockets with two runs:"
ss -ltn

kill -TERM "${run_sid[second]}"
check_stopped second 20
# The first run goes on undisturbed.
kill -0 "${run_sid[first]}" 2>/dev/null || fail "stopping the second run ended the first"
check_loopback_only first
[ -n "$(start_window first)" ] || fail "stopping the second run closed the first one's window"

# Ctrl+C in a terminal signals the whole foreground process group.
kill -INT -- "-${run_sid[first]}"
check_stopped first 20

# A run ends when the program does: here its start window is closed through the window manager.
start_run third
read_run third
check_start_window third
await 60 close_start_window third || fail "run third did not end"
check_stopped third 30

echo "Listening TCP sockets after:"
ss -ltn
echo "PASS"
