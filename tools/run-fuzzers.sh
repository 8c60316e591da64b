#!/usr/bin/env bash
# Runs every libFuzzer target in a build folder for a bounded time, each
# from its committed seeds (fuzz/corpus/<name>), with new inputs kept in a
# scratch corpus inside the build folder. Any finding fails the run.
#   tools/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build="$(cd "${1:?build folder}" && pwd)"
seconds=${2:-20}
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for target in "$build"/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    name=$(basename "$target")
    name=${name#fuzz_}
    work="$build/corpus/$name"
    mkdir -p "$work"
    echo "fuzz: $name for ${seconds}s"
    if ! (cd "$build" && "$target" -max_total_time="$seconds" -print_final_stats=1 \
            "$work" "$root/fuzz/corpus/$name" 2>"$build/$name.log"); then
        echo "fuzz: $name FOUND A PROBLEM:" >&2
        tail -40 "$build/$name.log" >&2
        status=1
    else
        grep -E '^stat::number_of_executed_units' "$build/$name.log" | sed "s/^/fuzz: $name /"
    fi
done
exit $status
