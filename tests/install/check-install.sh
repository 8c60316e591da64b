#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a desktop would find
# everything it needs; with "package", builds the Debian package instead and
# checks what it carries and depends on.
# Usage: check-install.sh install|package BUILD-DIR
set -euo pipefail

mode=$1
build=$(cd "$2" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

app_id=org.velmora.Velmora
programs=(velmora velmora-host)
[ -x "$build/src/app/velmora-tally" ] && programs+=(velmora-tally)

# The width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%d %d", $3 * 256 + $4, $7 * 256 + $8 }'; }

check_tree() {
    local root=$1
    for p in "${programs[@]}"; do
        [ -x "$root/bin/$p" ] || fail "bin/$p is missing or not executable"
    done
    local desktop=$root/share/applications/$app_id.desktop
    local metainfo=$root/share/metainfo/$app_id.metainfo.xml
    [ -f "$desktop" ] || fail "desktop entry missing"
    [ -f "$metainfo" ] || fail "AppStream metadata missing"
    for size in 48 128 256; do
        local icon=$root/share/icons/hicolor/${size}x${size}/apps/velmora.png
        if [ -f "$icon" ]; then
            [ "$(png_size "$icon")" = "$size $size" ] || fail "$icon is $(png_size "$icon"), not $size x $size"
        else
            fail "icon $size missing"
        fi
    done
    grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/velmora.svg" 2>/dev/null || fail "scalable icon missing"
    for page in man6/velmora.6 man6/velmora-host.6; do
        [ -f "$root/share/man/$page" ] || fail "man page $page missing"
    done
    if [[ " ${programs[*]} " == *" velmora-tally "* ]]; then
        [ -f "$root/share/man/man1/velmora-tally.1" ] || fail "man page velmora-tally.1 missing"
    fi
    # The modules the game loads on first use, where the programs look for them.
    for module in velmora-audio velmora-http; do
        compgen -G "$root/lib/velmora/$module.so" >/dev/null || compgen -G "$root/lib/*/velmora/$module.so" >/dev/null ||
            fail "module $module missing beside the programs' libraries"
    done
    grep -q 'The Velmora developers' "$root/share/doc/velmora/copyright" 2>/dev/null || fail "copyright missing"

    # What the menu entry names must be there: the program and the icon.
    if [ -f "$desktop" ]; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
        local exec icon
        exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        [ -x "$root/bin/$exec" ] || fail "the menu entry starts $exec, which is not installed"
        [ -f "$root/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "the menu entry's icon $icon is not installed"
    fi
    if [ -f "$metainfo" ]; then
        appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
            fail "the metadata does not launch the installed desktop entry"
    fi
    # Manual pages that man formats without a warning.
    if command -v man >/dev/null; then
        for page in "$root"/share/man/man*/*; do
            local warnings
            warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null || true)
            [ -z "$warnings" ] || fail "man $page: $warnings"
        done
    fi
}

case "$mode" in
install)
    cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
    check_tree "$scratch/prefix"
    # DESTDIR stages an install without touching the real prefix.
    DESTDIR="$scratch/stage" cmake --install "$build" --prefix /opt/velmora >/dev/null
    [ -x "$scratch/stage/opt/velmora/bin/velmora" ] || fail "DESTDIR install misplaced"
    ;;
package)
    (cd "$scratch" && cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >/dev/null)
    deb=$(ls "$scratch"/out/velmora_*.deb 2>/dev/null | head -n1)
    if [ -z "$deb" ]; then
        fail "no package built"
    else
        depends=$(dpkg-deb -f "$deb" Depends)
        for needed in libqt6widgets6 libqt6network6 libqt6multimedia6 libcurl4 fonts-dejavu-core; do
            [[ "$depends" == *"$needed"* ]] || fail "package does not depend on $needed: $depends"
        done
        [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "package section"
        dpkg-deb -x "$deb" "$scratch/unpacked"
        check_tree "$scratch/unpacked/usr"
    fi
    ;;
*)
    echo "usage: check-install.sh install|package BUILD-DIR" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
