#!/usr/bin/env bash
# Starts the editor on a drive for a few seconds and fails if Qt looked at any image plugin.
#   no-image-plugins.sh EDITOR DRIVE
out=$(QT_QPA_PLATFORM=offscreen QT_DEBUG_PLUGINS=1 timeout 8 "$1" --drive "$2" 2>&1)
# Qt looks for accessibility plugins when the first window is shown.
grep -q 'plugins/accessible' <<<"$out" || { echo "the editor showed no window:"; echo "$out" | tail; exit 1; }
! grep 'imageformats/' <<<"$out"
