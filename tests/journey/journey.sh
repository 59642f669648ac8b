#!/usr/bin/env bash
# A user's journey through the real zorv window under a virtual X server, driven with xdotool:
# log on to the demo system, create a folder and a table, open it, find fields with the filter
# and double-click them into My Table, preview with F5, drag two splitters and check where they
# landed, copy preview cells and compare the clipboard (xclip), add an option, save with Ctrl+S,
# export with Ctrl+E, the menu's Import Table (as text, then as a workbook), exit with Ctrl+Q and
# the save question, start again and reopen the query
# from the recent documents; then, in Portuguese, decline a recovered query and try a wrong
# password in the logon dialog; then the same way again with the keyboard alone (F10 to the
# menus, Enter in the tree and the field list), reopening the query open at the exit. Screenshots
# of the main steps go to the output folder.
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
settings() { # OptEN OptPT
    printf '%s\r\n' "sSapLogon    " "FolderTable  " "TableFile    " "SGlobal      0.3.20" \
        "ChOpt        False" "OptEN        $1" "OptPT        $2" "OptCT        False" \
        "Tool         True" "Status       True" "z            ;" "fvubTop       0 " "fvubLeft      0 " \
        "fvubHeight    0 " "fvubWidth     0 " "SAT           0 " "FileZorv     "
}
settings True False >"$home/Zorv.ini"
# A second program folder for the leg in Portuguese, a third for the keyboard's.
pt_home=$(mktemp -d)
settings False True >"$pt_home/Zorv.ini"
kb_home=$(mktemp -d)
settings True False >"$kb_home/Zorv.ini"

cat >"$home/steps.sh" <<'STEPS'
set -euo pipefail
pid=
# Whatever happens, no zorv outlives the journey.
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true' EXIT
shot() { import -window root "$OUT/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
double() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 1; sleep "${3:-1}"; }
type_line() { xdotool type --delay 20 "$1"; xdotool key Return; sleep "${2:-1}"; }
fail() { echo "FAILED: $*"; shot "failed"; exit 1; }
# On a loaded machine the X server may still be starting when this script runs.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# A server that never answered is the machine's fault, not Zorv's: the journey starts again.
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "the X server did not start"; exit 75; }
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
# The x of each pane frame's pixel on row y of a screenshot (frames are drawn grey72), and the
# y of each on column x: where the lines between the panes stand.
frames_on_row() { convert "$1" -crop "1280x1+0+$2" txt:- | awk -F'[ ,:]+' 'NR>1 && $NF=="grey72" {print $1}'; }
frames_on_column() { convert "$1" -crop "1x800+$2+0" txt:- | awk -F'[ ,:]+' 'NR>1 && $NF=="grey72" {print $2}'; }
# The first frame pixel at or after a place, with its neighbour: the edge of the next pane.
edge_after() { awk -v from="$1" '$1 >= from && prev == $1 - 1 && prev >= from {print prev; exit} {prev = $1}'; }
# The first frame pixel at or after a place: the bottom edge of the pane above a line (the
# preview's filter row lies between that edge and the grid's own frame).
frame_after() { awk -v from="$1" '$1 >= from {print; exit}'; }
# A drag as a hand makes it: press, move in steps, let go.
drag() { # x y dx dy
    xdotool mousemove "$1" "$2" mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove $(($1 + $3 * step / 4)) $(($2 + $4 * step / 4)); sleep 0.1
    done
    xdotool mouseup 1; sleep 0.6
}
clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }

"$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
# With nothing stored the window takes four fifths of the 1280 x 800 screen, in its middle.
geometry=$(xdotool search --onlyvisible --name "^Quillon for SAP R/3\$" getwindowgeometry)
echo "$geometry" | grep -q "Position: 128,80" || fail "placed at $geometry"
echo "$geometry" | grep -q "Geometry: 1024x640" || fail "sized $geometry"
shot 01-started

click 143 114 0.2                  # Connect
wait_window "SAP Logon"
type_line welcome 0.2              # the dialog offers DEMO on the demo system
wait_gone "SAP Logon"
sleep 1
shot 02-connected

