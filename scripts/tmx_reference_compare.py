#!/usr/bin/env python3
"""Compares Zorva's TMX import and the ZvTmx exporter with a reference TMX renderer, pixel for pixel.

    python3 scripts/tmx_reference_compare.py BUILD_DIR [EXAMPLES_DIR]

1. Every example map of EXAMPLES_DIR (default /usr/share/doc/tiled/examples; .gz files are unpacked)
   is converted with `zorva-cli convert`, drawn with `zorva-cli render --whole`, and compared with
   `tmxrasterizer --no-smoothing` of the same map. Object groups are removed from both sides first: only
   tile layers are compared. Maps the import refuses (other orientations, several tile sets) are listed.
2. The sample project is exported with ZvTmx; `tmxrasterizer` of each written map (its object groups
   hidden) is compared with `zorva-cli render --whole` of the sample's tile layers (entities, paths,
   attribute numbers and layer backgrounds removed, as TMX cannot show them).

A pixel differs when a channel differs by more than 2 of 255: layer opacity is a byte in Zorva and a
fraction in TMX, which rounds blended pixels by one level. Exits 77 (skipped) without tmxrasterizer or the
examples, 1 when an accepted orthogonal single-tile-set map or a sample map has a differing pixel.
"""
import gzip
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

TOLERANCE = 2


