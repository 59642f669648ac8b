#!/usr/bin/env bash
# Sets up a Debian machine for Zorv, builds it, and runs it or its tests.
#   tools/dev.sh run             install packages, build, start Zorv
#   tools/dev.sh test            install packages, build, run every test with CTest
#   tools/dev.sh test-sanitized  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   tools/dev.sh package         install packages, build, make the Debian package in build/
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
packages=(build-essential cmake ninja-build qt6-base-dev libqt6svg6 libxkbcommon-dev
          libsqlite3-dev sqlite3 python3 xvfb xauth xdotool xclip imagemagick xdg-utils ca-certificates
          dpkg-dev file desktop-file-utils zlib1g-dev python3-openpyxl qt6-translations-l10n)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends "${missing[@]}"
    fi
}

build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j 2
}

test_environment() {
    local runtime
    runtime=$(mktemp -d)
    chmod 700 "$runtime"
    export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen
}

case "${1:-}" in
run)
    install_packages
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display: starting Zorv in a virtual X server (xvfb-run)."
        exec xvfb-run -a -s "-screen 0 1280x800x24" "$root/build/src/app/zorv"
    fi
    exec "$root/build/src/app/zorv"
    ;;
test)
    install_packages
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    test_environment
    ctest --test-dir "$root/build" --output-on-failure -j 2
    ;;
test-sanitized)
    install_packages
    build "$root/build-sanitized" -DCMAKE_BUILD_TYPE=Debug -DZORV_SANITIZE=ON
    test_environment
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    # The journey drives a real window; under the sanitizers its steps outlast their waits.
    ctest --test-dir "$root/build-sanitized" --output-on-failure -j 2 -E '^journey$'
    ;;
package)
    install_packages
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    (cd "$root/build" && cpack -G DEB)
    echo "Install it with: sudo apt-get install $(ls "$root"/build/zorv_*.deb | tail -n 1)"
    ;;
*)
    sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
