#!/bin/sh
# Fails when a C or C++ source of the project is not formatted as .clang-format says (clang-format 14, as
# Debian 12 ships it). `sh scripts/check_format.sh --fix` formats them instead.
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--fix" ]; then
    git ls-files '*.h' '*.c' '*.cpp' | xargs clang-format -i
else
    git ls-files '*.h' '*.c' '*.cpp' | xargs clang-format --dry-run -Werror
fi
