#!/usr/bin/env bash
# The end-to-end runs, and the unit tests that look for cards, on a machine with a frame card
# plugged in: a card mounted under /media, in a mount namespace of this test's own. None of them may
# open it instead of their own drives, nor write to it. Without root (or unshare) there is no card
# to plug in, and only the end-to-end runs are made.
#   host-card.sh TESTS_APP EXECUTABLE DEMO_DRIVE OUTPUT_DIR
set -u
here="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -ne 0 ] || ! unshare --mount --propagation private true 2>/dev/null; then
    echo "no card plugged in: mounting one needs root and unshare"
    exec bash "$here/e2e.sh" "${@:2}"
fi
exec unshare --mount --propagation private bash -c '
    set -u
    here="$1"; tests_app="$2"; exe="$3"; demo="$4"; out="$5"
    mkdir -p /media "$out"
    # As a desktop mounts a card: a volume of its own, at /media/FRAME.
    mount -t tmpfs -o size=1m media /media
    mkdir /media/FRAME
    mount -t tmpfs -o size=8m hostcard /media/FRAME
    config=/media/FRAME/System/Configuration/Configuration.xml
    mkdir -p "$(dirname "$config")"
    cp "$demo/System/Configuration/Configuration.xml" "$config"
    touch -d "2001-09-09 01:46:40" "$config"
    before="$(stat -c %Y "$config")"
    rc=0
    QT_QPA_PLATFORM=offscreen "$tests_app" > "$out/tests-beside-a-card.log" 2>&1 ||
        { echo "FAILED: the unit tests beside a plugged-in card (log: $out/tests-beside-a-card.log)"; rc=1; }
    bash "$here/e2e.sh" "$exe" "$demo" "$out" || rc=1
    if ! cmp -s "$config" "$demo/System/Configuration/Configuration.xml" || [ "$(stat -c %Y "$config")" != "$before" ] ||
        [ "$(ls -A "$(dirname "$config")")" != "Configuration.xml" ]; then
        echo "FAILED: the card plugged into the machine was written"
        rc=1
    fi
    exit $rc' sh "$here" "$@"
