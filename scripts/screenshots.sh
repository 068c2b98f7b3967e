#!/usr/bin/env bash
# Saves pictures of the desktop program's windows (splash, main window on each
# tab and for several vehicle types, colour settings, about box, and the drawing
# window and both diagram tabs after a run on examples/drawings/junction90.dxf)
# by running it under a virtual X server with its --screenshot option.
#
# Usage: scripts/screenshots.sh [build-dir] [output-dir]
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="${2:-$build/screenshots}"
program="$build/bin/veerline"

if [[ ! -x "$program" ]]; then
  echo "No program at $program; build the 'veerline' target first." >&2
  exit 1
fi
command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed." >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The tour works on copies: its own settings file and a copy of the default
# library, so the user's settings and the shipped library stay untouched.
library="$work/DefaultVehicles.vdt"
if [[ -f "$build/bin/DefaultVehicles.vdt" ]]; then
  cp "$build/bin/DefaultVehicles.vdt" "$library"
else
  : >"$library"
fi
cat >"$work/settings.ini" <<INI
[Turn]
VehicleFile=$library
PathUnit=1
Speed=10
INI

# System libraries loaded by the X platform keep some memory to the end.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"

mkdir -p "$out"
xvfb-run -a -s "-screen 0 1400x900x24" \
  "$program" --settings "$work/settings.ini" --screenshot "$out" \
  --drawing "$root/examples/drawings/junction90.dxf"
echo "Screenshots in $out:"
ls -1 "$out"
