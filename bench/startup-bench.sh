#!/usr/bin/env bash
# Start-up time of the real editor, from process start to its window on the screen, side by side with
# a minimal Qt program that shows an empty dialog, in one X server (Xvfb). Prints the median of the
# runs of each and their ratio. Target: the editor at most 1.25 times the minimal program. The editor
# is also started with NetworkManager running, holding a saved connection of the first page's network,
# and with no system bus at all, to show what listing the saved Wi-Fi connections costs.
#   startup-bench.sh EDITOR MINIMAL DEMO_DRIVE [RUNS]
set -u
editor="$1"
minimal="$2"
demo="$3"
runs="${4:-15}"
. "$(dirname "$0")/x-server.sh"
. "$(dirname "$0")/network-manager.sh"
trap 'stop_network_manager; kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
timer="$(dirname "$editor")/WindowTimer"
nm_ok=1
start_network_manager "$work/nm" "Hendriksen Home" || { nm_ok=0; echo "NetworkManager could not be started here"; }

cp -r "$demo" "$work/drive"
editor_times=()
minimal_times=()
text_times=()
early_times=()
nm_times=()
nobus_times=()
# Interleaved, so that a slow spell of the machine costs both alike. A start that could not reach
# the X server (Xvfb refuses a connection now and then) is no sample.
for _ in $(seq $((3 * runs))); do
    [ ${#editor_times[@]} -ge "$runs" ] && [ ${#minimal_times[@]} -ge "$runs" ] && break
    t=$("$timer" Minimal -- "$minimal" 2>/dev/null) && [ ${#minimal_times[@]} -lt "$runs" ] && minimal_times+=("$t")
    t=$("$timer" "DPF Settings" -- "$editor" --drive "$work/drive" 2>/dev/null) && [ ${#editor_times[@]} -lt "$runs" ] && editor_times+=("$t")
    [ $nm_ok -eq 1 ] && t=$(DBUS_SYSTEM_BUS_ADDRESS="$nm_address" "$timer" "DPF Settings" -- "$editor" --drive "$work/drive" 2>/dev/null) &&
        [ ${#nm_times[@]} -lt "$runs" ] && nm_times+=("$t")
    t=$(DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus" "$timer" "DPF Settings" -- "$editor" --drive "$work/drive" 2>/dev/null) &&
        [ ${#nobus_times[@]} -lt "$runs" ] && nobus_times+=("$t")
    t=$("$timer" Minimal -- "$minimal" --with-text 2>/dev/null) && [ ${#text_times[@]} -lt "$runs" ] && text_times+=("$t")
    t=$("$timer" Minimal -- "$minimal" --with-text --read-fonts-early 2>/dev/null) && [ ${#early_times[@]} -lt "$runs" ] && early_times+=("$t")
done
m=$(printf '%s\n' "${minimal_times[@]}" | median)
e=$(printf '%s\n' "${editor_times[@]}" | median)
w=$(printf '%s\n' "${text_times[@]}" | median)
f=$(printf '%s\n' "${early_times[@]}" | median)
echo "start-up to window shown, median of $runs runs: minimal Qt dialog $m ms, dpf-settings on the demo drive $e ms"
awk -v e="$e" -v m="$m" 'BEGIN { r = e / m; printf "ratio: %.2f (target: at most 1.25): %s\n", r, r <= 1.25 ? "met" : "NOT met" }'
# For reference, not targets: the same dialog with a line of text and an OK button, and that dialog
# again reading the font configuration on a second thread, as the editor does.
reference() {
    awk -v what="$1" -v r="$2" -v m="$m" -v e="$e" 'BEGIN { printf "for reference: %s %s ms, %.2fx the empty one; dpf-settings %.2fx that\n", what, r, r / m, e / r }'
}
besides() {
    awk -v what="$1" -v t="$2" -v m="$m" -v e="$e" 'BEGIN { printf "dpf-settings %s: %s ms, %.2fx the minimal dialog, %.2fx as started above\n", what, t, t / m, t / e }'
}
[ $nm_ok -eq 1 ] && besides "with NetworkManager running (21 saved Wi-Fi connections, one the first page's)" \
    "$(printf '%s\n' "${nm_times[@]}" | median)"
besides "without a system bus" "$(printf '%s\n' "${nobus_times[@]}" | median)"
reference "the minimal dialog with a line of text and a button" "$w"
reference "the same, reading the font configuration on a second thread," "$f"