def read_png(path):
    """Decodes an 8-bit RGB or RGBA, non-interlaced PNG into (width, height, rows of RGBA bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + " is not a PNG file")
    pos, idat, width, height, kind = 8, b"", 0, 0, 0
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        tag = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            width, height, depth, kind, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or kind not in (2, 6) or interlace:
                raise ValueError(path + ": only 8-bit RGB or RGBA non-interlaced PNG files are read")
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if kind == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous, at = [], bytearray(stride), 0
    for _ in range(height):
        kind_of_filter = raw[at]
        line = bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind_of_filter == 1:
                line[i] = (line[i] + a) & 255
            elif kind_of_filter == 2:
                line[i] = (line[i] + b) & 255
            elif kind_of_filter == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind_of_filter == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        if channels == 3:
            line = bytearray(x for j in range(width) for x in (*line[3 * j:3 * j + 3], 255))
        rows.append(bytes(line))
    return width, height, rows


def differing_pixels(first, second):
    """(exactly differing, differing beyond the tolerance) pixel counts; None when the sizes differ."""
    w1, h1, a = read_png(first)
    w2, h2, b = read_png(second)
    if (w1, h1) != (w2, h2):
        return None
    exact = beyond = 0
    for row_a, row_b in zip(a, b):
        if row_a == row_b:
            continue
        for x in range(w1):
            pa, pb = row_a[4 * x:4 * x + 4], row_b[4 * x:4 * x + 4]
            # Fully transparent pixels are equal whatever their colour.
            if pa == pb or (pa[3] == 0 and pb[3] == 0):
                continue
            exact += 1
            if max(abs(pa[i] - pb[i]) for i in range(4)) > TOLERANCE:
                beyond += 1
    return exact, beyond


def run(arguments, **kwargs):
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    return subprocess.run(arguments, capture_output=True, text=True, env=environment, **kwargs)


def strip_object_groups(text):
    text = re.sub(r"<objectgroup\b[^>]*/>", "", text)
    return re.sub(r"<objectgroup\b.*?</objectgroup>", "", text, flags=re.S)


def compare_examples(cli, examples, work):
    failed = False
    folder = os.path.join(work, "examples")
    shutil.copytree(examples, folder)
    maps = []
    for root, _, files in os.walk(folder):
        for name in sorted(files):
            path = os.path.join(root, name)
            if name.endswith(".gz"):
                with gzip.open(path, "rb") as packed, open(path[:-3], "wb") as out:
                    out.write(packed.read())
                path = path[:-3]
            if not path.endswith(".tmx"):
                continue
            maps.append(path)
    for path in sorted(maps):
        label = os.path.relpath(path, folder)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        stripped = path[:-4] + ".tiles.tmx"
        with open(stripped, "w", encoding="utf-8") as f:
            f.write(strip_object_groups(text))
        project = path[:-4] + ".zorva.xml"
        converted = run([cli, "convert", stripped, project])
        if converted.returncode != 0:
            reason = converted.stderr.strip().splitlines()[-1] if converted.stderr.strip() else "refused"
            print(f"refused  {label}: {reason}")
            continue
        mine, theirs = path[:-4] + ".zorva.png", path[:-4] + ".reference.png"
        drawn = run([cli, "render", project, "--whole", "--output", mine])
        reference = run(["tmxrasterizer", "--no-smoothing", stripped, theirs])
        if drawn.returncode != 0 or reference.returncode != 0:
            print(f"FAILED   {label}: could not draw ({drawn.stderr.strip()} {reference.stderr.strip()})")
            failed = True
            continue
        result = differing_pixels(mine, theirs)
        single = len(re.findall(r"<tileset\b", text)) == 1
        if result is None:
            print(f"FAILED   {label}: the pictures differ in size")
            failed = True
        else:
            exact, beyond = result
            verdict = "same" if beyond == 0 else ("FAILED" if single else "differs")
            failed = failed or (beyond != 0 and single)
            print(f"{verdict:8} {label}: {exact} pixels differ, {beyond} beyond {TOLERANCE} levels")
    return failed


def tiles_only(sample, target):
    """The sample project without what TMX tile layers cannot show."""
    with open(sample, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"<instance_entity\b.*?</instance_entity>\s*", "", text, flags=re.S)
    text = re.sub(r"(<all_layer_paths\b[^>]*>).*?(</all_layer_paths>)", r"\1\2", text, flags=re.S)
    text = re.sub(r"<grid>(\d+),(\d+),(\d+),(\d+),\d+</grid>", r"<grid>\1,\2,\3,\4,0</grid>", text)
    text = text.replace('use_background_colour="true"', 'use_background_colour="false"')
    text = text.replace('use_background_image="true"', 'use_background_image="false"')
    with open(target, "w", encoding="utf-8") as f:
        f.write(text)


def compare_sample(cli, source, work):
    failed = False
    sample_folder = os.path.join(work, "SampleProjects")
    shutil.copytree(os.path.join(source, "examples", "SampleProjects"), sample_folder)
    sample = os.path.join(sample_folder, "Sample.xml")
    output = os.path.join(work, "export", "sample.tmx")
    os.makedirs(os.path.dirname(output))
    exported = run([cli, "export", sample, "--exporter", "ZvTmx", "--output", output])
    if exported.returncode != 0:
        print("FAILED   sample export: " + exported.stdout + exported.stderr)
        return True
    written = [line for line in exported.stdout.splitlines() if line.endswith(".tmx")]
    plain = os.path.join(sample_folder, "TilesOnly.xml")
    tiles_only(sample, plain)
    for index, path in enumerate(written):
        with open(path, encoding="utf-8") as f:
            groups = re.findall(r'<objectgroup name="([^"]*)"', f.read())
        hide = [argument for name in groups for argument in ("--hide-layer", name)]
        theirs, mine = path[:-4] + ".reference.png", path[:-4] + ".zorva.png"
        reference = run(["tmxrasterizer", "--no-smoothing", *hide, path, theirs])
        drawn = run([cli, "render", plain, "--whole", "--map", str(index), "--output", mine])
        if reference.returncode != 0 or drawn.returncode != 0:
            print(f"FAILED   {os.path.basename(path)}: could not draw")
            failed = True
            continue
        result = differing_pixels(mine, theirs)
        if result is None or result[1] != 0:
            failed = True
        print(f"{'same' if result and result[1] == 0 else 'FAILED':8} sample map {index} "
              f"({os.path.basename(path)}): {result}")
    return failed


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    build = os.path.abspath(sys.argv[1])
    examples = sys.argv[2] if len(sys.argv) > 2 else "/usr/share/doc/tiled/examples"
    cli = os.path.join(build, "bin", "zorva-cli")
    if shutil.which("tmxrasterizer") is None:
        print("skipped: tmxrasterizer is not installed (Debian package tiled)")
        return 77
    if not os.path.isdir(examples):
        print("skipped: no example maps in " + examples)
        return 77
    source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    with tempfile.TemporaryDirectory(prefix="zorva-tmx-compare-") as work:
        failed = compare_examples(cli, examples, work)
        failed = compare_sample(cli, source, work) or failed
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
