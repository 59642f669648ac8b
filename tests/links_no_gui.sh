#!/bin/sh
# Fails when one of the given executables needs Qt Gui or Qt Widgets.
status=0
for file in "$@"; do
    if ldd "$file" | grep -E 'libQt6(Gui|Widgets)' >/dev/null; then
        echo "$file links Qt Gui or Qt Widgets"
        status=1
    fi
done
[ "$status" -eq 0 ] && echo "$# executables, none links Qt Gui or Qt Widgets"
exit "$status"
