#!/usr/bin/env bash
# Builds the Debian package from a build folder (argument 1), unpacks it into a scratch folder and
# checks what it holds: both programs, the desktop entry (valid), the icons, the documentation,
# the device tool's manual page (serve included), dependencies found from the programs' libraries
# (the HTTP server's among them); then runs the unpacked device tool and the unpacked program
# until its start window shows.
# Exits 77 (skipped) when the tools that build the package are missing.
set -uo pipefail

build=${1:?usage: package_test.sh BUILD_FOLDER}
start_title="Инициализация"

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate help2man file; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
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
# Nothing from the build or test trees slips in.
unexpected=$(grep -vE '^\./usr/(bin|share/(applications|icons|man|doc))/' <<<"$files" | grep -v '/$')
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

# The program, on a virtual display when there is one (where its start window can be seen by
# its title), otherwise offscreen (where it must at least keep running).
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
    # Xvfb picks a free display and writes its number to the file.
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 200); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
    export DISPLAY=:$(head -n 1 "$work/display")
    unset QT_QPA_PLATFORM
    "$root/usr/bin/TestQuolt" >"$work/program.log" 2>&1 &
    program_pid=$!
    for _ in $(seq 1 900); do # a loaded machine starts it slowly
        xdotool search --name "^$start_title\$" >/dev/null 2>&1 && { echo "PASS"; exit 0; }
        kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended"; }
        sleep 0.1
    done
    cat "$work/program.log"
    fail "the start window did not show"
fi
QT_QPA_PLATFORM=offscreen "$root/usr/bin/TestQuolt" >"$work/program.log" 2>&1 &
program_pid=$!
sleep 3
kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log"; fail "the program ended"; }
echo "PASS"
