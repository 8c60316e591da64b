#!/usr/bin/env bash
# Fails when a file under src/ includes a folder its layer may not use: the
# layers of the README's "How it fits together", each using only those below.
# Usage: check-layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}

declare -A may_use=(
    [base]=""
    [game]="base"
    [protocol]="base game plugins"
    [media]="base game"
    [plugins]="base"
    [art]="base"
    [records]="base game media"
    [host]="base game protocol"
    [network]="base game protocol host records"
    [core]="base game protocol media records host network"
    [controls]="base art"
    [chat]="base art controls media plugins"
    [windows]="base art controls plugins records media game"
    [client]="base game protocol media records host network core art controls chat windows plugins"
    [lobby]="base game protocol media records network art controls windows plugins"
    [app]="base game protocol media records host network core art controls chat windows plugins client lobby"
)

status=0
for dir in "$src"/*/; do
    layer=$(basename "$dir")
    if [[ ! -v may_use[$layer] ]]; then
        echo "check-layers: src/$layer is in no layer; add it to tools/check-layers.sh and the README" >&2
        status=1
        continue
    fi
    allowed=" $layer ${may_use[$layer]} "
    # Quoted includes that name a folder of src/ ("host/tserver.h").
    while IFS=: read -r file line used; do
        [[ -d "$src/$used" ]] || continue
        if [[ "$allowed" != *" $used "* ]]; then
            echo "${file#"$src"/}:$line: src/$layer may not include src/$used" >&2
            status=1
        fi
    done < <(grep -rnoE '^#include "[a-z]+/' "$dir" | sed -E 's@^([^:]+):([0-9]+):#include "([a-z]+)/$@\1:\2:\3@')
done
exit $status
