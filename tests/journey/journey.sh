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
fail() { echo "FAILED: $*"; shot "failed"; exit 1; }
# Each step waits for what it expects to see, never for a time: the screen changing (a menu
# opening, a list filling) and then holding still, a window with a title, a file, the
# clipboard. Every wait gives up after 20 seconds, saying which step it was.
screen() { import -window root rgb:- | md5sum; }
# The screen differs from the one before the step ($1) and then holds still for one look.
wait_change() { # before, step
    local now last=
    for _ in $(seq 100); do
        now=$(screen)
        [ "$now" != "$1" ] && [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.1
    done
    fail "the screen did not change after $2"
}
# The screen holds still: the step's drawing is done, whether it showed anything or not.
wait_still() { # step
    local now last=
    for _ in $(seq 100); do
        now=$(screen)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 0.1
    done
    fail "the screen did not settle after $1"
}
# Clicks, keys and typing that show something: each waits for the screen to change.
click() { local b; b=$(screen); xdotool mousemove "$1" "$2" click 1; wait_change "$b" "a click at $1,$2"; }
double() {
    local b; b=$(screen)
    xdotool mousemove "$1" "$2" click --repeat 2 --delay 80 1
    wait_change "$b" "a double click at $1,$2"
}
keys() { local b; b=$(screen); xdotool key "$@"; wait_change "$b" "the keys $*"; }
type_text() { local b; b=$(screen); xdotool type --delay 20 "$1"; wait_change "$b" "typing $1"; }
# Typed, then Return; the line's effect shows (a name taken, a dialog closing).
type_line() { type_text "$1"; keys Return; }
# A click that only gives the keyboard to a window or a box, which may show no change. The keys
# after it go to the window X gives the focus to, so X must have taken the click first.
focus_click() {
    xdotool mousemove "$1" "$2" click 1
    sleep 0.2
}
# A file that is there and has stopped growing: written whole.
wait_file() { # path
    local size last=-1
    for _ in $(seq 200); do
        size=$(stat -c %s "$1" 2>/dev/null || echo -1)
        [ "$size" -ge 0 ] && [ "$size" = "$last" ] && return 0
        last=$size
        sleep 0.1
    done
    fail "no file $1"
}
# A file written since the stamp file was.
wait_newer() { # path, stamp
    for _ in $(seq 200); do
        [ "$1" -nt "$2" ] && return 0
        sleep 0.1
    done
    fail "$1 was not written again"
}
# The clipboard holds something other than what it held before.
wait_clipboard() { # before
    local now
    for _ in $(seq 200); do
        now=$(clipboard)
        [ -n "$now" ] && [ "$now" != "$1" ] && return 0
        sleep 0.1
    done
    fail "the clipboard did not change"
}
# On a loaded machine the X server may still be starting when this script runs.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
# A server that never answered is the machine's fault, not Zorv's: the journey starts again.
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "the X server did not start"; exit 75; }
# Dialogs are windows of their own: wait for them by title rather than by the clock.
wait_window() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && { wait_still "$1 shown"; return 0; }
        sleep 0.1
    done
    echo "no window titled $1"; shot "missing-$1"; return 1
}
wait_gone() {
    for _ in $(seq 200); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || { wait_still "$1 closed"; return 0; }
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
clipboard() { xclip -o -selection clipboard 2>/dev/null || true; }
# A drag as a hand makes it: press, move in steps, let go. Qt takes the motions that X sends
# at once as one, so each step is given a tenth of a second to be seen as a step.
drag() { # x y dx dy
    local b; b=$(screen)
    xdotool mousemove "$1" "$2" mousedown 1
    for step in 1 2 3 4; do
        xdotool mousemove $(($1 + $3 * step / 4)) $(($2 + $4 * step / 4)); sleep 0.1
    done
    xdotool mouseup 1
    wait_change "$b" "a drag from $1,$2"
}

"$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
# With nothing stored the window takes four fifths of the 1280 x 800 screen, in its middle.
geometry=$(xdotool search --onlyvisible --name "^Quillon for SAP R/3\$" getwindowgeometry)
echo "$geometry" | grep -q "Position: 128,80" || fail "placed at $geometry"
echo "$geometry" | grep -q "Geometry: 1024x640" || fail "sized $geometry"
shot 01-started

xdotool mousemove 143 114 click 1  # Connect
wait_window "SAP Logon"
type_line welcome                  # the dialog offers DEMO on the demo system
wait_gone "SAP Logon"
shot 02-connected

focus_click 640 400; keys ctrl+n   # File > New by its keys
click 271 88; click 300 110; click 418 131   # Table > New > Folder
xdotool key ctrl+a; type_line Sales
click 271 88; click 300 110; click 415 110   # Table > New > Table (under Sales)
xdotool key ctrl+a; type_line KNA1
shot 03-tree

double 213 197                     # open KNA1
# Find each field by a part of its name and double-click it into My Table.
for field in kunnr name1 ort01; do
    xdotool key ctrl+f; type_text "$field"
    double 400 203
done
shot 04-mytable
focus_click 546 163; keys Escape   # Esc empties the filter

keys F5                            # Preview, by its key
shot 05-preview

# The line between the tree and the field list, dragged 80 pixels right from inside the
# tree's band, and the preview's top line 60 pixels up from inside its band. The keyboard
# focus goes to the field filter before each look: a list that has it (the tree, once pressed)
# is framed in the highlight colour, not in the grey the lines are found by.
xdotool key ctrl+f; wait_still "the focus in the field filter"
before=$(import -window root png:- | { cat >"$HOME_DIR/before.png"; frames_on_row "$HOME_DIR/before.png" 300 | edge_after 300; })
drag 320 300 80 0; xdotool key ctrl+f; wait_still "the focus in the field filter"
after=$(import -window root png:- | { cat >"$HOME_DIR/after.png"; frames_on_row "$HOME_DIR/after.png" 300 | edge_after 300; })
[ -n "$before" ] && [ -n "$after" ] || fail "no line between tree and field list ($before, $after)"
[ $((after - before - 80)) -ge -2 ] && [ $((after - before - 80)) -le 2 ] ||
    fail "the tree's line moved from $before to $after, not by 80"
top_before=$(frames_on_column "$HOME_DIR/after.png" 640 | frame_after 420)
drag 640 455 0 -60                 # on the filter row at the head of the preview
xdotool key ctrl+f; wait_still "the focus in the field filter"
import -window root "$HOME_DIR/raised.png"
top_after=$(frames_on_column "$HOME_DIR/raised.png" 640 | frame_after 360)
[ $((top_after - top_before + 60)) -ge -2 ] && [ $((top_after - top_before + 60)) -le 2 ] ||
    fail "the preview's line moved from $top_before to $top_after, not by -60"
shot 06-splitters

# Two customers' numbers and names copied from the grid, as a spreadsheet takes them.
grid_top=$(frames_on_column "$HOME_DIR/raised.png" 640 | frame_after $((top_after + 2)))
cell_y=$((grid_top + 26))         # the first row, under the header
click 200 "$cell_y"
xdotool keydown shift; click 300 $((cell_y + 18)); xdotool keyup shift
held=$(clipboard)
xdotool key ctrl+c; wait_clipboard "$held"
clipboard >"$HOME_DIR/copied.txt"
xdotool key ctrl+shift+c; wait_clipboard "$(cat "$HOME_DIR/copied.txt")"
clipboard >"$HOME_DIR/copied-with-headers.txt"
shot 07-copied

click 439 88; click 470 110        # Options > Show Option
shot 08-editor
focus_click 800 372; type_text "kunnr"   # the field box completes from any part
shot 09-completing
keys Down Return
click 925 372; keys Escape Down    # operator: EQ, the first
focus_click 1020 372; type_text "'0000000001'"
click 1136 372                     # Add Option
shot 09-option


focus_click 400 709; keys F5
shot 10-preview

xdotool key ctrl+s                 # Save: the dialog asks for a name
wait_window "Save As"
xdotool key ctrl+a; type_line "$HOME_DIR/customers query.txt"
wait_gone "Save As"
wait_file "$HOME_DIR/customers query.txt"
shot 11-saved

focus_click 400 709; xdotool key ctrl+e   # Import Table
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$HOME_DIR/customers.csv"
wait_gone "Save My Table as"
wait_window "Zorv"                 # no spreadsheet here: "Vub could not open ..."
wait_file "$HOME_DIR/customers.csv"
shot 12-exported
keys Return
wait_window "Zorv"                 # "Open the folder that holds it instead?"
shot 12-folder-offered
xdotool key alt+n
wait_gone "Zorv"

focus_click 400 709; xdotool key ctrl+e   # Import Table again, the name asking for a workbook
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$HOME_DIR/customers.xlsx"
wait_gone "Save My Table as"
wait_window "Zorv"
wait_file "$HOME_DIR/customers.xlsx"
keys Return
wait_window "Zorv"
xdotool key alt+n
wait_gone "Zorv"

focus_click 400 709; xdotool key ctrl+q   # Exit: the changed export name asks to save
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
click 231 88                       # File: the query saved last is the first recent document
shot 14-recent
click 300 249
shot 15-reopened
# Saved straight back: the window holds that document, no dialog asks for a name.
touch -d '-2 seconds' "$HOME_DIR/before-reopen"
focus_click 400 709; xdotool key ctrl+s
wait_newer "$HOME_DIR/customers query.txt" "$HOME_DIR/before-reopen"
focus_click 400 709; xdotool key ctrl+q
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
xdotool mousemove 143 114 click 1  # Conectar
wait_window "Logon no SAP"
shot pt-02-logon
type_line nope                     # a wrong password: the dialog asks again, saying why
wait_window "Logon no SAP"
shot pt-03-wrong-password
xdotool key Escape
wait_gone "Logon no SAP"
focus_click 640 400; xdotool key ctrl+q
wait_exit "$pid"

# With the keyboard alone, in a program folder of its own: no mouse event from here on, only
# keys. Without a window manager no window takes the keyboard back when a dialog closes: the
# main window is given it (xdotool windowfocus, no mouse event), as a window manager would.
focus_window() {
    xdotool search --onlyvisible --name "^$1\$" | head -1 | xargs xdotool windowfocus --sync
    wait_still "the keyboard given to $1"
}
focus_main() { focus_window "Quillon for SAP R/3"; }
ZORV_HOME=$KB_HOME "$ZORV" &
pid=$!
wait_window "Quillon for SAP R/3"
focus_main
keys F10                           # the first menu, R/3 System
shot kb-01-menu
xdotool key Down Return            # Connect
wait_window "SAP Logon"
type_line welcome
wait_gone "SAP Logon"
focus_main
keys ctrl+n                        # File > New
keys alt+t                         # Table > New > Folder
keys Right; keys Down Return
xdotool key ctrl+a; type_line Sales
keys alt+t                         # Table > New > Table, under Sales
keys Right; keys Return
xdotool key ctrl+a; type_line KNA1
shot kb-02-tree
keys Return                        # Enter opens the selected table
for field in kunnr name1 ort01; do  # found with the filter, copied with Enter
    xdotool key ctrl+f ctrl+a; type_text "$field"
    keys Down space Return
done
shot kb-03-mytable
keys Tab                           # on from the field list to My Table, marked
shot kb-04-focus
keys F5                            # Preview
shot kb-05-preview
xdotool key ctrl+e                 # Import Table
wait_window "Save My Table as"
xdotool key ctrl+a; type_line "$KB_HOME/keys.csv"
wait_gone "Save My Table as"
wait_window "Zorv"                 # "Vub could not open ..."
wait_file "$KB_HOME/keys.csv"
focus_window "Zorv"
keys Return
wait_window "Zorv"                 # its folder offered instead
focus_window "Zorv"
shot kb-06-folder-offered
xdotool key alt+n
wait_gone "Zorv"
focus_main
xdotool key ctrl+s                 # Save
wait_window "Save As"
xdotool key ctrl+a; type_line "$KB_HOME/keys query.txt"
wait_gone "Save As"
wait_file "$KB_HOME/keys query.txt"
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
focus_main
shot kb-08-reopened
touch -d '-2 seconds' "$KB_HOME/before-save"
xdotool key ctrl+s                 # saved straight back: the window holds the document
wait_newer "$KB_HOME/keys query.txt" "$KB_HOME/before-save"
xdotool key ctrl+q
wait_exit "$pid"
STEPS
# Without -noreset the server resets whenever its last client leaves (between one zorv's exit
# and the next one's start), and a program connecting during that reset is refused.
journey() {
    OUT=$out ZORV=$zorv HOME_DIR=$home PT_HOME=$pt_home KB_HOME=$kb_home \
        xvfb-run -a -s "-screen 0 1280x800x24 -noreset" bash "$home/steps.sh"
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
