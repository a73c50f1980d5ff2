# Shared by scripts/run and scripts/test: install what is missing, configure and build.
# Sourced, not run.

QUOLT_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Debian packages the build, the tests and the program need.
# The HTTP server's package does not pull in the web sockets' one that its CMake files need.
QUOLT_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
                libqt6sql6-sqlite libsqlite3-dev libgl-dev fonts-dejavu-core libzint-dev
                qt6-httpserver-dev qt6-websockets-dev
                qt6-translations-l10n locales-all clang-format poppler-utils)
# The tests of the device service run its documented clients.
QUOLT_SERVICE_TEST_PACKAGES=(curl python3)
# Serving the program without a display, and the test of that.
QUOLT_HEADLESS_PACKAGES=(xvfb xauth openbox x11vnc)
QUOLT_HEADLESS_TEST_PACKAGES=(xdotool x11-utils imagemagick iproute2)
# Building the Debian package: dpkg-shlibdeps, file (cpack finds the programs with it), the
# manual page from --help, the check of the desktop entry.
QUOLT_PACKAGE_PACKAGES=(dpkg-dev file help2man desktop-file-utils)

quolt_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the packages of the list that are not installed yet; does nothing when all are.
quolt_install_missing() {
    local missing=() package
    for package in "${QUOLT_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    quolt_as_root apt-get update -qq
    quolt_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

# Configures and builds one preset (dev, asan, release).
quolt_build() {
    local preset=$1
    cd "$QUOLT_ROOT" || return 1
    cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" -j "$(nproc)"
}
