#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a bounded time, one after the other (the
# machine's cores are shared), at low priority.
#
#   sh scripts/fuzz.sh [seconds per target, default 60] [target ...]
#
# Without target names every fuzz target of the build runs. BUILD_DIR (default build-fuzz) is configured
# for fuzzing unless it already is a fuzzing build (the CI's sanitizer build is one). Each target keeps its
# corpus in $BUILD_DIR/corpus/<target>, started from fuzz/seeds/<target> when that folder exists; findings
# are written to $BUILD_DIR/findings/<target>/ and make the script fail.
set -eu

cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
BUILD_DIR=${BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-2}

# The project's packages, plus clang and its fuzzer runtime.
EXTRA_PACKAGES="clang libclang-rt-dev" sh scripts/zorva.sh install

if ! grep -q '^ZORVA_FUZZ:BOOL=ON$' "$BUILD_DIR/CMakeCache.txt" 2>/dev/null; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZORVA_FUZZ=ON \
        -DZORVA_BUILD_GUI=OFF -DZORVA_BUILD_TESTS=OFF -DZORVA_BUILD_BENCH=OFF >/dev/null
fi

if [ $# -gt 0 ]; then
    targets="$*"
else
    targets=$(sed -n 's/^build \(fuzz\/CMakeFiles\/[^/]*\.dir\)\{0,1\}.*bin\/\([A-Za-z0-9_]*fuzz[A-Za-z0-9_]*\):.*/\2/p' \
        "$BUILD_DIR/build.ninja" | sort -u)
fi
[ -n "$targets" ] || { echo "no fuzz targets found" >&2; exit 1; }
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" -j"$JOBS" --target $targets

status=0
for target in $targets; do
    corpus="$BUILD_DIR/corpus/$target"
    findings="$BUILD_DIR/findings/$target"
    mkdir -p "$corpus" "$findings"
    [ -d "fuzz/seeds/$target" ] && cp -n fuzz/seeds/"$target"/* "$corpus"/ 2>/dev/null || true
    echo "== $target: $seconds s"
    if ! nice -n 10 "$BUILD_DIR/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/" -rss_limit_mb=2048 "$corpus" 2>"$BUILD_DIR/$target.log"; then
        echo "== $target: FINDING, see $findings and $BUILD_DIR/$target.log"
        tail -n 30 "$BUILD_DIR/$target.log"
        status=1
    fi
    grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|#[0-9]+ *DONE)' \
        "$BUILD_DIR/$target.log" || true
done
exit $status
