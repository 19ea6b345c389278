#!/usr/bin/env bash
# A heavy user's card (10,000 contacts, 10,000 approved and 10,000 denied senders, 10,000 feeds) side
# by side with the demo drive and a minimal Qt dialog, in one X server: what the heavy file adds to
# the start-up, and what opening both list pages and one OK take until the editor has ended, each
# as a ratio to the minimal dialog's start-up. Medians of the runs.
#   heavy-bench.sh EDITOR MINIMAL PAGEBENCH DEMO_DRIVE [RUNS]
set -u
editor="$1"
minimal="$2"
pagebench="$3"
demo="$4"
runs="${5:-7}"
. "$(dirname "$0")/x-server.sh"
"$pagebench" --write-drive "$work/heavy-original"

timer="$(dirname "$editor")/WindowTimer"
minimal_t=() demo_t=() heavy_t=() confirm_t=()
for _ in $(seq "$runs"); do
    t=$("$timer" Minimal -- "$minimal" 2>/dev/null) && minimal_t+=("$t")
    rm -rf "$work/demo" && cp -r "$demo" "$work/demo"
    t=$("$timer" "DPF Settings" -- "$editor" --drive "$work/demo" 2>/dev/null) && demo_t+=("$t")
    rm -rf "$work/heavy" && cp -r "$work/heavy-original" "$work/heavy"
    # The heavy card has no networks: the sheet opens on Email. On to the Address Book, to Internet
    # Content Sharing, and OK; timed until the program has ended.
    read -r t c < <(timeout 60 "$timer" --prepare 'xdotool windowfocus --sync "$WINDOW"' --then 'xdotool key --delay 0 ctrl+Tab ctrl+Tab Return' \
        "DPF Settings" -- "$editor" --drive "$work/heavy" 2>/dev/null) || continue
    heavy_t+=("$t")
    confirm_t+=("$c")
done
m=$(printf '%s\n' "${minimal_t[@]}" | median)
d=$(printf '%s\n' "${demo_t[@]}" | median)
h=$(printf '%s\n' "${heavy_t[@]}" | median)
c=$(printf '%s\n' "${confirm_t[@]}" | median)
echo "medians of $runs runs: minimal Qt dialog $m ms, demo drive $d ms, heavy card $h ms, both list pages and OK $c ms"
awk -v m="$m" -v d="$d" -v h="$h" -v c="$c" 'BEGIN {
    s = (h - d) / m; p = c / m
    printf "heavy card adds to the start-up: %.2fx the minimal dialog (target: at most 3): %s\n", s, s <= 3 ? "met" : "NOT met"
    printf "opening both list pages and OK: %.2fx the minimal dialog (target: at most 4): %s\n", p, p <= 4 ? "met" : "NOT met"
}'
