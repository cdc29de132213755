#!/usr/bin/env bash
# include_graph.sh SRC: fails when the folders of SRC include each other in a cycle, or
# when the forms layer includes anything else of ours. The folders are the libraries:
# capture/grab, capture/overlay, capture/viewer, capture/printing, and each other
# top-level folder with whatever lies below it (forms/x11 is part of forms). An edge is an
# #include "a/b/File.h" between two of them. tsort reports any loop.
set -u
src=$1
edges=$(cd "$src" && grep -rHo --include='*.h' --include='*.cpp' '^#include "[a-z][a-z0-9/]*/[A-Za-z0-9_]*\.h"' . |
    sed -E 's|^\./(.*)/[^/]*:#include "(.*)/[^/]*\.h"$|\1 \2|' |
    awk 'function unit(f,  p) { split(f, p, "/"); return p[1] == "capture" && p[2] != "" ? p[1] "/" p[2] : p[1] }
         { a = unit($1); b = unit($2); if (a != b) print a, b }' | sort -u)
status=0
if [ -n "$edges" ]; then
    loops=$(printf '%s\n' "$edges" | tsort 2>&1 >/dev/null)
    if [ -n "$loops" ]; then
        echo "FAIL: the folders of src include each other in a loop:"
        printf '%s\n' "$loops"
        status=1
    fi
    outside=$(printf '%s\n' "$edges" | awk '$1 ~ /^forms/ && $2 !~ /^forms/')
    if [ -n "$outside" ]; then
        echo "FAIL: the forms layer includes other folders:"
        printf '%s\n' "$outside"
        status=1
    fi
fi
[ $status -eq 0 ] && echo "PASS: $(printf '%s\n' "$edges" | grep -c .) include edges between folders, no loop"
exit $status
