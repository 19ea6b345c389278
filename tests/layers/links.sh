#!/usr/bin/env bash
# The layers as the linker sees them: no library may need a symbol that only a library above it (or
# beside it) defines, whatever its sources include. Fails naming each such symbol, demangled, with
# the library that needs it and the one that has it.
#   links.sh BUILD_DIR
cd "$1" || exit 1
# Each library, and the libraries it may use.
declare -A below=(
    [dpf_platform]=""
    [dpf_ui]="dpf_platform"
    [dpf_documents]="dpf_platform"
    [dpf_pages]="dpf_ui dpf_documents dpf_platform"
    [dpf_app]="dpf_pages dpf_ui dpf_documents dpf_platform"
)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for lib in "${!below[@]}"; do
    [ -f "lib$lib.a" ] || { echo "lib$lib.a is not built"; exit 1; }
    nm -g --defined-only "lib$lib.a" 2>/dev/null | awk 'NF == 3 { print $3 }' | sort -u >"$work/$lib.defined"
    nm -g --undefined-only "lib$lib.a" 2>/dev/null | awk '{ print $NF }' | sort -u >"$work/$lib.needed"
done
failed=0
for lib in "${!below[@]}"; do
    # What the library needs and neither it nor a library below it defines...
    cp "$work/$lib.needed" "$work/open"
    for allowed in "$lib" ${below[$lib]}; do
        comm -23 "$work/open" "$work/$allowed.defined" >"$work/rest"
        mv "$work/rest" "$work/open"
    done
    # ...is an arrow that runs up when another of our libraries defines it.
    for other in "${!below[@]}"; do
        [ "$other" = "$lib" ] && continue
        comm -12 "$work/open" "$work/$other.defined" | while read -r symbol; do
            echo "$lib needs $(c++filt "$symbol"), which only $other defines"
        done
    done
done >"$work/report"
if [ -s "$work/report" ]; then
    echo "calls against the layers:"
    sort "$work/report"
    exit 1
fi
echo "the libraries link downward only"
