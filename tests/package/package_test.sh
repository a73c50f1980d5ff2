#!/usr/bin/env bash
# Builds the Debian package from a build folder (argument 1), unpacks it into a scratch folder and
# checks what it holds: both programs, the network plugin of the served device's client, the
# desktop entry (valid), the icons, the documentation, the device tool's manual page (serve
# included), dependencies found from the programs' and the plugin's libraries (the HTTP server's
# among them); then runs the unpacked device tool, a served device worked through the unpacked
# plugin by the tool's replay and by the program, the program without its plugin (which must say
# so and fail), and the unpacked program until its start window shows.
# Exits 77 (skipped) when the tools that build the package are missing.
set -uo pipefail

build=${1:?usage: package_test.sh BUILD_FOLDER}
start_title="Инициализация"
script=$(cd "$(dirname "$0")/../replay" && pwd)/shift-of-sales.jsonl

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate help2man file; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
server_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/testquolt_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package written"

files=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for expected in \
    ./usr/bin/TestQuolt \
    ./usr/bin/quolt-device \
    ./usr/share/applications/testquolt.desktop \
    ./usr/share/icons/hicolor/scalable/apps/testquolt.svg \
    ./usr/share/icons/hicolor/48x48/apps/testquolt.png \
    ./usr/share/icons/hicolor/128x128/apps/testquolt.png \
    ./usr/share/man/man1/quolt-device.1.gz \
    ./usr/share/doc/testquolt/README.md \
    ./usr/share/doc/testquolt/emulator.md \
    ./usr/share/doc/testquolt/service.md; do
    grep -qxF "$expected" <<<"$files" || fail "the package lacks $expected"
done
plugin=$(grep -E '^\./usr/lib/(.+/)?testquolt/libquolt_network\.so$' <<<"$files")
[ -n "$plugin" ] || fail "the package lacks the network plugin (lib/testquolt/libquolt_network.so)"
# Nothing from the build or test trees slips in.
unexpected=$(grep -vE '^\./usr/(bin|share/(applications|icons|man|doc))/' <<<"$files" | grep -vxF "$plugin" |
    grep -v '/$')
[ -z "$unexpected" ] || fail "unexpected files: $unexpected"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6sql6-sqlite libqt6httpserver6 libqt6network6; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
desktop-file-validate --no-hints "$root/usr/share/applications/testquolt.desktop" \
    || fail "the desktop entry is not valid"
grep -qx 'Exec=TestQuolt' "$root/usr/share/applications/testquolt.desktop" \
    || fail "the desktop entry does not start TestQuolt"
zcat "$root/usr/share/man/man1/quolt-device.1.gz" | grep -q '^\.TH QUOLT-DEVICE' \
    || fail "the manual page has no title"
zcat "$root/usr/share/man/man1/quolt-device.1.gz" | grep -q 'cancel\\-document' \
    || fail "the manual page lacks the commands"
zcat "$root/usr/share/man/man1/quolt-device.1.gz" | grep -q 'serve the devices' \
    || fail "the manual page lacks serve"

# The programs' devices go to a scratch home, never the user's.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
mkdir -p "$HOME"
help=$("$root/usr/bin/quolt-device" --help) || fail "quolt-device --help failed"
grep -q 'Commands:' <<<"$help" || fail "quolt-device --help says: $help"
help=$("$root/usr/bin/quolt-device" serve --help) || fail "quolt-device serve --help failed"
grep -q 'Authorization: Bearer' <<<"$help" || fail "quolt-device serve --help says: $help"

# A served device, on 127.0.0.1 alone: the tool replays a script on it and the program starts on
# it, both through the unpacked plugin.
"$root/usr/bin/quolt-device" --dir "$work/devices" --port 1 create >"$work/create.log" 2>&1 \
    || { cat "$work/create.log"; fail "quolt-device create failed"; }
"$root/usr/bin/quolt-device" --dir "$work/devices" serve --listen 127.0.0.1:0 \
    --token-file "$work/serve.token" >"$work/serve.log" 2>&1 &
server_pid=$!
for _ in $(seq 1 600); do
    grep -q 'stops the server' "$work/serve.log" && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
done
server=$(grep -oE 'on http://[^ ]+' "$work/serve.log" | head -n 1 | cut -c4-)
[ -n "$server" ] || { cat "$work/serve.log"; fail "quolt-device serve did not start"; }
replay=$(QUOLT_DEVICE_TOKEN=$(cat "$work/serve.token") \
    "$root/usr/bin/quolt-device" replay "$script" --server "$server" 2>&1) \
    || fail "replay on the served device failed: $replay"
grep -q 'every result as recorded' <<<"$replay" || fail "replay on the served device says: $replay"
served=(--device-server "$server" --device-token-file "$work/serve.token")

# Without its plugin the program says why it cannot reach the served device and ends with the
# code of a server out of reach.
mv "$root/$plugin" "$work/plugin.so"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/TestQuolt" "${served[@]}" >"$work/unplugged.log" 2>&1
status=$?
mv "$work/plugin.so" "$root/$plugin"
[ "$status" -eq 1 ] || { cat "$work/unplugged.log"; fail "without its plugin the program ended with $status"; }
grep -q 'libquolt_network.so' "$work/unplugged.log" \
    || { cat "$work/unplugged.log"; fail "without its plugin the program does not say why"; }

# The program, on a virtual display when there is one (where its start window can be seen by
# its title), otherwise offscreen (where it must at least keep running): on the built-in device,
# then on the served one.
starts() {
    local log=$work/program.log
    "$root/usr/bin/TestQuolt" "$@" >"$log" 2>&1 &
    program_pid=$!
    if [ -n "${DISPLAY:-}" ]; then
        for _ in $(seq 1 900); do # a loaded machine starts it slowly
            if xdotool search --name "^$start_title\$" >/dev/null 2>&1; then
                kill "$program_pid" 2>/dev/null
                wait "$program_pid" 2>/dev/null
                program_pid=""
                return 0
            fi
            kill -0 "$program_pid" 2>/dev/null || { cat "$log"; fail "the program ended (${*:-built-in device})"; }
            sleep 0.1
        done
        cat "$log"
        fail "the start window did not show (${*:-built-in device})"
    fi
    sleep 3
    kill -0 "$program_pid" 2>/dev/null || { cat "$log"; fail "the program ended (${*:-built-in device})"; }
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=""
}

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    # Xvfb picks a free display and writes its number to the file. It must not reset when the
    # first program leaves, or the second may find no display while it does.
    Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1280x1024x24 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 200); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=:$(head -n 1 "$work/display")
    unset QT_QPA_PLATFORM
else
    unset DISPLAY
    export QT_QPA_PLATFORM=offscreen
fi
starts
starts "${served[@]}"
echo "PASS"
