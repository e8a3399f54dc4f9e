#!/bin/sh
# Checks the layering of the source tree: every `#include "folder/..."` line must name the including file's
# own folder or a folder of a lower layer, and the Qt-free layers must not include Qt headers.
#
#   sh tests/layering/check_layers.sh [source folder, default src]
#
# Prints one line per offending include and exits 1 when there is any.
set -eu
src=${1:-src}
src=${src%/}
[ -d "$src" ] || { echo "no folder $src" >&2; exit 2; }

status=0
find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) | LC_ALL=C sort | xargs awk -v root="$src/" '
BEGIN {
    # The layers, lowest first; folders of one rank may not include each other.
    split("base:0 image:1 model:2 prefs:3 projectfile:3 undo:3 export:3 import:3 view:4 tools:5 render:6 " \
          "qtplatform:7 app:8 cli:8", pairs, " ")
    for (i in pairs) { split(pairs[i], kv, ":"); rank[kv[1]] = kv[2] + 0 }
    qt_free_below = rank["render"]
    bad = 0
}
function folder_of(path,    parts) {
    split(path, parts, "/")
    return parts[1] == "exporters" ? "exporters/" parts[2] : parts[1]
}
function allowed(from, to, header) {
    if (from == to) return 1
    if (from ~ /^exporters\//) return to == "base" || to == "qtplatform" || header == "export/export_api.h"
    if (!(to in rank) || !(from in rank)) return 0
    return rank[to] < rank[from]
}
FNR == 1 {
    file = substr(FILENAME, length(root) + 1)
    from = folder_of(file)
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
    header = $0
    sub(/^[^"]*"/, "", header)
    sub(/".*$/, "", header)
    if (index(header, "/") == 0) next  # a header beside the file
    to = folder_of(header)
    if (!allowed(from, to, header)) {
        printf "%s:%d: %s may not include \"%s\"\n", FILENAME, FNR, from, header
        bad = 1
    }
}
/^[ \t]*#[ \t]*include[ \t]*<Q/ {
    if ((from in rank) && rank[from] < qt_free_below) {
        printf "%s:%d: %s is Qt-free: %s\n", FILENAME, FNR, from, $0
        bad = 1
    }
}
END { exit bad }
' || status=1
exit $status
