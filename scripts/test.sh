#!/usr/bin/env bash
# Installs what is missing, builds Veerline with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build-test}"
# Each folder includes only from the folders its target links.
python3 "$root/scripts/check-layering.py"
BUILD_TYPE=Debug BUILD_DIR="$build_dir" "$root/scripts/setup.sh" -DVEERLINE_SANITIZE=ON -DVEERLINE_BUILD_BENCH=OFF
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
# The window tests once more with the user's locale, and so the C library's,
# set to a decimal comma, as Qt takes it from the environment at start.
LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 \
  ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" -R '^ui_'