click 640 400 0.3; xdotool key ctrl+n; sleep 1.5   # File > New by its keys
click 271 88 0.4; click 300 110 0.4; click 418 131 0.8  # Table > New > Folder
xdotool key ctrl+a; type_line Sales 0.8
click 271 88 0.4; click 300 110 0.4; click 415 110 0.8  # Table > New > Table (under Sales)
xdotool key ctrl+a; type_line KNA1 2
shot 03-tree

double 213 197 2                   # open KNA1
# Find each field by a part of its name and double-click it into My Table.
for field in kunnr name1 ort01; do
    xdotool key ctrl+f; xdotool type --delay 20 "$field"; sleep 0.6
    double 400 203 0.8
done
shot 04-mytable
click 546 163 0.2; xdotool key Escape; sleep 0.6   # Esc empties the filter

xdotool key F5; sleep 3            # Preview, by its key
shot 05-preview

# The line between the tree and the field list, dragged 80 pixels right from inside the
# tree's band, and the preview's top line 60 pixels up from inside its band. The keyboard
# focus goes to the field filter before each look: a list that has it (the tree, once pressed)
# is framed in the highlight colour, not in the grey the lines are found by.
xdotool key ctrl+f; sleep 0.3
before=$(import -window root png:- | { cat >"$HOME_DIR/before.png"; frames_on_row "$HOME_DIR/before.png" 300 | edge_after 300; })
drag 320 300 80 0; xdotool key ctrl+f; sleep 0.3
after=$(import -window root png:- | { cat >"$HOME_DIR/after.png"; frames_on_row "$HOME_DIR/after.png" 300 | edge_after 300; })
[ -n "$before" ] && [ -n "$after" ] || fail "no line between tree and field list ($before, $after)"
[ $((after - before - 80)) -ge -2 ] && [ $((after - before - 80)) -le 2 ] ||
    fail "the tree's line moved from $before to $after, not by 80"
top_before=$(frames_on_column "$HOME_DIR/after.png" 640 | frame_after 420)
drag 640 455 0 -60                 # on the filter row at the head of the preview
xdotool key ctrl+f; sleep 0.3
import -window root "$HOME_DIR/raised.png"
top_after=$(frames_on_column "$HOME_DIR/raised.png" 640 | frame_after 360)
[ $((top_after - top_before + 60)) -ge -2 ] && [ $((top_after - top_before + 60)) -le 2 ] ||
    fail "the preview's line moved from $top_before to $top_after, not by -60"
shot 06-splitters

# Two customers' numbers and names copied from the grid, as a spreadsheet takes them.
grid_top=$(frames_on_column "$HOME_DIR/raised.png" 640 | frame_after $((top_after + 2)))
cell_y=$((grid_top + 26))         # the first row, under the header
click 200 "$cell_y" 0.3
xdotool keydown shift; click 300 $((cell_y + 18)) 0.3; xdotool keyup shift
xdotool key ctrl+c; sleep 0.5
clipboard >"$HOME_DIR/copied.txt"
xdotool key ctrl+shift+c; sleep 0.5
clipboard >"$HOME_DIR/copied-with-headers.txt"
shot 07-copied

click 439 88 0.4; click 470 110 0.8   # Options > Show Option
shot 08-editor
click 800 372 0.3; xdotool type --delay 20 "kunnr"   # the field box completes from any part
sleep 0.5; shot 09-completing
xdotool key Down Return; sleep 0.3
click 925 372 0.5; xdotool key Escape Down; sleep 0.3     # operator: EQ, the first
click 1020 372 0.3; xdotool type --delay 20 "'0000000001'"
click 1136 372 1                   # Add Option
shot 09-option


click 400 709 0.2; xdotool key F5; sleep 3
shot 10-preview

xdotool key ctrl+s                 # Save: the dialog asks for a name
wait_window "Save As"
xdotool key ctrl+a; type_line "$HOME_DIR/customers query.txt" 0.2
wait_gone "Save As"
shot 11-saved

click 400 709 0.2; xdotool key ctrl+e   # Import Table
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$HOME_DIR/customers.csv" 0.2
wait_gone "Save My Table as"
wait_window "Zorv"                 # no spreadsheet here: "Vub could not open ..."
shot 12-exported
xdotool key Return; sleep 0.8
wait_window "Zorv"                 # "Open the folder that holds it instead?"
shot 12-folder-offered
xdotool key alt+n
wait_gone "Zorv"

