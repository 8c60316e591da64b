#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that a desktop would find
# everything it needs and that the installed programs start; with "package",
# builds the Debian package as `make package` does, runs lintian on it, unpacks
# it into a scratch root and checks the same there.
# Usage: check-install.sh install|package BUILD-DIR
set -euo pipefail

mode=$1
build=$(cd "$2" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-install.XXXXXX")
game=
cleanup() {
    [ -z "$game" ] || kill "$game" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

app_id=org.velmora.Velmora
programs=(velmora velmora-host velmora-lobby)
[ -x "$build/src/app/velmora-tally" ] && programs+=(velmora-tally)

# The width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%d %d", $3 * 256 + $4, $7 * 256 + $8 }'; }

# check_tree ROOT PREFIX BINDIR: the files of an install to PREFIX, found under
# ROOT (the same folder, or where a package was unpacked); the programs in
# PREFIX/BINDIR.
check_tree() {
    local root=$1 prefix=$2 bindir=$3
    for p in "${programs[@]}"; do
        [ -x "$root/$bindir/$p" ] || fail "$bindir/$p is missing or not executable"
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
    # Games and their tools have their pages in section 6 (compressed in the
    # package), and each page they refer to is there.
    for p in "${programs[@]}"; do
        compgen -G "$root/share/man/man6/$p.6*" >/dev/null || fail "man page $p.6 missing"
    done
    local ref
    for ref in $(zcat -f "$root"/share/man/man*/* | sed -n 's/^\.BR \([a-z\\-]*\) (\([0-9]\)).*/\1.\2/p' | tr -d '\\'); do
        compgen -G "$root/share/man/man${ref##*.}/$ref*" >/dev/null || fail "a manual page refers to $ref, which is missing"
    done
    # The modules the game loads on first use, where the programs look for them.
    for module in velmora-audio velmora-http velmora-net; do
        [ -f "$root/$bindir/../lib/velmora/$module.so" ] || fail "module $module missing from ../lib/velmora"
    done
    grep -q 'The Velmora developers' "$root/share/doc/velmora/copyright" 2>/dev/null || fail "copyright missing"

    # What the menu entry names must be there: the program, by its installed
    # path, and the icon.
    if [ -f "$desktop" ]; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
        local exec icon
        exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        [ "$exec" = "$prefix/$bindir/velmora" ] || fail "the menu entry starts $exec, not $prefix/$bindir/velmora"
        [ -f "$root/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "the menu entry's icon $icon is not installed"
        start_game "$root/${exec#"$prefix"/}" "$root/lib/velmora"
    fi
    # The lobby's entry starts it by its installed path and takes invitations.
    local lobby=$root/share/applications/org.velmora.Lobby.desktop
    if [ -f "$lobby" ]; then
        desktop-file-validate "$lobby" || fail "desktop-file-validate (lobby)"
        grep -qx "Exec=$prefix/$bindir/velmora-lobby %u" "$lobby" || fail "the lobby's entry does not start $prefix/$bindir/velmora-lobby %u"
        grep -qx 'MimeType=x-scheme-handler/velmora;' "$lobby" || fail "the lobby's entry does not open velmora:// invitations"
    else
        fail "the lobby's desktop entry is missing"
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
    check_tools "$root/$bindir"
}

# start_game PROGRAM MODULES: the game as the menu starts it, headless, until
# it has loaded its sound module (a solo game makes a sound at once), which
# must come from MODULES, beside the installed program: never the build's own.
start_game() {
    local program=$1 modules
    modules=$(realpath -m "$2")
    [ -x "$program" ] || { fail "the menu entry's program $program is not installed"; return; }
    mkdir -p "$scratch/home" "$scratch/runtime"
    chmod 700 "$scratch/runtime"
    HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime \
        QT_QPA_PLATFORM=offscreen "$program" >"$scratch/game.log" 2>&1 &
    game=$!
    local loaded=
    for _ in $(seq 600); do
        loaded=$(awk '$6 ~ /velmora-audio\.so$/ { print $6; exit }' "/proc/$game/maps" 2>/dev/null || true)
        [ -n "$loaded" ] && break
        kill -0 "$game" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$loaded" ]; then
        fail "the installed game did not load its sound module: $(cat "$scratch/game.log")"
    elif [ "$loaded" != "$modules/velmora-audio.so" ]; then
        fail "the installed game loaded $loaded, not the one in $modules"
    fi
    # Told to stop, it ends as if the player had closed it: its tally written.
    local status=0
    kill "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || status=$?
    game=
    [ "$status" -eq 0 ] || fail "the game told to stop ended with status $status: $(cat "$scratch/game.log")"
    [ -f "$(dirname "$program")/velmoratally.tld" ] || [ -f "$scratch/home/.config/velmora/velmoratally.tld" ] ||
        fail "the game told to stop did not write its tally"
}

# The window-less programs answer on the command line.
check_tools() {
    local bin=$1 out
    out=$(echo quit | timeout 60 "$bin/velmora-host" --port 0 2>&1) || fail "velmora-host --port 0: $out"
    [[ "$out" == *"listening on port"* ]] || fail "velmora-host did not listen: $out"
    if [ -x "$bin/velmora-tally" ]; then
        local status=0
        out=$("$bin/velmora-tally" 2>&1) || status=$?
        [ "$status" -eq 2 ] && [[ "$out" == Usage:* ]] || fail "velmora-tally without arguments: $status $out"
    fi
}

case "$mode" in
install)
    cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
    check_tree "$scratch/prefix" "$scratch/prefix" bin
    # DESTDIR stages an install without touching the real prefix.
    DESTDIR="$scratch/stage" cmake --install "$build" --prefix /opt/velmora >/dev/null
    [ -x "$scratch/stage/opt/velmora/bin/velmora" ] || fail "DESTDIR install misplaced"
    grep -qx 'Exec=/opt/velmora/bin/velmora' "$scratch/stage/opt/velmora/share/applications/$app_id.desktop" ||
        fail "a staged menu entry must start the program where it will be installed"
    ;;
package)
    # Built from the source as `make package` does, in a fixed folder of this
    # build, so that the compiler cache serves the next run.
    work=$build/package
    DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" \
        bash "$source/tools/build-package.sh" "$work" >"$scratch/build.log" 2>&1 ||
        { tail -n 40 "$scratch/build.log" >&2; fail "the package did not build"; }
    deb=$(ls "$work"/velmora_*.deb 2>/dev/null | head -n1)
    if [ -z "$deb" ]; then
        fail "no package built"
    else
        depends=$(dpkg-deb -f "$deb" Depends)
        for needed in libqt6widgets6 libqt6network6 libqt6multimedia6 libcurl4 fonts-dejavu-core; do
            [[ "$depends" == *"$needed"* ]] || fail "package does not depend on $needed: $depends"
        done
        [ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "package section"
        release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$source/resources/desktop/$app_id.metainfo.xml" | head -n1)
        [ "$(dpkg-deb -f "$deb" Version)" = "$release" ] ||
            fail "package version $(dpkg-deb -f "$deb" Version) is not the release $release (debian/changelog)"
        # Debian's own checks, errors and warnings alike. (lintian says on
        # stderr that it runs as root; that line is no finding.)
        if command -v lintian >/dev/null; then
            lintian_log=$scratch/lintian.log
            if ! lintian --fail-on error,warning "$deb" >"$lintian_log" 2>&1 || grep -qE '^[EW]: ' "$lintian_log"; then
                cat "$lintian_log" >&2
                fail "lintian found errors or warnings"
            fi
        else
            echo "lintian is not installed: Debian's checks skipped"
        fi
        dpkg-deb -x "$deb" "$scratch/root"
        check_tree "$scratch/root/usr" /usr games
        for page in "$scratch"/root/usr/share/man/man*/*; do
            [[ "$page" == *.gz ]] || fail "$page is not compressed"
        done
        [ -f "$scratch/root/usr/share/doc/velmora/changelog.gz" ] || fail "changelog missing"
        grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
            "$scratch/root/usr/share/doc/velmora/copyright" || fail "copyright is not in Debian's format"
    fi
    ;;
*)
    echo "usage: check-install.sh install|package BUILD-DIR" >&2
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all checks passed"
