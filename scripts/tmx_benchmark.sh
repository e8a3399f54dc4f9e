#!/bin/sh
# Times reading a large TMX map: a 1000 x 1000-cell map of 4 CSV tile layers, read by
# `zorva-cli convert MAP.tmx OUT.zvp` (import and write) and, when installed, converted by the reference
# editor's `tiled --export-map` into its JSON format (read and write). A benchmark, not a test: it prints
# the best of RUNS runs of each and their ratio.
#
#   sh scripts/tmx_benchmark.sh [BUILD_DIR, default build] [RUNS, default 3]
set -eu

cd "$(dirname "$0")/.."
BUILD_DIR=${1:-build}
RUNS=${2:-3}
cli="$BUILD_DIR/bin/zorva-cli"
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The map: a 16 x 16-pixel tile set image of 8 x 8 tiles and four layers of varied tile numbers with flips.
python3 - "$work" <<'EOF'
import os, struct, sys, zlib

work = sys.argv[1]
side, tile = 1000, 16
width = height = 8 * tile
raw = b"".join(b"\0" + bytes(v for x in range(width) for v in (x * 2 % 256, y * 2 % 256, (x + y) % 256))
               for y in range(height))
def chunk(tag, body):
    return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) + \
      chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
with open(os.path.join(work, "tiles.png"), "wb") as f:
    f.write(png)
with open(os.path.join(work, "big.tmx"), "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n<map version="1.8" orientation="orthogonal" '
            f'renderorder="right-down" width="{side}" height="{side}" tilewidth="{tile}" tileheight="{tile}" '
            'infinite="0">\n')
    f.write(f' <tileset firstgid="1" name="tiles" tilewidth="{tile}" tileheight="{tile}" tilecount="64" '
            f'columns="8">\n  <image source="tiles.png" width="{width}" height="{height}"/>\n </tileset>\n')
    for layer in range(4):
        f.write(f' <layer name="Layer{layer}" width="{side}" height="{side}">\n  <data encoding="csv">\n')
        rows = []
        for y in range(side):
            cells = []
            for x in range(side):
                gid = (x * 7 + y * 13 + layer) % 65
                if gid and (x + y) % 11 == 0:
                    gid |= 0x80000000
                cells.append(str(gid))
            rows.append(",".join(cells))
        f.write(",\n".join(rows) + "\n</data>\n </layer>\n")
    f.write("</map>\n")
EOF
echo "map: $(du -h "$work/big.tmx" | cut -f1) ($work/big.tmx), 1000 x 1000 cells, 4 CSV layers"

# best_of COMMAND...: the least wall-clock time of RUNS runs, in seconds.
best_of() {
    best=""
    i=0
    while [ "$i" -lt "$RUNS" ]; do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc)
        if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
        i=$((i + 1))
    done
    echo "$best"
}

zorva=$(best_of "$cli" convert "$work/big.tmx" "$work/big.zvp")
echo "zorva-cli convert big.tmx big.zvp:    ${zorva} s"
if command -v tiled >/dev/null 2>&1; then
    reference=$(QT_QPA_PLATFORM=offscreen best_of tiled --export-map json "$work/big.tmx" "$work/big.json")
    echo "tiled --export-map json:              ${reference} s"
    echo "ratio (reference / zorva-cli):        $(echo "scale=2; $reference / $zorva" | bc)"
else
    echo "tiled is not installed: no reference time (Debian package tiled)"
fi