click 400 709 0.2; xdotool key ctrl+e   # Import Table again, the name asking for a workbook
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$HOME_DIR/customers.xlsx" 0.2
wait_gone "Save My Table as"
wait_window "Zorv"
xdotool key Return; sleep 0.8
wait_window "Zorv"
xdotool key alt+n
wait_gone "Zorv"

click 400 709 0.2; xdotool key ctrl+q   # Exit: the changed export name asks to save
wait_window "Zorv"
shot 13-question
xdotool key alt+y
wait_exit "$pid"

"$ZORV" &
pid=$!
wait_window "Zorv"                 # the query open at the exit is offered: No, from the list
shot 14-offered
xdotool key alt+n
wait_gone "Zorv"
wait_window "Quillon for SAP R/3"
click 231 88 0.6                   # File: the query saved last is the first recent document
shot 14-recent
click 300 249 0.2
sleep 1.5
shot 15-reopened
# Saved straight back: the window holds that document, no dialog asks for a name.
touch -d '-2 seconds' "$HOME_DIR/before-reopen"
click 400 709 0.2; xdotool key ctrl+s; sleep 1
click 400 709 0.2; xdotool key ctrl+q
wait_exit "$pid"

# In Portuguese: the question about a query kept from a run that ended unsaved, then the logon
# dialog and a wrong password. The windows are found by their Portuguese titles.
mkdir -p "$PT_HOME/Recovered queries"
cp "$HOME_DIR/customers query.txt" "$PT_HOME/Recovered queries/01 Quillon1.txt"
ZORV_HOME=$PT_HOME "$ZORV" &
pid=$!
wait_window "Zorv"                 # "O Zorv terminou antes de salvar estas consultas: ..."
shot pt-01-recovery
xdotool key Escape                 # Não
wait_gone "Zorv"
wait_window "Quillon for SAP R/3"
click 143 114 0.2                  # Conectar
wait_window "Logon no SAP"
shot pt-02-logon
type_line nope 2                   # a wrong password: the dialog asks again, saying why
wait_window "Logon no SAP"
shot pt-03-wrong-password
xdotool key Escape
wait_gone "Logon no SAP"
click 640 400 0.3; xdotool key ctrl+q
wait_exit "$pid"

# With the keyboard alone, in a program folder of its own: no mouse event from here on, only
# keys. Without a window manager no window takes the keyboard back when a dialog closes: the
# main window is given it (xdotool windowfocus, no mouse event), as a window manager would.
focus_window() {
    xdotool search --onlyvisible --name "^$1\$" | head -1 | xargs xdotool windowfocus --sync
    sleep 0.3
}
focus_main() { focus_window "Quillon for SAP R/3"; }
ZORV_HOME=$KB_HOME "$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
focus_main
xdotool key F10; sleep 0.5         # the first menu, R/3 System
shot kb-01-menu
xdotool key Down Return            # Connect
wait_window "SAP Logon"
type_line welcome 0.2
wait_gone "SAP Logon"
sleep 1
focus_main
xdotool key ctrl+n; sleep 1.5      # File > New
xdotool key alt+t; sleep 0.4       # Table > New > Folder
xdotool key Right; sleep 0.4; xdotool key Down Return; sleep 0.8
xdotool key ctrl+a; type_line Sales 0.8
xdotool key alt+t; sleep 0.4       # Table > New > Table, under Sales
xdotool key Right; sleep 0.4; xdotool key Return; sleep 0.8
xdotool key ctrl+a; type_line KNA1 2
shot kb-02-tree
xdotool key Return; sleep 2        # Enter opens the selected table
for field in kunnr name1 ort01; do  # found with the filter, copied with Enter
    xdotool key ctrl+f ctrl+a; xdotool type --delay 20 "$field"; sleep 0.6
    xdotool key Down space Return; sleep 0.8
