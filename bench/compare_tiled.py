#!/usr/bin/env python3
"""Times `zorva-cli convert` against another tile map editor's command-line export on the same cells.

    python3 bench/compare_tiled.py BUILD_DIR [WORK_DIR]

Writes the generated benchmark project (4 layers of 1000 x 1000 cells) with `bench_xml --write-project`,
turns its cells into a TMX map with CSV layer data, then times, one after the other,
`zorva-cli convert big.xml out.xml` and `tiled --export-map big.tmx out.tmx` (offscreen), and prints
both times and their ratio. The other editor is only a yardstick here (Debian package `tiled`); it is
not a dependency of the project.
"""
import os
import re
import struct
import subprocess
import sys
import time
import zlib

GRID = re.compile(rb"<grid>(\d+),(\d),(\d),(\d),\d+</grid>")
LAYER_SIZE = re.compile(rb'grid_width="(\d+)"\s+grid_height="(\d+)"')


def write_png(path, width, height):
    raw = b"".join(b"\x00" + b"".join(bytes([(x * 7 + y) % 256, (y * 5) % 256, 128, 255]) for x in range(width))
                   for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        out.write(chunk(b"IEND", b""))


def write_tmx(xml_path, tmx_path):
    with open(xml_path, "rb") as f:
        text = f.read()
    layers = []
    for start in [m.start() for m in re.finditer(rb"<layer_grid>", text)]:
        end = text.index(b"</layer_grid>", start)
        size = LAYER_SIZE.findall(text, 0, start)[-1]
        layers.append((int(size[0]), int(size[1]), start, end))
    width, height = layers[0][0], layers[0][1]
    with open(tmx_path, "w") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        out.write('<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" '
                  f'width="{width}" height="{height}" tilewidth="16" tileheight="16" infinite="0" '
                  f'nextlayerid="{len(layers) + 1}" nextobjectid="1">\n')
        out.write(' <tileset firstgid="1" name="Tiles" tilewidth="16" tileheight="16" tilecount="256" columns="16">\n'
                  '  <image source="tiles.png" width="256" height="256"/>\n </tileset>\n')
        for number, (w, h, start, end) in enumerate(layers, 1):
            gids = []
            for m in GRID.finditer(text, start, end):
                gid = int(m.group(1))
                if gid:
                    gid |= (0x80000000 if m.group(2) != b"0" else 0) | (0x40000000 if m.group(3) != b"0" else 0) | \
                           (0x20000000 if m.group(4) != b"0" else 0)
                gids.append(gid)
            assert len(gids) == w * h, (len(gids), w, h)
            out.write(f' <layer id="{number}" name="Layer{number}" width="{w}" height="{h}">\n  <data encoding="csv">\n')
            out.write(",\n".join(",".join(str(g) for g in gids[y * w:(y + 1) * w]) for y in range(h)))
            out.write("\n</data>\n </layer>\n")
        out.write("</map>\n")


def timed(command, env=None):
    start = time.perf_counter()
    result = subprocess.run(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit(f"{' '.join(command)} failed:\n{result.stderr.decode(errors='replace')}")
    return elapsed


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    work = os.path.abspath(sys.argv[2] if len(sys.argv) > 2 else "/tmp/zorva-compare")
    os.makedirs(work, exist_ok=True)
    big_xml = os.path.join(work, "big.xml")
    big_tmx = os.path.join(work, "big.tmx")
    subprocess.run([os.path.join(build, "bin", "bench_xml"), "--write-project", big_xml], check=True)
    write_png(os.path.join(work, "tiles.png"), 256, 256)
    write_tmx(big_xml, big_tmx)
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    rounds = 3
    ours = min(timed([os.path.join(build, "bin", "zorva-cli"), "convert", big_xml, os.path.join(work, "out.xml")])
               for _ in range(rounds))
    theirs = min(timed(["tiled", "--export-map", big_tmx, os.path.join(work, "out.tmx")], env) for _ in range(rounds))
    print(f"zorva-cli convert: {ours:.3f} s for {os.path.getsize(big_xml) / 1e6:.1f} MB")
    print(f"tiled --export-map: {theirs:.3f} s for {os.path.getsize(big_tmx) / 1e6:.1f} MB")
    print(f"ratio (zorva / tiled): {ours / theirs:.2f}")


if __name__ == "__main__":
    main()
