#!/bin/sh
# Batch export throughput of zorva-cli: COUNT generated projects (default 200) exported with Scrivo
#   1. one zorva-cli run per project, one after another, from a shell loop (what a pipeline did before
#      batch runs),
#   2. as one batch, one project at a time (--jobs 1),
#   3. as one batch with --jobs 2,
# then zorva-cli check on the same folder with --jobs 1 and --jobs 2. Prints the wall-clock time of each,
# and checks that every way wrote the same files.
#
#   sh bench/batch_export.sh [BUILD_DIR] [COUNT]
#
# The projects are the sample project, each with its maps renamed after its number and one row of its
# ground layer repainted, so that no two files are alike; they share the sample's pictures.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
count=${2:-200}
cli=$build/bin/zorva-cli
[ -x "$cli" ] || { echo "no $cli: build first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/zorva-batch-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/levels" "$work/loop" "$work/jobs1" "$work/jobs2"
cp -r "$root/examples/SampleProjects/Images" "$work/levels/"

i=1
while [ "$i" -le "$count" ]; do
    n=$(printf %03d "$i")
    tile=$((i % 8 + 1))
    # The 41st to 80th cells of the ground layer (its second row) get tile $tile.
    awk -v n="$n" -v tile="$tile" '
        /name="Meadow"/ { sub(/name="Meadow"/, "name=\"Meadow " n "\"") }
        /name="Crystal Cave"/ { sub(/name="Crystal Cave"/, "name=\"Crystal Cave " n "\"") }
        /name="Ground"/ { ground = 1 }
        ground && /<grid>/ { cell++; if (cell > 40 && cell <= 80) sub(/<grid>[0-9]+/, "<grid>" tile) }
        /<\/layer>/ { ground = 0 }
        { print }
    ' "$root/examples/SampleProjects/Sample.xml" > "$work/levels/level$n.xml"
    i=$((i + 1))
done
size=$(du -sk "$work/levels" | cut -f1)
echo "$count projects, ${size} KB, in $work/levels"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

start=$(now)
for level in "$work"/levels/*.xml; do
    "$cli" export "$level" --exporter Scrivo --output "$work/loop/$(basename "$level" .xml).txt" > /dev/null
done
loop=$(elapsed "$start" "$(now)")

start=$(now)
"$cli" export "$work/levels" --exporter Scrivo --output "$work/jobs1/{name}.txt" --jobs 1 > "$work/jobs1.log"
jobs1=$(elapsed "$start" "$(now)")

start=$(now)
"$cli" export "$work/levels" --exporter Scrivo --output "$work/jobs2/{name}.txt" --jobs 2 > "$work/jobs2.log"
jobs2=$(elapsed "$start" "$(now)")

start=$(now)
"$cli" check "$work/levels" --jobs 1 > /dev/null
check1=$(elapsed "$start" "$(now)")
start=$(now)
"$cli" check "$work/levels" --jobs 2 > /dev/null
check2=$(elapsed "$start" "$(now)")

# Every way wrote the same files (the dumps name the project file, which is the same for all three).
for dump in "$work"/loop/*.txt; do
    name=$(basename "$dump")
    cmp -s "$dump" "$work/jobs1/$name" && cmp -s "$dump" "$work/jobs2/$name" || {
        echo "the exports of $name differ" >&2
        exit 1
    }
done
[ "$(ls "$work/loop" | wc -l)" -eq "$count" ] || { echo "not every project was exported" >&2; exit 1; }

printf 'export, one run per project:  %8.2f s\n' "$loop"
printf 'export --jobs 1:              %8.2f s\n' "$jobs1"
printf 'export --jobs 2:              %8.2f s   (%s times as fast as --jobs 1)\n' "$jobs2" \
    "$(awk -v a="$jobs1" -v b="$jobs2" 'BEGIN { printf "%.2f", a / b }')"
printf 'check --jobs 1:               %8.2f s\n' "$check1"
printf 'check --jobs 2:               %8.2f s\n' "$check2"
echo "processors: $(nproc); load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
