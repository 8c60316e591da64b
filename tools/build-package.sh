#!/usr/bin/env bash
# Builds the Debian package the way Debian's builders do: dpkg-buildpackage -b
# in a clean copy of the source (tracked and new files, never a build folder),
# so the work tree stays as it is. Leaves velmora_*.deb and its companions
# (debug symbols, .buildinfo, .changes) in WORK-DIR.
# Usage: tools/build-package.sh WORK-DIR [JOBS]
# DEB_BUILD_OPTIONS passes through; "nocheck" skips building and running the
# tests in the package build (make test runs them in the developer's build).
set -euo pipefail

source=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
work=$(cd "$1" && pwd)
jobs=${2:-$(nproc)}
version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
# One fixed folder per work folder: the compiler cache then finds the objects
# of the last package build (the compiler is told the source's path).
tree=$work/velmora-$version

# Two builds into one folder at once would mix their files.
exec 9>"$work/.lock"
flock 9

rm -rf "$tree" "$work"/velmora_* "$work"/velmora-dbgsym_*
mkdir -p "$tree"
if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        tar --null --files-from=- --ignore-failed-read -cf -) | tar -C "$tree" -xf -
else
    tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$tree" -xf -
fi
# debhelper gives the build a home of its own: keep the compiler cache of
# this machine (the project's CMake uses ccache when there is one).
if command -v ccache >/dev/null; then
    CCACHE_DIR=$(ccache -k cache_dir)
    export CCACHE_DIR
fi
# A make above this one (make package, make test) keeps its flags to itself.
unset MAKEFLAGS MFLAGS MAKELEVEL
(cd "$tree" && dpkg-buildpackage -b -us -uc "-j$jobs")
ls "$work"/velmora_"$version"_*.deb
