#!/usr/bin/env bash
# Starts the editor on a drive in an X server for a few seconds and fails if Qt so much as looked
# into the folders of image or icon plugins: even listing them reads every plugin file installed. X,
# because that is where the window icon is drawn at once.
#   no-image-plugins.sh EDITOR DRIVE
# Xvfb picks a free display and writes its number once it takes clients.
display=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$display"' EXIT
for _ in $(seq 100); do [ -s "$display" ] && break; sleep 0.1; done
out=$(DISPLAY=":$(cat "$display")" QT_QPA_PLATFORM=xcb QT_DEBUG_PLUGINS=1 timeout 8 "$1" --drive "$2" 2>&1)
# Qt looks for accessibility plugins when the first window is shown.
grep -q 'plugins/accessible' <<<"$out" || { echo "the editor showed no window:"; echo "$out" | tail; exit 1; }
! grep -E 'imageformats|iconengines' <<<"$out"
