#!/usr/bin/env bash
# Makes the Debian package of this build with CPack and checks what a user would get from it.
#   check_package.sh CPACK CPACK_CONFIG SOURCE_FOLDER WORK_FOLDER
set -euo pipefail
cpack=$1
config=$2
source=$3
work=$4

if ! command -v dpkg-deb >/dev/null; then
    echo "SKIPPED: dpkg-deb is missing (a Debian system with dpkg-dev is needed to make the package)"
    exit 77
fi
for tool in dpkg-shlibdeps desktop-file-validate file; do
    command -v "$tool" >/dev/null || { echo "FAILED: $tool is missing (tools/dev.sh installs it)"; exit 1; }
done

rm -rf "$work"
mkdir -p "$work"
"$cpack" -G DEB --config "$config" -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"
    echo "FAILED: cpack -G DEB"
    exit 1
}
debs=("$work"/zorv_*.deb)
[ -f "${debs[0]}" ] || { echo "FAILED: no zorv_*.deb in $work"; ls "$work"; exit 1; }
deb=${debs[0]}
echo "package: $deb ($(stat -c %s "$deb") bytes)"

status=0
check() { # description, command...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; status=1; fi
}

# The file list: exactly the programs, the shipped files, the manual, the entry and the icons.
expected=$work/expected.txt
actual=$work/actual.txt
{
    printf '%s\n' usr/bin/zorv usr/bin/zorv-demo-server usr/bin/Install \
        usr/share/applications/zorv.desktop \
        usr/share/icons/hicolor/48x48/apps/zorv.png \
        usr/share/icons/hicolor/scalable/apps/zorv.svg \
        usr/share/zorv/Zorv.ini
    for page in "$source"/docs/manual/* "$source"/docs/*.png; do
        echo "usr/share/zorv/help/$(basename "$page")"
    done
} | sort >"$expected"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./||' | sort >"$actual"
check "the package holds exactly the expected files" diff -u "$expected" "$actual"
check "the manual's first page is installed" grep -qx usr/share/zorv/help/index.html "$actual"

field() { dpkg-deb -f "$deb" "$1"; }
depends=$(field Depends)
echo "Depends: $depends"
check "the package is named zorv" test "$(field Package)" = zorv
check "the architecture is this machine's" test "$(field Architecture)" = "$(dpkg --print-architecture)"
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
    libsqlite3-0 libqt6svg6 xdg-utils; do
    check "it depends on $library" grep -Fqx "$library" <<<"$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')"
done
check "it recommends Qt's translations" \
    grep -Fqx qt6-translations-l10n <<<"$(field Recommends | tr ',' '\n' | awk '{ print $1 }')"

root=$work/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/zorv.desktop
check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$entry"
check "the entry's categories are Office and Database" grep -qx 'Categories=Office;Database;' "$entry"
check "the entry starts zorv" grep -qx 'Exec=zorv' "$entry"
check "the 48 px icon is a 48 x 48 PNG" \
    grep -q 'PNG image data, 48 x 48' <<<"$(file "$root/usr/share/icons/hicolor/48x48/apps/zorv.png")"
check "the scalable icon is SVG" grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/zorv.svg"
for program in zorv zorv-demo-server Install; do
    check "$program is stripped" grep -q ', stripped' <<<"$(file -L "$root/usr/bin/$program")"
done
check "the shipped settings file is the starting one" cmp -s "$source/resources/Zorv.ini" \
    "$root/usr/share/zorv/Zorv.ini"

# Every link and picture of the manual leads somewhere inside it.
help=$root/usr/share/zorv/help
broken=
for page in "$help"/*.html; do
    for target in $(grep -o -E '(href|src)="[^"#:]*(#[^"]*)?"' "$page" | sed -E 's/^[a-z]+="//; s/"$//'); do
        file=${target%%#*}
        [ -n "$file" ] || file=$(basename "$page")
        if [ ! -f "$help/$file" ]; then
            broken+=" $(basename "$page")->$target"
        elif [[ $target == *#* ]] && ! grep -q "id=\"${target#*#}\"" "$help/$file"; then
            broken+=" $(basename "$page")->$target"
        fi
    done
done
[ -z "$broken" ] || echo "broken:$broken"
check "every link and picture of the manual is found" test -z "$broken"

# The installed layout at work: the program runs from usr/bin, and its settings go to the
# user's configuration folder (seeded with the shipped file), never into the bin folder, even
# for a user who may write there.
home=$work/home
mkdir -p "$home"
# A clean environment: no ZORV_HOME, no XDG folders; a sanitized build keeps its options.
run() {
    env -i PATH=/usr/bin:/bin HOME="$home" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen \
        ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} ${LSAN_OPTIONS:+LSAN_OPTIONS=$LSAN_OPTIONS} \
        ${UBSAN_OPTIONS:+UBSAN_OPTIONS=$UBSAN_OPTIONS} "$@"
}
check "the package's version is the one the installed zorv prints" \
    test "$(run "$root/usr/bin/zorv" --version)" = "$(field Version)"
run "$root/usr/bin/zorv" read-table T000 --fields MANDT --rowcount 1 >"$work/read.txt" 2>&1 ||
    cat "$work/read.txt"
check "the installed zorv reads the demo system" grep -q '^MANDT' "$work/read.txt"
check "its settings folder starts with the shipped settings file" \
    cmp -s "$root/usr/share/zorv/Zorv.ini" "$home/.config/zorv/Zorv.ini"
check "nothing was written beside the installed programs" \
    test "$(ls "$root/usr/bin" | sort | tr '\n' ' ')" = "Install zorv zorv-demo-server "
exit $status
