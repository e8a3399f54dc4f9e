#!/bin/sh
# Zorva set-up: installs what the project needs from Debian's packages, builds, and runs.
#
#   sh scripts/zorva.sh run     install, build, and start the editor on the sample project
#   sh scripts/zorva.sh test    install, build, and run every test
#   sh scripts/zorva.sh build   install and build only
#   sh scripts/zorva.sh package install, then build the Debian package build-package/zorva_*.deb
#
# Works on a minimal Debian 12 as root (or through sudo); installing is skipped when every
# package is already there. BUILD_DIR and CMAKE_ARGS may be set to build elsewhere or differently;
# EXTRA_PACKAGES names further Debian packages to install (the CI's clang, for instance).
set -eu

cd "$(dirname "$0")/.."
action=${1:-run}
BUILD_DIR=${BUILD_DIR:-build}
CMAKE_ARGS=${CMAKE_ARGS:-}

PACKAGES="g++ libc6-dev cmake ninja-build pkg-config ca-certificates
qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev fonts-dejavu-core
libpng-dev zlib1g-dev libpugixml-dev libzstd-dev
libgtest-dev libgmock-dev libbenchmark-dev
xvfb xauth
desktop-file-utils appstream libxml2-utils shared-mime-info xdg-utils libfile-mimeinfo-perl
${EXTRA_PACKAGES:-}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
    missing=""
    for package in $PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $package"
        fi
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

build() {
    jobs=$(nproc 2>/dev/null || echo 2)
    # When ccache is installed, let builds of other checkouts share its cache.
    CCACHE_BASEDIR=$(pwd)
    CCACHE_NOHASHDIR=true
    export CCACHE_BASEDIR CCACHE_NOHASHDIR
    # shellcheck disable=SC2086
    cmake -S . -B "$BUILD_DIR" -G Ninja $CMAKE_ARGS
    cmake --build "$BUILD_DIR" -j "$jobs"
}

# A Release build for the /usr prefix, packed by CPack with the dependencies dpkg-shlibdeps finds.
package() {
    BUILD_DIR=${PACKAGE_BUILD_DIR:-build-package}
    CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DZORVA_BUILD_TESTS=OFF \
-DZORVA_BUILD_BENCH=OFF $CMAKE_ARGS"
    build
    rm -f "$BUILD_DIR"/zorva_*.deb
    (cd "$BUILD_DIR" && cpack -G DEB)
    ls "$BUILD_DIR"/zorva_*.deb
}

run_tests() {
    jobs=$(nproc 2>/dev/null || echo 2)
    ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$jobs"
}

run_editor() {
    sample="examples/SampleProjects/Sample.xml"
    if [ -x "$BUILD_DIR/bin/zorva" ]; then
        exec "$BUILD_DIR/bin/zorva" "$sample"
    fi
    exec "$BUILD_DIR/bin/zorva-cli" info "$sample"
}

case "$action" in
    install) install_packages ;;
    build) install_packages; build ;;
    # The tests also compare TMX maps with a reference TMX renderer and its example maps (the test skips
    # itself where the package brings no examples).
    test) PACKAGES="$PACKAGES python3 tiled"; install_packages; build; run_tests ;;
    run) install_packages; build; run_editor ;;
    package) PACKAGES="$PACKAGES dpkg-dev file"; install_packages; package ;;
    *) echo "usage: $0 run|test|build|install|package" >&2; exit 2 ;;
esac
