#!/usr/bin/env bash
# Builds the Debian package of a build tree and checks it as a desktop and a distribution would:
# its files, its dependencies, and what desktop-file-validate, appstreamcli and lintian say.
#   package.sh BUILD_DIR EXPECTED_FILES
set -u
build="$1"
expected="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAILED: $*"; failed=1; }

# cpack rather than the package target: the tree is built already, and CTest may be running other
# tests from it at the same time.
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/dpf-settings_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "FAILED: no $deb"; exit 1; }

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$work/files.txt"
diff -u "$expected" "$work/files.txt" || fail "the package's files differ from $expected"

depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6widgets6* && "$depends" == *libtinyxml2.6.2v5* ]] || fail "Depends lacks a library: $depends"
[[ "$depends" == *qt6-qpa-plugins* ]] || fail "Depends lacks qt6-qpa-plugins, the X11 platform plugin: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = "qt6-wayland" ] || fail "Recommends is not qt6-wayland"
[ "$(dpkg-deb -f "$deb" Suggests)" = "network-manager" ] || fail "Suggests is not network-manager"
[[ "$depends" != *network-manager* ]] || fail "Depends names network-manager, which the program can do without"

dpkg-deb -x "$deb" "$work/root"
desktop="$work/root/usr/share/applications/dpf-settings.desktop"
out=$(desktop-file-validate "$desktop" 2>&1)
[ -z "$out" ] || fail "desktop-file-validate printed: $out"
grep -qx 'Exec=dpf-settings' "$desktop" || fail "the desktop entry does not start dpf-settings"

# With the network too: a URL the metainfo names must exist.
for net in --no-net ""; do
    out=$(appstreamcli validate $net --pedantic "$work/root"/usr/share/metainfo/*.metainfo.xml 2>&1) ||
        fail "appstreamcli $net refused the metainfo: $out"
done
grep -q '<launchable type="desktop-id">dpf-settings.desktop</launchable>' "$work/root"/usr/share/metainfo/*.metainfo.xml ||
    fail "the metainfo does not launch the desktop entry"

# Errors, warnings and any hardening tag fail the package; the other notes are shown for a person
# to read. Fortified functions need the optimiser: only an unoptimised build may lack them.
lintian --display-info "$deb" >"$work/lintian.txt" 2>/dev/null
echo "lintian: $([ -s "$work/lintian.txt" ] && cat "$work/lintian.txt" || echo '(nothing)')"
! grep -q '^[EW]:' "$work/lintian.txt" || fail "lintian reports errors or warnings"
unfortified=hardening-no-fortify-functions
grep -q '^CMAKE_BUILD_TYPE:STRING=Debug$' "$build/CMakeCache.txt" || unfortified=none
! grep ' hardening-' "$work/lintian.txt" | grep -qv " $unfortified " || fail "lintian reports a hardening tag"

gzip -t "$work/root/usr/share/man/man1/dpf-settings.1.gz" || fail "the manual page is no gzip file"
[ $failed -eq 0 ] && echo "package: $(basename "$deb") passed"
exit $failed
