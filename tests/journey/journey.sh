#!/usr/bin/env bash
# A user's journey through the real zorv window under a virtual X server, driven with xdotool:
# log on to the demo system, create a folder and a table, open it, copy fields to My Table,
# add an option, preview, save the query, import to a file, exit with the save question,
# start again and find the tree and the query as they were. Screenshots of the main steps go
# to the output folder.
#   journey.sh ZORV_BINARY OUTPUT_FOLDER
set -euo pipefail
zorv=$1
out=$2
mkdir -p "$out"
home=$(mktemp -d)
export ZORV_HOME=$home
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
# The desktop's file associations of this machine stay out: no program is associated with any
# type here (the types themselves are still known), so opening a file says it could not.
mkdir -p "$runtime/xdg/config" "$runtime/xdg/data" "$runtime/xdg/dirs"
ln -s /usr/share/mime "$runtime/xdg/dirs/mime"
export XDG_CONFIG_HOME=$runtime/xdg/config XDG_DATA_HOME=$runtime/xdg/data
export XDG_CONFIG_DIRS=$runtime/xdg/dirs XDG_DATA_DIRS=$runtime/xdg/dirs
# A real window on the virtual X server, whatever the test run chose for the other tests.
export QT_QPA_PLATFORM=xcb
printf '%s\r\n' "sSapLogon    " "FolderTable  " "TableFile    " "SGlobal      0.3.20" \
    "ChOpt        False" "OptEN        True" "OptPT        False" "OptCT        False" \
    "Tool         True" "Status       True" "z            ;" "fvubTop       0 " "fvubLeft      0 " \
    "fvubHeight    0 " "fvubWidth     0 " "SAT           0 " "FileZorv     " >"$home/Zorv.ini"

cat >"$home/steps.sh" <<'STEPS'
set -euo pipefail
pid=
# Whatever happens, no zorv outlives the journey.
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true' EXIT
shot() { import -window root "$OUT/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
type_line() { xdotool type --delay 20 "$1"; xdotool key Return; sleep "${2:-1}"; }
menu() { # top-menu x, item y (items sit 22 px apart from y 90)
    click "$1" 68 0.4
    click "$1" "$2" 0.6
}
# Dialogs are windows of their own: wait for them by title rather than by the clock.
wait_window() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && { sleep 0.4; return 0; }
        sleep 0.1
    done
    echo "no window titled $1"; shot "missing-$1"; return 1
}
wait_gone() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || { sleep 0.4; return 0; }
        sleep 0.1
    done
    echo "the window $1 stayed"; return 1
}
wait_exit() {
    for _ in $(seq 200); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.1
    done
    echo "zorv did not exit"; shot "no-exit"; kill -9 "$1"; return 1
}

"$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
shot 01-started

click 96 94 0.2                    # Connect
wait_window "SAP Logon"
type_line welcome 0.2              # the dialog offers DEMO on the demo system
wait_gone "SAP Logon"
sleep 1
shot 02-connected

click 178 94 1                     # File > New (toolbar)
click 223 68 0.4; click 250 90 0.4; click 370 111 0.8   # Table > New > Folder
xdotool key ctrl+a; type_line Sales 0.8
click 223 68 0.4; click 250 90 0.4; click 367 89 0.8    # Table > New > Table (under Sales)
xdotool key ctrl+a; type_line KNA1 2
shot 03-tree

xdotool mousemove 165 178 click --repeat 2 --delay 80 1 # open KNA1
sleep 2
click 300 180 0.2; xdotool keydown ctrl; click 300 216 0.2; click 300 252 0.2; xdotool keyup ctrl
click 566 287 1                    # Copy to My Table
shot 04-mytable

menu 391 90                        # Options > Show Option
# The boxes start empty: the keyboard picks the first entry of each.
click 597 369 0.5; xdotool key Escape Down; sleep 0.3  # field: the first My Table field
click 677 369 0.5; xdotool key Escape Down; sleep 0.3  # operator: EQ
click 755 369 0.3; xdotool key End; xdotool type --delay 20 "0000000001'"
click 841 369 1                    # Add Option
shot 05-option

click 642 287 3                    # Preview
shot 06-preview

click 228 94 0.2                   # Save: the dialog asks for a name
wait_window "Save As"
xdotool key ctrl+a; type_line "$HOME_DIR/customers query.txt" 0.2
wait_gone "Save As"
shot 07-saved

click 310 94 0.2                   # Import Table
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$HOME_DIR/customers.csv" 0.2
wait_gone "Save My Table as"
wait_window "Zorv"                 # no spreadsheet here: "Vub could not open ..."
shot 08-imported
xdotool key Return
wait_gone "Zorv"

click 392 94 0.2                   # Exit: the changed export name asks to save
wait_window "Zorv"
shot 09-question
xdotool key alt+y
wait_exit "$pid"

"$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
click 203 94 0.2                   # Open
wait_window "Open"
xdotool key ctrl+a; type_line "$HOME_DIR/customers query.txt" 0.2
wait_gone "Open"
sleep 1.5
shot 10-reopened
click 392 94 0.2
wait_exit "$pid"
STEPS
OUT=$out ZORV=$zorv HOME_DIR=$home xvfb-run -a -s "-screen 0 1280x800x24" bash "$home/steps.sh"

# What the user would find afterwards.
status=0
check() { # description, command...
    if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; status=1; fi
}
csv=$home/customers.csv
doc="$home/customers query.txt"
check "the export holds two header lines and one row" test "$(wc -l <"$csv" 2>/dev/null)" -eq 3
check "the export's first line names the fields" grep -q $'^KNA1-KUNNR;KNA1-NAME1;KNA1-ORT01\r$' "$csv"
check "the exported row is customer 0000000001" grep -q '^0000000001;' "$csv"
check "the query keeps three fields" grep -q "^SFI           3 " "$doc"
check "the query keeps its option" grep -q "^ssOption 001 KNA1-KUNNR EQ '0000000001' " "$doc"
check "the query names its export file" grep -q "^MyTableF     $csv" "$doc"
check "the tree was kept" grep -qF "ssAddTab 002 Sales\\KNA1" "$home/Zorv.ini"
cp "$csv" "$doc" "$home/Zorv.ini" "$out/" 2>/dev/null || true
rm -rf "$home" "$runtime"
exit $status
