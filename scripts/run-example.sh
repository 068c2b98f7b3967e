#!/usr/bin/env bash
# Installs what is missing, builds Veerline, and drives the WB-20 semitrailer of
# the default library through the 90-degree junction sample. The result drawing,
# picture, diagrams, JSON report and design report go to the folder given (default: out/example).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/out/example}"
"$root/scripts/setup.sh" -DVEERLINE_BUILD_TESTS=OFF -DVEERLINE_BUILD_BENCH=OFF
mkdir -p "$out"
"$root/build/bin/veerline-cli" run "$root/examples/drawings/junction90.dxf" \
  --vehicle "WB-20 Interstate semitrailer" --sweep --spacing 8 \
  --out "$out/junction90-result.dxf" --report "$out/report.json" \
  --picture "$out/junction90-result.png" --diagrams "$out/junction90" \
  --pdf "$out/junction90-report.pdf"
echo "Results written to $out"
