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
printf '%s\r\n' "sSapLogon    " "FolderTable  " "TableFile    " "SGlobal      0.3.20" \
    "ChOpt        False" "OptEN        True" "OptPT        False" "OptCT        False" \
    "Tool         True" "Status       True" "z            ;" "fvubTop       0 " "fvubLeft      0 " \
    "fvubHeight    0 " "fvubWidth     0 " "SAT           0 " "FileZorv     " >"$home/Zorv.ini"

cat >"$home/steps.sh" <<'STEPS'
set -euo pipefail
shot() { import -window root "$OUT/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep "${3:-0.6}"; }
type_line() { xdotool type --delay 20 "$1"; xdotool key Return; sleep "${2:-1}"; }
menu() { # top-menu x, item y (items sit 22 px apart from y 90)
    click "$1" 68 0.4
    click "$1" "$2" 0.6
}

"$ZORV" &
pid=$!
sleep 2.5
shot 01-started

click 96 94 1                      # Connect
type_line welcome 1.5              # the dialog offers DEMO on the demo system
shot 02-connected

click 178 94 1                     # File > New (toolbar)
click 223 68 0.4; click 250 90 0.4; click 370 111 0.8   # Table > New > Folder
xdotool key ctrl+a; type_line Sales 0.8
click 223 68 0.4; click 250 90 0.4; click 367 89 0.8    # Table > New > Table (under Sales)
xdotool key ctrl+a; type_line KNA1 1.5
shot 03-tree

xdotool mousemove 130 178 click --repeat 2 --delay 80 1 # open KNA1
sleep 1.5
click 280 180 0.2; xdotool keydown ctrl; click 280 216 0.2; click 280 252 0.2; xdotool keyup ctrl
click 503 287 0.8                  # Copy to My Table
shot 04-mytable

menu 391 90                        # Options > Show Option
shot 05-editor
STEPS
OUT=$out ZORV=$zorv xvfb-run -a -s "-screen 0 1280x800x24" bash "$home/steps.sh"