done
shot kb-03-mytable
xdotool key Tab; sleep 0.4         # on from the field list to My Table, marked
shot kb-04-focus
xdotool key F5; sleep 3            # Preview
shot kb-05-preview
xdotool key ctrl+e                 # Import Table
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$KB_HOME/keys.csv" 0.2
wait_gone "Save My Table as"
wait_window "Zorv"                 # "Vub could not open ..."
focus_window "Zorv"
xdotool key Return; sleep 0.8
wait_window "Zorv"                 # its folder offered instead
focus_window "Zorv"
shot kb-06-folder-offered
xdotool key alt+n
wait_gone "Zorv"
focus_main
xdotool key ctrl+s                 # Save
wait_window "Save As"
xdotool key ctrl+a; type_line "$KB_HOME/keys query.txt" 0.2
wait_gone "Save As"
focus_main
xdotool key ctrl+q                 # Exit
wait_exit "$pid"
ZORV_HOME=$KB_HOME "$ZORV" &
pid=$!
wait_window "Zorv"                 # the query open at the exit, offered again
focus_window "Zorv"
shot kb-07-reopen-offered
xdotool key alt+y
wait_gone "Zorv"
sleep 1.5
focus_main
shot kb-08-reopened
touch -d '-2 seconds' "$KB_HOME/before-save"
xdotool key ctrl+s; sleep 1        # saved straight back: the window holds the document
xdotool key ctrl+q
wait_exit "$pid"
STEPS
journey() {
    OUT=$out ZORV=$zorv HOME_DIR=$home PT_HOME=$pt_home KB_HOME=$kb_home \
        xvfb-run -a -s "-screen 0 1280x800x24" bash "$home/steps.sh"
}
journey || { rc=$?; [ "$rc" -eq 75 ] && journey; } || exit

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
check "the query names its last export file" grep -q "^MyTableF     $home/customers.xlsx" "$doc"
check "the workbook holds the customer as text under two frozen header rows" test \
    "$(/usr/bin/python3 -c 'import openpyxl, sys
s = openpyxl.load_workbook(sys.argv[1]).active
print(s["A1"].value, s["A3"].value, s.freeze_panes, s.max_row)' "$home/customers.xlsx" 2>&1)" = \
    "KNA1-KUNNR 0000000001 A3 3"
check "the tree was kept" grep -qF "ssAddTab 002 Sales\\KNA1" "$home/Zorv.ini"
# The cells copied from the preview, as the system holds them.
"$zorv" read-table KNA1 --fields KUNNR,NAME1 --rowcount 2 --delimiter '|' 2>/dev/null |
    awk -F'|' 'data {sub(/ +$/, "", $1); sub(/ +$/, "", $2); print $1 "\t" $2} /^$/ {data = 1}' \
        >"$home/expected.txt"
check "the copied cells are the customers' numbers and names" cmp -s "$home/expected.txt" "$home/copied.txt"
{ printf 'KNA1-KUNNR\tKNA1-NAME1\n'; cat "$home/expected.txt"; } >"$home/expected-with-headers.txt"
check "Copy with Headers adds the field names" cmp -s "$home/expected-with-headers.txt" "$home/copied-with-headers.txt"
check "the recent documents are a file of their own" grep -qF "customers query.txt" "$home/Recent.txt"
check "the query reopened from the recent documents saves straight back" \
    test "$doc" -nt "$home/before-reopen"
check "in Portuguese, the kept query was offered and put away when declined" \
    test -z "$(ls -A "$pt_home/Recovered queries" 2>/dev/null)"
kb_csv=$kb_home/keys.csv
kb_doc="$kb_home/keys query.txt"
check "by keys alone, the export holds two header lines and 20 rows (the row limit)" \
    test "$(wc -l <"$kb_csv" 2>/dev/null)" -eq 22
check "by keys alone, the export's first line names the fields" \
    grep -q $'^KNA1-KUNNR;KNA1-NAME1;KNA1-ORT01\r$' "$kb_csv"
check "by keys alone, the query keeps three fields" grep -q "^SFI           3 " "$kb_doc"
check "by keys alone, the tree holds the table" grep -qF "ssAddTab 002 Sales\\KNA1" "$kb_home/Zorv.ini"
check "the query open at the exit was reopened and saves straight back" \
    test "$kb_doc" -nt "$kb_home/before-save"
cp "$csv" "$doc" "$home/Zorv.ini" "$home/copied.txt" "$home/expected.txt" "$out/" 2>/dev/null || true
rm -rf "$home" "$pt_home" "$kb_home" "$runtime"
exit $status
